#pragma once

#include <QImage>
#include <QRectF>
#include <QTransform>

namespace velloran {

// The oak tabletop the deck stands on, in the warm light of a lamp at dusk. The planks run
// on past the stage's edges, so a window of any shape shows table to its borders.
class OakTable {
public:
    // The table as a window of `windowSize` shows it through `toWindow` (stage points to window
    // points), in a window-sized image.
    static QImage render(QSize windowSize, const QTransform &toWindow, qreal devicePixelRatio);

    // With `drawWood` false, the wood held is placed even where it is too coarse or too small
    // for the window (enlarged to cover it), for the frames until wood drawn elsewhere arrives;
    // wood is drawn only if there is none yet.
    const QImage &image(QSize windowSize, const QTransform &toWindow, qreal devicePixelRatio, bool drawWood = true);
    // Whether the wood held suits that window, so that its image is made without drawing wood.
    bool holdsWoodFor(QSize windowSize, const QTransform &toWindow, qreal devicePixelRatio) const;
    // How often a window's image was made, and how often the wood under it was drawn.
    int renderCount() const { return m_renders; }
    int woodRenderCount() const { return m_woodRenders; }

private:
    // The wood: the stage area it covers, the window pixel its corner fell on, the pixels to a
    // point, and the window's fit and pixel ratio it was drawn for.
    QImage m_wood;
    QRectF m_woodArea;
    QPoint m_woodPixels;
    qreal m_woodDensity = 0;
    QTransform m_woodFit;
    qreal m_woodRatio = 0;
    int m_woodRenders = 0;
    QImage m_image;
    QSize m_size;
    QTransform m_transform;
    qreal m_dpr = 0;
    // The image was made from wood that does not suit it.
    bool m_makeshift = false;
    int m_renders = 0;
};

} // namespace velloran
