#pragma once

#include "spotify/SpotifyAPI.h"
#include "standin/StandinPlayer.h"
#include "standin/StandinServer.h"
#include "webplayer/WebPlaybackEngine.h"

#include <QNetworkAccessManager>

#include <memory>

namespace velloran::test {

// The stand-in service on a loopback port with a catalogue of short tracks, the Web API
// client pointed at it, and the services a WebPlaybackEngine needs from both.
class StandinFixture {
public:
    StandinFixture();
    ~StandinFixture();

    standin::StandinServer &server() { return *m_server; }
    standin::StandinPlayer &player() { return *standin::StandinPlayer::of(*m_server); }
    QString sdkUrl() { return QString::fromUtf8(player().sdkUrl().toEncoded()); }

    WebPlaybackEngine::Services services();

    // Requests of a path that reached the stand-in, scripted faults included.
    int requests(const QString &path) const;
    // The player commands received, in order, as "path" without the /v1/ prefix.
    QStringList commandPaths() const;

    int tokenRequests = 0;
    int forcedTokenRequests = 0;
    // Overrides the token handed to the page when set.
    std::optional<QString> pageToken;

private:
    std::unique_ptr<standin::StandinServer> m_server;
    QNetworkAccessManager m_network;
    std::unique_ptr<SpotifyAPI> m_api;
    QString m_token;
};

// Tracks of the fixture catalogue: "spotify:track:fixture<n>" last two seconds and
// "spotify:track:long<n>" a minute, for n from 0 to 9.
QString fixtureTrackURI(int n);
standin::Catalogue fixtureCatalogue();

} // namespace velloran::test
