#pragma once

#include <QFont>
#include <QString>

namespace velloran::fonts {

// The four families the program ships and draws with, by name. Every scene takes its
// fonts from here so that a family is spelled in one place.
inline QString sans() { return QStringLiteral("Instrument Sans"); }
inline QString serif() { return QStringLiteral("Instrument Serif"); }
inline QString mono() { return QStringLiteral("JetBrains Mono"); }
inline QString hand() { return QStringLiteral("Caveat"); }

// A font of a family at a pixel size, so that drawings scale with the stage, not with the
// desktop's font DPI.
inline QFont font(const QString &family, qreal pixelSize, int weight = QFont::Normal)
{
    QFont f(family);
    f.setPixelSize(qMax(1, qRound(pixelSize)));
    f.setWeight(static_cast<QFont::Weight>(weight));
    return f;
}

} // namespace velloran::fonts
