#pragma once

#include <QImage>
#include <QRectF>
#include <QTransform>

namespace velloran {

// The oak tabletop the deck stands on, in the warm light of a lamp at dusk. The planks run
// on past the stage's edges, so a window of any shape shows table to its borders.
class OakTable {
public:
    // Paints the part of the table that `stageRect` covers (stage points) into a window-sized
    // image, through `toWindow`.
    static QImage render(QSize windowSize, const QTransform &toWindow, qreal devicePixelRatio);

    const QImage &image(QSize windowSize, const QTransform &toWindow, qreal devicePixelRatio);
    int renderCount() const { return m_renders; }

private:
    QImage m_image;
    QSize m_size;
    QTransform m_transform;
    qreal m_dpr = 0;
    int m_renders = 0;
};

} // namespace velloran
