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

namespace velloran {

// The part of a sprite inside a rectangle given in the thing's own points (snapped outwards
// to whole device pixels); the result keeps the thing's origin.
Sprite cropSprite(const Sprite &sprite, const QRectF &rect);

// The smallest rectangle, in the thing's points, that holds every visible pixel of a sprite.
QRectF opaqueBounds(const Sprite &sprite);

} // namespace velloran
