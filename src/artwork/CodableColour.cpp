#include "artwork/CodableColour.h"

#include "core/Json.h"

using namespace Qt::StringLiterals;

namespace velloran {

QJsonObject CodableColour::toJson() const
{
    return {{"red"_L1, red}, {"green"_L1, green}, {"blue"_L1, blue}};
}

CodableColour CodableColour::fromJson(const QJsonValue &value, const QString &path)
{
    const JsonReader r(value, path);
    const auto component = [&r](QLatin1StringView key) {
        const double v = r.number(key);
        if (v < 0 || v > 1)
            JsonReader::fail(r.childPath(key), u"the component is outside 0 to 1"_s);
        return v;
    };
    return {component("red"_L1), component("green"_L1), component("blue"_L1)};
}

} // namespace velloran
