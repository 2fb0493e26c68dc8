#include "paint/SoftShadow.h"

#include <QPainter>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
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

// The rounded mean of a box of `width` samples, by a multiply instead of a division: exact for
// every sum such a box of bytes can hold while the box is narrower than 65,536 samples.
class BoxMean {
public:
    explicit BoxMean(int width)
        : m_half(std::uint64_t(width / 2))
        , m_factor((std::uint64_t(1) << 40) / std::uint64_t(width) + 1)
    {
    }
    uchar operator()(std::uint32_t sum) const { return uchar(((sum + m_half) * m_factor) >> 40); }

private:
    std::uint64_t m_half;
    std::uint64_t m_factor;
};

// One running-sum box pass along a line; samples past its ends count as 0.
void boxLine(const uchar *in, uchar *out, int count, int radius, BoxMean mean)
{
    std::uint32_t sum = 0;
    for (int x = 0; x < std::min(radius, count); ++x)
        sum += in[x];
    for (int x = 0; x < count; ++x) {
        if (x + radius < count)
            sum += in[x + radius];
        out[x] = mean(sum);
        if (x >= radius)
            sum -= in[x - radius];
    }
}

// The same along four lines at once: their sums are independent, so the processor adds them
// side by side instead of waiting on one.
void boxFourLines(const uchar *in, uchar *out, qsizetype stride, int count, int radius, BoxMean mean)
{
    const uchar *in0 = in, *in1 = in + stride, *in2 = in + 2 * stride, *in3 = in + 3 * stride;
    uchar *out0 = out, *out1 = out + stride, *out2 = out + 2 * stride, *out3 = out + 3 * stride;
    std::uint32_t s0 = 0, s1 = 0, s2 = 0, s3 = 0;
    for (int x = 0; x < std::min(radius, count); ++x) {
        s0 += in0[x];
        s1 += in1[x];
        s2 += in2[x];
        s3 += in3[x];
    }
    for (int x = 0; x < count; ++x) {
        if (const int e = x + radius; e < count) {
            s0 += in0[e];
            s1 += in1[e];
            s2 += in2[e];
            s3 += in3[e];
        }
        out0[x] = mean(s0);
        out1[x] = mean(s1);
        out2[x] = mean(s2);
        out3[x] = mean(s3);
        if (const int l = x - radius; l >= 0) {
            s0 -= in0[l];
            s1 -= in1[l];
            s2 -= in2[l];
            s3 -= in3[l];
        }
    }
}

// A row of samples added to, or taken from, the running sums of the columns.
void addRow(std::uint32_t *__restrict sums, const uchar *__restrict row, int count)
{
    for (int x = 0; x < count; ++x)
        sums[x] += row[x];
}

void subtractRow(std::uint32_t *__restrict sums, const uchar *__restrict row, int count)
{
    for (int x = 0; x < count; ++x)
        sums[x] -= row[x];
}

} // namespace

void blurAlpha(QImage &alpha8, qreal sigma)
{
    if (sigma < 0.3)
        return;
    const auto radii = boxRadii(sigma);
    const int w = alpha8.width();
    const int h = alpha8.height();
    const qsizetype bpl = alpha8.bytesPerLine();
    uchar *bits = alpha8.bits();
    std::vector<uchar> source(size_t(bpl) * size_t(h));
    std::vector<std::uint32_t> sums(static_cast<size_t>(w));
    const auto row = [&](int y) { return source.data() + qsizetype(y) * bpl; };
    for (const int r : radii) {
        if (r <= 0)
            continue;
        const BoxMean mean(2 * r + 1);

        // Along the rows, from a copy, four at a time.
        std::copy(bits, bits + bpl * h, source.begin());
        int y = 0;
        for (; y + 4 <= h; y += 4)
            boxFourLines(row(y), bits + qsizetype(y) * bpl, bpl, w, r, mean);
        for (; y < h; ++y)
            boxLine(row(y), bits + qsizetype(y) * bpl, w, r, mean);

        // Down the columns, a whole row at a time, so memory is read in order.
        std::copy(bits, bits + bpl * h, source.begin());
        std::fill(sums.begin(), sums.end(), 0u);
        for (y = 0; y < std::min(r, h); ++y)
            addRow(sums.data(), row(y), w);
        for (y = 0; y < h; ++y) {
            if (y + r < h)
                addRow(sums.data(), row(y + r), w);
            uchar *out = bits + qsizetype(y) * bpl;
            for (int x = 0; x < w; ++x)
                out[x] = mean(sums[size_t(x)]);
            if (y >= r)
                subtractRow(sums.data(), row(y - r), w);
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
