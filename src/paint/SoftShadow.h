#pragma once

#include "paint/Sprite.h"

#include <QColor>
#include <QPainterPath>

namespace velloran {

// The blurred silhouette of an image in one colour: the image's alpha, spread by a blur
// of `radius` points (a Gaussian of standard deviation radius / 2, as a soft shadow's
// radius is usually meant), then tinted. The result is made once, when a drawing is
// rendered; nothing blurs per frame. The sprite's origin is relative to the source's
// top-left corner and already includes `offset`.
Sprite softShadow(const QImage &source, qreal radius, const QColor &color, QPointF offset = {});

// The same for a filled shape given in the coordinates of the thing it belongs to.
Sprite softShadow(const QPainterPath &shape, qreal radius, const QColor &color, QPointF offset,
                  qreal devicePixelRatio);

// Blurs an 8-bit alpha plane in place by three box passes per axis (close to a Gaussian
// of standard deviation `sigma` pixels).
void blurAlpha(QImage &alpha8, qreal sigma);

} // namespace velloran
