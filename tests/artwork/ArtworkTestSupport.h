#pragma once

#include <QBuffer>
#include <QByteArray>
#include <QColor>
#include <QImage>
#include <QImageWriter>

namespace velloran::test {

// An encoded image of one colour.
inline QByteArray encodedImage(QSize size, QColor colour, const char *format = "PNG",
                               QImageIOHandler::Transformations transformation = QImageIOHandler::TransformationNone)
{
    QImage image(size, QImage::Format_ARGB32);
    image.fill(colour);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    writer.setTransformation(transformation);
    writer.write(image);
    return bytes;
}

} // namespace velloran::test
