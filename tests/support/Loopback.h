#pragma once

// A stand-in for Spotify on a loopback port, a network manager, and the manual clock
// that both the stand-in and the code under test read.

#include "Await.h"

#include "core/ManualClock.h"
#include "spotify/SpotifyConfig.h"
#include "standin/StandinServer.h"

#include <QNetworkAccessManager>

#include <gtest/gtest.h>

namespace velloran::test {

class Loopback : public ::testing::Test {
protected:
    // Listens at once, so that members of derived fixtures can be built with the config.
    Loopback()
        : listening(server.listenOnLoopback())
        , config(SpotifyConfig::forServer(server.baseUrl()))
    {
    }

    void SetUp() override { ASSERT_TRUE(listening); }

    int requests(const QString &path) const { return server.faults().count(path); }

    ManualClock clock;
    standin::StandinServer server{standin::Catalogue::sample(), clock};
    QNetworkAccessManager network;
    bool listening;
    SpotifyConfig config;
};

} // namespace velloran::test
