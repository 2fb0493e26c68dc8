#include "app/DemoEnvironment.h"

#include "spotify/CallbackHandoff.h"
#include "standin/StandinPlayer.h"
#include "standin/StandinServer.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QDir>
#include <QStandardPaths>

using namespace Qt::StringLiterals;

namespace velloran {

namespace {

// Tracks of one to three minutes, so a side of the demo ends while one watches.
void shortenTracks(QJsonArray &tracks, quint32 &seed)
{
    for (qsizetype i = 0; i < tracks.size(); ++i) {
        QJsonObject track = tracks.at(i).toObject();
        if (track.isEmpty())
            continue;
        seed = seed * 1664525u + 1013904223u;
        track.insert(u"duration_ms"_s, 60'000 + int(seed % 120'000u));
        tracks.replace(i, track);
    }
}

standin::Catalogue demoCatalogue()
{
    // Enough records to fill several shelves, their covers in every hue.
    standin::Catalogue catalogue = standin::Catalogue::generate({120, 12, 7});
    quint32 seed = 7;
    for (QJsonObject &album : catalogue.albums) {
        QJsonArray tracks = album.value("tracks"_L1).toArray();
        shortenTracks(tracks, seed);
        album.insert(u"tracks"_s, tracks);
    }
    for (standin::Catalogue::Playlist &playlist : catalogue.playlists) {
        // The demo's playlists are all readable, so every record on the shelf plays.
        playlist.readable = true;
        for (qsizetype i = 0; i < playlist.items.size(); ++i) {
            QJsonObject item = playlist.items.at(i).toObject();
            for (const auto key : {"track"_L1, "item"_L1}) {
                if (!item.value(key).isObject())
                    continue;
                QJsonArray one{item.value(key)};
                shortenTracks(one, seed);
                item.insert(key, one.at(0));
            }
            playlist.items.replace(i, item);
        }
    }
    catalogue.reindex();
    return catalogue;
}

} // namespace

void DemoEnvironment::prepareProcess()
{
    // A data folder of the demo's own: its library, history, artwork and web storage.
    const QString home = qEnvironmentVariable("XDG_DATA_HOME",
                                              QDir::homePath() + u"/.local/share"_s);
    qputenv("XDG_DATA_HOME", QString(home + u"/velloran-demo"_s).toUtf8());
}

DemoEnvironment::DemoEnvironment() = default;
DemoEnvironment::~DemoEnvironment() = default;

bool DemoEnvironment::start()
{
    m_server = std::make_unique<standin::StandinServer>(demoCatalogue());
    if (!m_server->listenOnLoopback(0))
        return false;
    const QByteArray base = m_server->baseUrl().toString().toUtf8();
    qputenv("VELLORAN_ACCOUNTS_URL", base);
    qputenv("VELLORAN_API_URL", base + "/v1/");
    if (standin::StandinPlayer *player = standin::StandinPlayer::of(*m_server))
        qputenv("VELLORAN_SDK_URL", player->sdkUrl().toString().toUtf8());
    return true;
}

QString DemoEnvironment::baseUrl() const
{
    return m_server ? m_server->baseUrl().toString() : QString();
}

QString DemoEnvironment::socketName()
{
    return callbackSocketName() + u"-demo"_s;
}

} // namespace velloran
