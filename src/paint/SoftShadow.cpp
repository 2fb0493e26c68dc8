#include "paint/SoftShadow.h"

#include <QPainter>

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

namespace velloran {
namespace {

// Box widths whose three passes approximate a Gaussian of the given sigma.
std::array<int, 3> boxRadii(qreal sigma)
{
    const qreal ideal = std::sqrt(12.0 * sigma * sigma / 3.0 + 1.0);
    int lower = int(std::floor(ideal));
    if (lower % 2 == 0)
        --lower;
    const int upper = lower + 2;
    const qreal m = std::round((12.0 * sigma * sigma - 3.0 * lower * lower - 12.0 * lower - 9.0) / (-4.0 * lower - 4.0));
    std::array<int, 3> radii{};
    for (int i = 0; i < 3; ++i)
        radii[size_t(i)] = ((i < m ? lower : upper) - 1) / 2;
    return radii;
}

// One running-sum box pass along a line of `count` samples.
void boxLine(uchar *line, int count, int radius, std::vector<int> &scratch)
{
    const qsizetype stride = 1;
    scratch.resize(size_t(count));
    for (int i = 0; i < count; ++i)
        scratch[size_t(i)] = line[i * stride];
    const int width = 2 * radius + 1;
    int sum = 0;
    for (int i = -radius; i <= radius; ++i)
        sum += (i >= 0 && i < count) ? scratch[size_t(i)] : 0;
    for (int i = 0; i < count; ++i) {
        line[i * stride] = uchar((sum + width / 2) / width);
        const int leaving = i - radius;
        const int entering = i + radius + 1;
        if (leaving >= 0)
            sum -= scratch[size_t(leaving)];
        if (entering < count)
            sum += scratch[size_t(entering)];
    }
}

} // namespace

void blurAlpha(QImage &alpha8, qreal sigma)
{
    if (sigma < 0.3)
        return;
    const auto radii = boxRadii(sigma);
    std::vector<int> scratch;
    const int w = alpha8.width();
    const int h = alpha8.height();
    const qsizetype bpl = alpha8.bytesPerLine();
    uchar *bits = alpha8.bits();
    std::vector<uchar> source(size_t(bpl) * size_t(h));
    std::vector<int> sums(static_cast<size_t>(w));
    for (const int r : radii) {
        if (r <= 0)
            continue;
        for (int y = 0; y < h; ++y)
            boxLine(bits + y * bpl, w, r, scratch);

        // Down the columns, a whole row at a time, so memory is read in order.
        std::copy(bits, bits + bpl * h, source.begin());
        const int width = 2 * r + 1;
        const auto row = [&](int y) { return source.data() + qsizetype(y) * bpl; };
        std::fill(sums.begin(), sums.end(), 0);
        for (int y = 0; y <= std::min(r, h - 1); ++y) {
            const uchar *in = row(y);
            for (int x = 0; x < w; ++x)
                sums[size_t(x)] += in[x];
        }
        for (int y = 0; y < h; ++y) {
            uchar *out = bits + qsizetype(y) * bpl;
            for (int x = 0; x < w; ++x)
                out[x] = uchar((sums[size_t(x)] + width / 2) / width);
            const int leaving = y - r;
            const int entering = y + r + 1;
            if (leaving >= 0) {
                const uchar *in = row(leaving);
                for (int x = 0; x < w; ++x)
                    sums[size_t(x)] -= in[x];
            }
            if (entering < h) {
                const uchar *in = row(entering);
                for (int x = 0; x < w; ++x)
                    sums[size_t(x)] += in[x];
            }
        }
    }
}

Sprite softShadow(const QImage &source, qreal radius, const QColor &color, QPointF offset)
{
    const qreal dpr = source.devicePixelRatio();
    const qreal sigma = radius / 2.0 * dpr;
    // A wide blur loses nothing when it is worked out on a smaller copy and scaled back up,
    // and costs a fraction of the time.
    const int factor = std::clamp(int(sigma / 4.0), 1, 8);
    const qreal smallSigma = sigma / factor;
    const int pad = int(std::ceil(3.0 * smallSigma)) + 1;

    const int w = (source.width() + factor - 1) / factor + 2 * pad;
    const int h = (source.height() + factor - 1) / factor + 2 * pad;
    QImage alpha(w, h, QImage::Format_Alpha8);
    alpha.fill(0);
    {
        QPainter p(&alpha);
        p.setRenderHint(QPainter::SmoothPixmapTransform);
        QImage unscaled = source;
        unscaled.setDevicePixelRatio(1.0);
        p.translate(pad, pad);
        p.scale(1.0 / factor, 1.0 / factor);
        p.drawImage(0, 0, unscaled);
    }
    blurAlpha(alpha, smallSigma);

    QImage tinted(alpha.size(), QImage::Format_ARGB32_Premultiplied);
    tinted.fill(color);
    {
        QPainter p(&tinted);
        p.setCompositionMode(QPainter::CompositionMode_DestinationIn);
        p.drawImage(0, 0, alpha);
    }
    if (factor > 1)
        tinted = tinted.scaled(w * factor, h * factor, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    tinted.setDevicePixelRatio(dpr);
    const qreal margin = qreal(pad * factor) / dpr;
    return {tinted, offset - QPointF(margin, margin)};
}

Sprite softShadow(const QPainterPath &shape, qreal radius, const QColor &color, QPointF offset,
                  qreal devicePixelRatio)
{
    const QRectF bounds = shape.boundingRect();
    QImage mask = makeCanvas(bounds.size() + QSizeF(2, 2), devicePixelRatio);
    {
        QPainter p(&mask);
        prepare(p);
        p.translate(-bounds.topLeft() + QPointF(1, 1));
        p.fillPath(shape, Qt::black);
    }
    Sprite shadow = softShadow(mask, radius, color, offset);
    shadow.origin += bounds.topLeft() - QPointF(1, 1);
    return shadow;
}

} // namespace velloran
