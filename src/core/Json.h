#pragma once

#include "core/UserFacingError.h"

#include <QByteArray>
#include <QJsonArray>
#include <QJsonObject>
#include <QJsonValue>
#include <QList>
#include <QString>

#include <optional>

namespace velloran {

// A value could not be read from JSON. The message names the offending field by its path
// ("items[3].album.id") so a broken file or answer can be diagnosed.
class DecodeError : public UserFacingError {
public:
    using UserFacingError::UserFacingError;
};

// Parses a whole JSON document; a syntax error, invalid UTF-8 or excessive nesting throws.
QJsonValue parseJson(const QByteArray &bytes);

// Reads fields of one JSON object, naming them by path in every error.
class JsonReader {
public:
    JsonReader(const QJsonValue &value, QString path);

    const QString &path() const { return m_path; }
    const QJsonObject &object() const { return m_object; }
    QString childPath(QLatin1StringView key) const;

    bool has(QLatin1StringView key) const;    // present and not null
    QJsonValue value(QLatin1StringView key) const;

    QString string(QLatin1StringView key) const;
    std::optional<QString> optionalString(QLatin1StringView key) const;
    qint64 integer(QLatin1StringView key) const;
    std::optional<qint64> optionalInteger(QLatin1StringView key) const;
    std::optional<bool> optionalBool(QLatin1StringView key) const;
    std::optional<double> optionalNumber(QLatin1StringView key) const;
    double number(QLatin1StringView key) const;
    QJsonArray array(QLatin1StringView key) const;

    template<typename T, typename Read>
    QList<T> list(QLatin1StringView key, Read read) const
    {
        return readList<T>(array(key), childPath(key), read);
    }
    template<typename T, typename Read>
    std::optional<QList<T>> optionalList(QLatin1StringView key, Read read) const
    {
        if (!has(key))
            return std::nullopt;
        return list<T>(key, read);
    }

    // A list in which an element that cannot be read (null, of the wrong type, missing a
    // field it needs) is left out, so that one odd element never costs the others.
    template<typename T, typename Read>
    QList<T> readableList(QLatin1StringView key, Read read) const
    {
        return readReadable<T>(array(key), childPath(key), read);
    }
    template<typename T, typename Read>
    std::optional<QList<T>> optionalReadableList(QLatin1StringView key, Read read) const
    {
        if (!has(key))
            return std::nullopt;
        return readableList<T>(key, read);
    }

    [[noreturn]] static void fail(const QString &path, const QString &problem);

    template<typename T, typename Read>
    static QList<T> readList(const QJsonArray &array, const QString &path, Read read)
    {
        QList<T> result;
        result.reserve(array.size());
        for (qsizetype i = 0; i < array.size(); ++i)
            result.append(read(array.at(i), path + u'[' + QString::number(i) + u']'));
        return result;
    }

    template<typename T, typename Read>
    static QList<T> readReadable(const QJsonArray &array, const QString &path, Read read)
    {
        QList<T> result;
        result.reserve(array.size());
        for (qsizetype i = 0; i < array.size(); ++i) {
            try {
                result.append(read(array.at(i), path + u'[' + QString::number(i) + u']'));
            } catch (const DecodeError &) {
            }
        }
        return result;
    }

    // An integral JSON number that fits in 64 bits, else an error.
    static qint64 toInteger(const QJsonValue &value, const QString &path);

private:
    QJsonObject m_object;
    QString m_path;
};

} // namespace velloran
