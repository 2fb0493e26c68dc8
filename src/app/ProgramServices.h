#pragma once

#include "appmodel/AppModel.h"
#include "spotify/CallbackHandoff.h"

#include <QNetworkAccessManager>
#include <QPointer>
#include <QSettings>

#include <memory>

namespace velloran {

class AuthorizationOpener;
class DemoEnvironment;
class MainWindow;
class TokenStore;

// Everything the running program is made of besides the model: the settings, the network,
// where the tokens are kept, how the sign-in page is shown, the single-instance socket, the
// demo's stand-in, and the window. It owns the model too, so that the window always goes
// before the objects it shows.
// The program's sound engine: the playback SDK in the hidden web page.
std::unique_ptr<AudioEngine> makeWebPlaybackEngine(SpotifyAuth &auth, SpotifyAPI &api, Clock &clock);
// The window, showing the root view over the model.
std::unique_ptr<MainWindow> makeMainWindow(AppModel &model);

class ProgramServices {
public:
    explicit ProgramServices(bool demo);
    ~ProgramServices();

    ProgramServices(const ProgramServices &) = delete;
    ProgramServices &operator=(const ProgramServices &) = delete;

    // Becomes the one running program; when another one runs already, asks it to come to the
    // front and returns false.
    bool claimInstance();
    // The migration, the fonts, the demo's stand-in and the model. False, with startError(),
    // when the program cannot run.
    bool start();
    QString startError() const { return m_startError; }
    // Opens the window.
    void show();

    AppModel *model() const { return m_model.get(); }
    MainWindow *window() const { return m_window.get(); }
    QSettings &settings() const { return *m_settings; }

private:
    void received(const QUrl &url);

    bool m_demo;
    std::unique_ptr<QSettings> m_settings;
    QNetworkAccessManager m_network;
    std::unique_ptr<TokenStore> m_tokenStore;
    std::unique_ptr<AuthorizationOpener> m_opener;
    std::unique_ptr<DemoEnvironment> m_demoEnvironment;
    CallbackListener m_listener;
    std::unique_ptr<AppModel> m_model;
    std::unique_ptr<MainWindow> m_window;
    QString m_startError;
};

} // namespace velloran
