#pragma once

#include "playback/WebPlaybackEngine.h"
#include "standin/player/StandinPlayer.h"

#include <QHttpServer>
#include <QNetworkAccessManager>

#include <exception>
#include <memory>

namespace velloran::test {

// An HTTP answer outside 2xx from the stand-in.
struct HttpFailure : std::exception {
    explicit HttpFailure(int status) : status(status) {}
    const char *what() const noexcept override { return "HTTP failure"; }
    int status;
};

// The stand-in's player service on a loopback port, with a catalogue of short tracks, and
// the services a WebPlaybackEngine needs to talk to it.
class StandinFixture {
public:
    StandinFixture();

    QString baseUrl() const;
    QString sdkUrl() const { return baseUrl() + QStringLiteral("/standin/sdk/spotify-player.js"); }
    standin::StandinPlayer &player() { return *m_player; }

    WebPlaybackEngine::Services services();

    int tokenRequests = 0;
    int forcedTokenRequests = 0;
    QString token = QStringLiteral("standin-token");

private:
    QHttpServer m_server;
    quint16 m_port = 0;
    std::unique_ptr<standin::StandinPlayer> m_player;
    QNetworkAccessManager m_network;
};

// Track URIs of the fixture catalogue; track n lasts `durationMs(n)`.
QString fixtureTrackURI(int n);

} // namespace velloran::test
