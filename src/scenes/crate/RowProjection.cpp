#include "scenes/crate/RowProjection.h"

#include <algorithm>
#include <cmath>

namespace velloran::crate {

namespace {

// A premultiplied pixel times a coverage of 0..256.
QRgb scaled(QRgb pixel, int coverage)
{
    const quint32 rb = ((pixel & 0x00ff00ff) * quint32(coverage)) >> 8;
    const quint32 ag = ((pixel >> 8) & 0x00ff00ff) * quint32(coverage);
    return (rb & 0x00ff00ff) | (ag & 0xff00ff00);
}

// `over` laid on `pixel`, both premultiplied; `rest` is 255 less the alpha of `over`.
QRgb laidOver(QRgb over, QRgb pixel, int rest)
{
    return over + scaled(pixel, rest + (rest >> 7));
}

int coverageOf(double from, double to)
{
    return std::clamp(int(std::lround(std::clamp(to - from, 0.0, 1.0) * 256)), 0, 256);
}

} // namespace

bool RowProjection::keepsRowsLevel(const QTransform &t)
{
    return std::abs(t.m12()) < 1e-9 && std::abs(t.m13()) < 1e-12 && std::abs(t.m11()) > 1e-9;
}

void RowProjection::draw(QPainter &painter, const QImage &image, const QTransform &transform, const QColor &shade,
                         const QRectF &clip)
{
    const qreal dpr = painter.device() ? painter.device()->devicePixelRatio() : 1.0;
    const qreal imageRatio = image.devicePixelRatio();
    // Image pixels to device pixels.
    const QTransform m = QTransform::fromScale(1 / imageRatio, 1 / imageRatio) * transform * painter.worldTransform()
        * QTransform::fromScale(dpr, dpr);
    const int w = image.width();
    const int h = image.height();
    const QRectF clipDevice = (painter.worldTransform() * QTransform::fromScale(dpr, dpr)).mapRect(clip);
    const QRect area = m.mapRect(QRectF(0, 0, w, h)).toAlignedRect() & clipDevice.toAlignedRect();
    if (area.isEmpty() || image.isNull())
        return;
    if (m_rows.width() < area.width() || m_rows.height() < area.height())
        m_rows = QImage(std::max(m_rows.width(), area.width()), std::max(m_rows.height(), area.height()),
                        QImage::Format_ARGB32_Premultiplied);
    const QImage source = image.format() == QImage::Format_ARGB32_Premultiplied
        ? image
        : image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    const QRgb over = qPremultiply(shade.rgba());
    const int rest = 255 - qAlpha(over);

    // Row v of the image lies on device row y' = (m22 v + m32) / (m23 v + m33).
    const double top = m.m32() / m.m33();
    const double bottom = (m.m22() * h + m.m32()) / (m.m23() * h + m.m33());
    for (int row = 0; row < area.height(); ++row) {
        auto *line = reinterpret_cast<QRgb *>(m_rows.scanLine(row));
        auto *const end = line + area.width();
        const double y = area.top() + row + 0.5;
        const double v = (m.m32() - y * m.m33()) / (y * m.m23() - m.m22());
        const int vertical = coverageOf(std::max(double(area.top() + row), std::min(top, bottom)),
                                        std::min(double(area.top() + row + 1), std::max(top, bottom)));
        const double wv = m.m23() * v + m.m33();
        const double left = (m.m21() * v + m.m31()) / wv;
        const double right = (m.m11() * w + m.m21() * v + m.m31()) / wv;
        const double low = std::min(left, right);
        const double high = std::max(left, right);
        const int first = std::max(area.left(), int(std::floor(low)));
        const int last = std::min(area.right(), int(std::ceil(high)) - 1);
        if (vertical == 0 || !(v > -1) || !(v < h + 1) || last < first) {
            std::fill(line, end, 0u);
            continue;
        }
        std::fill(line, line + (first - area.left()), 0u);
        std::fill(line + (last - area.left() + 1), end, 0u);
        // Along the row, u = a x' + b, with sixteen bits of fraction: the sample moves by a
        // constant step.
        const double a = wv / m.m11();
        const double b = -(m.m21() * v + m.m31()) / m.m11();
        const auto *from = reinterpret_cast<const QRgb *>(source.constScanLine(std::clamp(int(v), 0, h - 1)));
        qint64 u = qint64(std::floor((a * (first + 0.5) + b) * 65536));
        const auto step = qint64(std::llround(a * 65536));
        const qint64 uLast = qint64(w - 1) << 16;
        auto *out = line + (first - area.left());
        // The pixels wholly inside the row's extent take no coverage of their own.
        const int innerFrom = std::max(first, int(std::ceil(low)));
        const int innerTo = std::min(last, int(std::floor(high)) - 1);
        const auto sample = [&](int x) {
            QRgb pixel = from[std::clamp<qint64>(u, 0, uLast) >> 16];
            u += step;
            if (rest != 255)
                pixel = laidOver(over, pixel, rest);
            int coverage = vertical;
            if (x < innerFrom || x > innerTo)
                coverage = (coverage * coverageOf(std::max(double(x), low), std::min(double(x + 1), high))) >> 8;
            return coverage < 256 ? scaled(pixel, coverage) : pixel;
        };
        int x = first;
        for (; x <= last && x < innerFrom; ++x)
            *out++ = sample(x);
        if (vertical == 256) {
            // The body of the row: nothing to cover, only the shade to lay over. Its samples
            // stay inside the image but for rounding at its ends, so they are clamped only then.
            const int count = std::max(0, std::min(last, innerTo) - x + 1);
            const qint64 uEnd = u + qint64(count - 1) * step;
            const bool inside = count > 0 && u >= 0 && u <= uLast && uEnd >= 0 && uEnd <= uLast;
            const int under = rest + (rest >> 7);
            const auto body = [&](auto &&at) {
                if (rest == 255) {
                    for (int i = 0; i < count; ++i, u += step)
                        *out++ = from[at(u)];
                } else {
                    for (int i = 0; i < count; ++i, u += step)
                        *out++ = over + scaled(from[at(u)], under);
                }
            };
            if (inside)
                body([](qint64 at) { return at >> 16; });
            else
                body([uLast](qint64 at) { return std::clamp<qint64>(at, 0, uLast) >> 16; });
            x += count;
        }
        for (; x <= last; ++x)
            *out++ = sample(x);
    }
    m_rows.setDevicePixelRatio(dpr);
    // Whole device pixels, no transform: a plain copy with blending.
    painter.save();
    painter.setWorldTransform(QTransform());
    painter.drawImage(QRectF(QPointF(area.topLeft()) / dpr, QSizeF(area.size()) / dpr), m_rows,
                      QRectF(0, 0, area.width(), area.height()));
    painter.restore();
}

} // namespace velloran::crate
