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

    const QImage &image(QSize windowSize, const QTransform &toWindow, qreal devicePixelRatio);
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
    int m_renders = 0;
};

} // namespace velloran
