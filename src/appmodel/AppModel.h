#pragma once

#include "core/Clock.h"
#include "model/Library.h"
#include "model/Navigation.h"
#include "model/PlayHistory.h"
#include "playback/AudioEngine.h"
#include "playback/PlaybackController.h"
#include "playback/Turntable.h"
#include "spotify/SpotifyAPI.h"
#include "spotify/SpotifyAuth.h"

#include <QObject>
#include <QSettings>

#include <functional>
#include <memory>
#include <optional>

class QNetworkAccessManager;

namespace velloran {

class AuthorizationOpener;
class TokenStore;

// The program's root object: it builds every long-lived model object once, owns them for
// the whole run, writes plays to the history, and holds the navigation state every scene
// shares (which screen shows, and the sleeve flying to the turntable).
class AppModel : public QObject {
    Q_OBJECT

public:
    using Screen = Navigation::Screen;

    // Makes the sound engine once the account objects exist.
    using EngineFactory = std::function<std::unique_ptr<AudioEngine>(SpotifyAuth &, SpotifyAPI &, Clock &)>;
    // Makes whatever else follows the controller (the desktop's now-playing bridge).
    using CompanionFactory = std::function<std::unique_ptr<QObject>(PlaybackController &, Clock &)>;

    // What the program runs against: real Spotify and the keyring, or the demo's stand-in.
    struct Services {
        Clock &clock;
        QSettings &settings;
        QNetworkAccessManager *network;
        TokenStore &tokenStore;
        AuthorizationOpener &opener;
        SpotifyConfig spotify;
        EngineFactory makeEngine;
        CompanionFactory makeNowPlaying;
    };

    explicit AppModel(Services services, QObject *parent = nullptr);
    ~AppModel() override;

    // The screen showing and the sleeve in flight, which the rooms read and set.
    Navigation &navigation() const { return *m_navigation; }
    Screen screen() const { return m_navigation->screen(); }
    void setScreen(Screen screen) { m_navigation->setScreen(screen); }
    const std::optional<SleeveFlight> &flight() const { return m_navigation->flight(); }
    void setFlight(const std::optional<SleeveFlight> &flight) { m_navigation->setFlight(flight); }

    Clock &clock() const { return m_clock; }
    QSettings &settings() const { return m_settings; }
    PlayHistory &history() const { return *m_history; }
    SpotifyAuth &auth() const { return *m_auth; }
    SpotifyAPI &api() const { return *m_api; }
    AudioEngine &engine() const { return *m_engine; }
    PlaybackController &controller() const { return *m_controller; }
    Library &library() const { return *m_library; }
    Turntable &turntable() const { return *m_turntable; }
    QObject *nowPlaying() const { return m_nowPlaying.get(); }

    // Sends a record picked in a browsing scene to the turntable; `from` is where its
    // sleeve starts, in window coordinates.
    void putOnTurntable(const ShelfEntry &entry, const Record &record, const QRectF &from);

    // The menu's "Log Out of Spotify": pauses, then forgets the tokens.
    void logOut();

private:
    void noteStatus(PlaybackController::Status status);

    Clock &m_clock;
    QSettings &m_settings;
    std::unique_ptr<Navigation> m_navigation;
    std::unique_ptr<PlayHistory> m_history;
    std::unique_ptr<SpotifyAuth> m_auth;
    std::unique_ptr<SpotifyAPI> m_api;
    std::unique_ptr<AudioEngine> m_engine;
    std::unique_ptr<PlaybackController> m_controller;
    std::unique_ptr<Library> m_library;
    std::unique_ptr<Turntable> m_turntable;
    std::unique_ptr<QObject> m_nowPlaying;

    struct SideStarted {
        QString record;
        qint64 side;
    };
    std::optional<SideStarted> m_lastSideStarted;
    PlaybackController::Status m_seenStatus = PlaybackController::Status::idle;
};

} // namespace velloran
