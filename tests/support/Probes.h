#pragma once

#include <QColor>
#include <QImage>
#include <QPointF>

#include <cmath>
#include <cstdlib>

namespace velloran::testing {

// The colour of an image at a point in points (device pixel ratio applied), un-premultiplied.
inline QColor pixelAt(const QImage &image, QPointF point)
{
    const qreal dpr = image.devicePixelRatio();
    return image.pixelColor(int(std::floor(point.x() * dpr)), int(std::floor(point.y() * dpr)));
}

inline bool near(const QColor &a, const QColor &b, int tolerance = 6)
{
    return std::abs(a.red() - b.red()) <= tolerance && std::abs(a.green() - b.green()) <= tolerance
        && std::abs(a.blue() - b.blue()) <= tolerance;
}

} // namespace velloran::testing
