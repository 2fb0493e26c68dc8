#include "spotify/Tokens.h"

#include "core/Json.h"

#include <QJsonDocument>
#include <QJsonObject>

using namespace Qt::StringLiterals;

namespace velloran {

QByteArray Tokens::toJson() const
{
    QJsonObject object{{u"access"_s, access}, {u"expiry"_s, toReferenceSeconds(expiry)}};
    if (refresh)
        object.insert(u"refresh"_s, *refresh);
    return QJsonDocument(object).toJson(QJsonDocument::Compact);
}

std::optional<Tokens> Tokens::fromJson(const QByteArray &data)
{
    try {
        const JsonReader reader(parseJson(data), {});
        Tokens tokens;
        tokens.access = reader.string("access"_L1);
        tokens.refresh = reader.optionalString("refresh"_L1);
        const double expiry = reader.number("expiry"_L1);
        if (!isReferenceSecondsInRange(expiry))
            return std::nullopt;
        tokens.expiry = fromReferenceSeconds(expiry);
        return tokens;
    } catch (const DecodeError &) {
        return std::nullopt;
    }
}

} // namespace velloran
