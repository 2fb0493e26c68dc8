#pragma once

#include <QString>

#include <memory>

namespace velloran {

namespace standin {
class StandinServer;
}

// Demo mode: the program runs against a stand-in for Spotify started inside the process,
// with a generated collection, generated covers and an audible stand-in player. It keeps
// apart from a real account: its own support folder, its own settings, no keyring entry.
class DemoEnvironment {
public:
    // Must run before the application object exists: points the data folder elsewhere.
    static void prepareProcess();

    DemoEnvironment();
    ~DemoEnvironment();

    // Starts the stand-in and points the accounts, Web API and player script at it. False
    // when the loopback port cannot be opened.
    bool start();

    QString baseUrl() const;
    standin::StandinServer *server() const { return m_server.get(); }

    // The settings suite the demo uses instead of the user's own.
    static QString settingsApplication() { return QStringLiteral("Velloran Demo"); }
    static QString socketName();

private:
    std::unique_ptr<standin::StandinServer> m_server;
};

} // namespace velloran
