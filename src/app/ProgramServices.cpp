#include "app/ProgramServices.h"

#include "app/DemoEnvironment.h"
#include "app/MainWindow.h"
#include "app/Migration.h"
#include "core/Clock.h"
#include "model/SupportDirectory.h"
#include "nowplaying/NowPlaying.h"
#include "paint/FontRegistration.h"
#include "shell/ConnectedContent.h"
#include "shell/GlassChrome.h"
#include "shell/RootView.h"
#include "spotify/AuthorizationOpener.h"
#include "spotify/KeychainTokenStore.h"
#include "spotify/TokenStore.h"
#include "webplayer/WebPlaybackEngine.h"

#include <QCoreApplication>
#include <QDBusConnection>

#include <QFileInfo>
#include <QStandardPaths>

using namespace Qt::StringLiterals;

namespace velloran {

namespace {

// The answer that asks the running program to come to the front.
const QUrl raiseUrl(u"cobbleden://raise"_s);

} // namespace

std::unique_ptr<AudioEngine> makeWebPlaybackEngine(SpotifyAuth &auth, SpotifyAPI &api, Clock &clock)
{
    QPointer<SpotifyAuth> guardedAuth(&auth);
    WebPlaybackEngine::Services services;
    services.accessToken = [guardedAuth](bool force) -> QCoro::Task<QString> {
        if (!guardedAuth)
            throw UserFacingError(u"The program is shutting down."_s);
        co_return co_await guardedAuth->accessToken(force);
    };
    services.request = [&api](QByteArray method, QString path, QMap<QString, QString> query,
                              std::optional<QJsonObject> body) {
        return api.request(std::move(method), std::move(path), std::move(query), std::move(body));
    };
    services.isNotFound = WebPlaybackEngine::isNotFoundAnswer;
    return std::make_unique<WebPlaybackEngine>(std::move(services), clock);
}

std::unique_ptr<MainWindow> makeMainWindow(AppModel &model)
{
    auto *root = new RootView(
        model.auth(), [&model](QWidget *parent) { return makeConnectedContent(model, parent); },
        [&model] {
            model.engine().start();
            model.library().load();
        });
    return std::make_unique<MainWindow>(model, root);
}

ProgramServices::ProgramServices(bool demo)
    : m_demo(demo)
    , m_settings(demo ? std::make_unique<QSettings>(u"Velloran"_s, DemoEnvironment::settingsApplication())
                      : std::make_unique<QSettings>(u"Velloran"_s, u"Velloran"_s))
    , m_listener(demo ? DemoEnvironment::socketName() : callbackSocketName())
{
    m_network.setTransferTimeout(60'000);
    QObject::connect(&m_listener, &CallbackListener::callbackReceived, &m_listener,
                     [this](const QUrl &url) { received(url); });
}

ProgramServices::~ProgramServices()
{
    m_window.reset();
    m_model.reset();
}

bool ProgramServices::claimInstance()
{
    if (m_listener.listen())
        return true;
    sendCallback(raiseUrl, m_demo ? DemoEnvironment::socketName() : callbackSocketName());
    return false;
}

bool ProgramServices::start()
{
    if (!m_demo) {
        QSettings old(u"com.tarnwick.cobbleden"_s);
        const bool oldExists = QFileInfo::exists(old.fileName());
        Migration::run(*m_settings, oldExists ? &old : nullptr,
                       QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation));
    }
    fonts::registerBundledFonts();
    applyGlassChrome();

    if (m_demo) {
        m_demoEnvironment = std::make_unique<DemoEnvironment>();
        if (!m_demoEnvironment->start()) {
            m_startError = u"velloran: the demo could not open a port on this computer's loopback address."_s;
            return false;
        }
        // The demo keeps its tokens in memory and signs in without a browser.
        m_tokenStore = std::make_unique<MemoryTokenStore>();
        auto *direct = new DirectAuthorizationOpener(&m_network);
        QObject::connect(direct, &DirectAuthorizationOpener::redirected, direct, [this](const QUrl &url) {
            if (m_model)
                m_model->auth().deliverCallback(url);
        });
        QObject::connect(direct, &DirectAuthorizationOpener::failed, direct, [this] {
            if (m_model)
                m_model->auth().cancelLogin();
        });
        m_opener.reset(direct);
    } else {
        m_tokenStore = std::make_unique<KeychainTokenStore>();
        m_opener = std::make_unique<BrowserOpener>();
    }

    m_model = std::make_unique<AppModel>(AppModel::Services{
        SystemClock::shared(), *m_settings, &m_network, *m_tokenStore, *m_opener, SpotifyConfig::fromEnvironment(),
        makeWebPlaybackEngine, [this](PlaybackController &controller, Clock &clock) -> std::unique_ptr<QObject> {
            NowPlaying::Options options;
            options.artworkDirectory = supportPath(u"Artwork"_s);
            options.network = &m_network;
            options.raise = [this] {
                if (m_window)
                    m_window->raiseToFront();
            };
            options.quit = [] { QCoreApplication::quit(); };
            return std::make_unique<NowPlaying>(controller, clock, QDBusConnection::sessionBus(), std::move(options));
        }});
    return true;
}

void ProgramServices::show()
{
    m_window = makeMainWindow(*m_model);
    m_window->show();
}

void ProgramServices::received(const QUrl &url)
{
    if (url == raiseUrl) {
        if (m_window)
            m_window->raiseToFront();
        return;
    }
    if (m_model)
        m_model->auth().deliverCallback(url);
}

} // namespace velloran
