#include "core/Json.h"

#include <QJsonDocument>
#include <QJsonParseError>

#include <cmath>

using namespace Qt::StringLiterals;

namespace velloran {

QJsonValue parseJson(const QByteArray &bytes)
{
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &error);
    if (error.error != QJsonParseError::NoError)
        throw DecodeError(u"The data is not valid JSON: "_s + error.errorString() + u" at offset "_s
                          + QString::number(error.offset) + u'.');
    if (document.isArray())
        return document.array();
    if (document.isObject())
        return document.object();
    throw DecodeError(u"The data is not a JSON object or array."_s);
}

JsonReader::JsonReader(const QJsonValue &value, QString path)
    : m_path(std::move(path))
{
    if (!value.isObject())
        fail(m_path, u"expected an object"_s);
    m_object = value.toObject();
}

QString JsonReader::childPath(QLatin1StringView key) const
{
    return m_path.isEmpty() ? QString(key) : m_path + u'.' + key;
}

void JsonReader::fail(const QString &path, const QString &problem)
{
    const QString where = path.isEmpty() ? u"the top level"_s : u'"' + path + u'"';
    throw DecodeError(u"Could not read "_s + where + u": "_s + problem + u'.');
}

bool JsonReader::has(QLatin1StringView key) const
{
    const auto it = m_object.constFind(key);
    return it != m_object.constEnd() && !it->isNull() && !it->isUndefined();
}

QJsonValue JsonReader::value(QLatin1StringView key) const
{
    return m_object.value(key);
}

QString JsonReader::string(QLatin1StringView key) const
{
    if (!m_object.contains(key))
        fail(childPath(key), u"the field is missing"_s);
    const QJsonValue v = m_object.value(key);
    if (!v.isString())
        fail(childPath(key), u"expected a string"_s);
    return v.toString();
}

std::optional<QString> JsonReader::optionalString(QLatin1StringView key) const
{
    if (!has(key))
        return std::nullopt;
    return string(key);
}

qint64 JsonReader::toInteger(const QJsonValue &v, const QString &path)
{
    if (!v.isDouble())
        fail(path, u"expected an integer"_s);
    // Qt keeps integers that fit exactly; anything else must be an integral double in range.
    const double d = v.toDouble();
    const qint64 exact = v.toInteger(std::numeric_limits<qint64>::min());
    if (exact != std::numeric_limits<qint64>::min() || d == -9223372036854775808.0)
        return exact;
    if (!std::isfinite(d) || std::trunc(d) != d || d >= 9223372036854775808.0 || d < -9223372036854775808.0)
        fail(path, u"expected an integer"_s);
    return static_cast<qint64>(d);
}

qint64 JsonReader::integer(QLatin1StringView key) const
{
    if (!m_object.contains(key))
        fail(childPath(key), u"the field is missing"_s);
    return toInteger(m_object.value(key), childPath(key));
}

std::optional<qint64> JsonReader::optionalInteger(QLatin1StringView key) const
{
    if (!has(key))
        return std::nullopt;
    return integer(key);
}

std::optional<bool> JsonReader::optionalBool(QLatin1StringView key) const
{
    if (!has(key))
        return std::nullopt;
    const QJsonValue v = m_object.value(key);
    if (!v.isBool())
        fail(childPath(key), u"expected true or false"_s);
    return v.toBool();
}

double JsonReader::number(QLatin1StringView key) const
{
    if (!m_object.contains(key))
        fail(childPath(key), u"the field is missing"_s);
    const QJsonValue v = m_object.value(key);
    if (!v.isDouble() || !std::isfinite(v.toDouble()))
        fail(childPath(key), u"expected a number"_s);
    return v.toDouble();
}

std::optional<double> JsonReader::optionalNumber(QLatin1StringView key) const
{
    if (!has(key))
        return std::nullopt;
    return number(key);
}

QJsonArray JsonReader::array(QLatin1StringView key) const
{
    if (!m_object.contains(key))
        fail(childPath(key), u"the field is missing"_s);
    const QJsonValue v = m_object.value(key);
    if (!v.isArray())
        fail(childPath(key), u"expected an array"_s);
    return v.toArray();
}

} // namespace velloran
