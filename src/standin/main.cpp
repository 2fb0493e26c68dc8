// velloran-standin: the loopback stand-in for Spotify as a program of its own.
//
//   velloran-standin [--port N] [--catalogue FILE]
//       serves on 127.0.0.1; the first line on standard output is the base URL.
//   velloran-standin --write-catalogue FILE [--albums N] [--playlists N] [--seed N]
//       writes a generated catalogue fixture and exits.

#include "core/Json.h"
#include "standin/StandinServer.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>
#include <QJsonDocument>
#include <QSaveFile>

#include <cstdio>

using namespace Qt::StringLiterals;
using velloran::standin::Catalogue;
using velloran::standin::StandinServer;

namespace {

int fail(const QString &message)
{
    std::fprintf(stderr, "velloran-standin: %s\n", message.toLocal8Bit().constData());
    return 1;
}

bool readCount(const QCommandLineParser &parser, const QString &name, int &value)
{
    if (!parser.isSet(name))
        return true;
    bool ok = false;
    value = parser.value(name).toInt(&ok);
    return ok && value >= 0;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(u"velloran-standin"_s);
    QCoreApplication::setApplicationVersion(QStringLiteral(VELLORAN_VERSION));

    QCommandLineParser parser;
    parser.setApplicationDescription(u"A loopback stand-in for Spotify's accounts service and Web API."_s);
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addOptions({
        {u"port"_s, u"Port to listen on (0 or absent: a free port)."_s, u"N"_s},
        {u"catalogue"_s, u"Catalogue fixture to serve (absent: a small built-in sample)."_s, u"FILE"_s},
        {u"write-catalogue"_s, u"Write a generated catalogue fixture to FILE and exit."_s, u"FILE"_s},
        {u"albums"_s, u"Albums in a generated catalogue."_s, u"N"_s},
        {u"playlists"_s, u"Playlists in a generated catalogue."_s, u"N"_s},
        {u"seed"_s, u"Seed of a generated catalogue."_s, u"N"_s},
    });
    parser.process(app);

    if (parser.isSet(u"write-catalogue"_s)) {
        Catalogue::GeneratorOptions options;
        int seed = int(options.seed);
        if (!readCount(parser, u"albums"_s, options.albums) || !readCount(parser, u"playlists"_s, options.playlists)
            || !readCount(parser, u"seed"_s, seed))
            return fail(u"--albums, --playlists and --seed take a non-negative whole number."_s);
        options.seed = quint32(seed);
        QSaveFile file(parser.value(u"write-catalogue"_s));
        if (!file.open(QIODevice::WriteOnly))
            return fail(file.errorString());
        file.write(QJsonDocument(Catalogue::generate(options).toJson()).toJson(QJsonDocument::Compact));
        if (!file.commit())
            return fail(file.errorString());
        return 0;
    }

    int port = 0;
    if (!readCount(parser, u"port"_s, port) || port > 65535)
        return fail(u"--port takes a port number."_s);

    Catalogue catalogue;
    try {
        catalogue = parser.isSet(u"catalogue"_s) ? Catalogue::load(parser.value(u"catalogue"_s)) : Catalogue::sample();
    } catch (const velloran::DecodeError &error) {
        return fail(error.message());
    }

    StandinServer server(std::move(catalogue));
    if (!server.listenOnLoopback(quint16(port)))
        return fail(u"Cannot listen on 127.0.0.1:"_s + QString::number(port) + u'.');
    std::printf("%s\n", server.baseUrl().toEncoded().constData());
    std::fflush(stdout);
    return app.exec();
}
