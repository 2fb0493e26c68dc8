#pragma once

#include <QColor>
#include <QJsonObject>
#include <QMetaType>

namespace velloran {

// A cover's representative colour: sRGB components in 0...1.
struct CodableColour {
    double red = 0;
    double green = 0;
    double blue = 0;

    QColor toColor() const { return QColor::fromRgbF(float(red), float(green), float(blue)); }

    // {"red": r, "green": g, "blue": b}
    QJsonObject toJson() const;
    // Throws DecodeError unless all three are numbers in 0...1.
    static CodableColour fromJson(const QJsonValue &value, const QString &path = {});

    bool operator==(const CodableColour &) const = default;
};

} // namespace velloran

Q_DECLARE_METATYPE(velloran::CodableColour)
