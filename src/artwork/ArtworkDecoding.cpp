#include "artwork/ArtworkDecoding.h"

#include <QBuffer>
#include <QImageReader>
#include <QPainter>

#include <algorithm>

namespace velloran {

namespace {

// Covers are a few hundred pixels wide; anything far larger is not a cover and would cost
// more memory to decode than the whole cache.
constexpr int largestSide = 16384;

} // namespace

std::optional<QImage> decodeThumbnail(const QByteArray &bytes, int pixels)
{
    if (bytes.isEmpty() || pixels <= 0)
        return std::nullopt;
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    reader.setAutoTransform(true);

    const QSize size = reader.size();
    if (size.isValid()) {
        if (size.width() > largestSide || size.height() > largestSide)
            return std::nullopt;
        if (std::max(size.width(), size.height()) > pixels)
            reader.setScaledSize(size.scaled(pixels, pixels, Qt::KeepAspectRatio).expandedTo({1, 1}));
    }
    QImage image = reader.read();
    if (image.isNull())
        return std::nullopt;
    // Some formats cannot decode to a size; they are scaled after the fact.
    if (std::max(image.width(), image.height()) > pixels)
        image = image.scaled(pixels, pixels, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    image.setDevicePixelRatio(1);
    return image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

std::optional<CodableColour> representativeColour(const QImage &thumbnail)
{
    if (thumbnail.isNull())
        return std::nullopt;
    // Premultiplied RGBA in a zeroed buffer: transparent pixels count as black.
    QImage bitmap(thumbnail.size(), QImage::Format_RGBA8888_Premultiplied);
    if (bitmap.isNull())
        return std::nullopt;
    bitmap.fill(Qt::transparent);
    {
        QPainter painter(&bitmap);
        painter.drawImage(0, 0, thumbnail);
    }

    double sumRed = 0, sumGreen = 0, sumBlue = 0, sumWeight = 0;
    for (int y = 0; y < bitmap.height(); ++y) {
        const uchar *pixel = bitmap.constScanLine(y);
        for (int x = 0; x < bitmap.width(); ++x, pixel += 4) {
            const double r = pixel[0] / 255.0, g = pixel[1] / 255.0, b = pixel[2] / 255.0;
            const double weight = 2 * (std::max({r, g, b}) - std::min({r, g, b})) + 0.15;
            sumRed += r * weight;
            sumGreen += g * weight;
            sumBlue += b * weight;
            sumWeight += weight;
        }
    }
    if (!(sumWeight > 0))
        return std::nullopt;
    return CodableColour{sumRed / sumWeight, sumGreen / sumWeight, sumBlue / sumWeight};
}

std::optional<CodableColour> representativeColour(const QByteArray &bytes)
{
    const std::optional<QImage> thumbnail = decodeThumbnail(bytes, 24);
    return thumbnail ? representativeColour(*thumbnail) : std::nullopt;
}

} // namespace velloran
