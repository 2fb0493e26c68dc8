#pragma once

#include <QImage>
#include <QPainter>
#include <QPointF>
#include <QSizeF>

namespace velloran {

// A pre-rendered image and where its top-left corner lies, in points, relative to the
// origin of the thing it shows (shadows and glows reach past the thing's own frame).
struct Sprite {
    QImage image;
    QPointF origin;

    bool isNull() const { return image.isNull(); }
    QSizeF logicalSize() const { return image.deviceIndependentSize(); }

    // Draws the sprite with the thing's origin at `at` in the painter's coordinates.
    void draw(QPainter &painter, QPointF at = {}) const { painter.drawImage(at + origin, image); }
};

// A transparent image of a logical size at a device pixel ratio, ready to paint on in points.
QImage makeCanvas(QSizeF logicalSize, qreal devicePixelRatio);

// A painter on a canvas with the render hints every drawing here wants.
void prepare(QPainter &painter);

} // namespace velloran
