#pragma once

// Plain request and reply values that the stand-in's route handlers work with, so that a
// handler is an ordinary function of a request and can be read without the server.

#include <QByteArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>
#include <QUrl>
#include <QUrlQuery>

namespace velloran::standin {

struct Request {
    QByteArray method;                              // "GET", "POST", ...
    QString path;                                   // decoded path, for example "/v1/me/albums"
    QUrlQuery query;
    QList<QPair<QByteArray, QByteArray>> headers;   // as received
    QByteArray body;
    QStringList captures;                           // the segments matched by "{}" in the route

    QByteArray header(const QByteArray &name) const;  // case-insensitive; empty when missing
    // The value after "Bearer " in the Authorization header, or empty.
    QString bearerToken() const;
    // The body read as an application/x-www-form-urlencoded form.
    QUrlQuery form() const;
};

struct Reply {
    int status = 200;
    QList<QPair<QByteArray, QByteArray>> headers;
    QByteArray body;

    static Reply json(int status, const QJsonObject &object);
    static Reply json(const QJsonObject &object) { return json(200, object); }
    // The Web API's error form: {"error": {"status": N, "message": "..."}}.
    static Reply apiError(int status, const QString &message);
    // The accounts service's error form: {"error": "...", "error_description": "..."}.
    static Reply oauthError(int status, const QString &error, const QString &description);
    static Reply text(int status, const QString &text);
    static Reply redirect(const QUrl &location);
    static Reply noContent();

    Reply &withHeader(QByteArray name, QByteArray value);
};

} // namespace velloran::standin
