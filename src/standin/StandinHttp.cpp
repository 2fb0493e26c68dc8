#include "standin/StandinHttp.h"

#include <QJsonValue>

using namespace Qt::StringLiterals;

namespace velloran::standin {

QByteArray Request::header(const QByteArray &name) const
{
    for (const auto &[key, value] : headers) {
        if (key.compare(name, Qt::CaseInsensitive) == 0)
            return value;
    }
    return {};
}

QString Request::bearerToken() const
{
    const QByteArray value = header("Authorization");
    if (!value.startsWith("Bearer "))
        return {};
    return QString::fromLatin1(value.mid(7));
}

QUrlQuery Request::form() const
{
    // In a form a '+' is a space; QUrlQuery only knows percent-escapes.
    QByteArray text = body;
    text.replace('+', ' ');
    return QUrlQuery(QString::fromUtf8(text));
}

Reply Reply::json(int status, const QJsonObject &object)
{
    return Reply{status, {{"Content-Type", "application/json; charset=utf-8"}}, QJsonDocument(object).toJson(QJsonDocument::Compact)};
}

Reply Reply::apiError(int status, const QString &message)
{
    return json(status, {{u"error"_s, QJsonObject{{u"status"_s, status}, {u"message"_s, message}}}});
}

Reply Reply::oauthError(int status, const QString &error, const QString &description)
{
    return json(status, {{u"error"_s, error}, {u"error_description"_s, description}});
}

Reply Reply::text(int status, const QString &text)
{
    return Reply{status, {{"Content-Type", "text/plain; charset=utf-8"}}, text.toUtf8()};
}

Reply Reply::redirect(const QUrl &location)
{
    return Reply{302, {{"Location", location.toEncoded()}}, {}};
}

Reply Reply::noContent()
{
    return Reply{204, {}, {}};
}

Reply &Reply::withHeader(QByteArray name, QByteArray value)
{
    headers.append({std::move(name), std::move(value)});
    return *this;
}

} // namespace velloran::standin
