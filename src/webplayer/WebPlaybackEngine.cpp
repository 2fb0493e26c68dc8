#include "webplayer/WebPlaybackEngine.h"

#include "playback/EngineError.h"
#include "playback/PlaybackLogging.h"
#include "spotify/APIError.h"
#include "spotify/SpotifyAPI.h"
#include "spotify/SpotifyAuth.h"
#include "webplayer/PlayerPageBridge.h"
#include "webplayer/PlayerWebPage.h"

#include <QCoreApplication>
#include <QFile>
#include <QJsonArray>
#include <QWebChannel>
#include <QWebEngineLoadingInfo>
#include <QWebEngineProfile>
#include <QWebEngineScript>
#include <QWebEngineScriptCollection>

#include <chrono>

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;

namespace velloran {
namespace {

const QString playerName = u"Velloran"_s;
// An https origin on the loopback host: a secure context, so EME and WebAudio are offered,
// without the page being fetched from anywhere.
const QUrl pageBaseUrl(u"https://127.0.0.1/"_s);

QString failureText(std::exception_ptr failure)
{
    return userFacingText(std::move(failure), u"Unknown error"_s);
}

// Runs in the program's own world of the main frame, where the page's scripts and every
// frame cannot reach it: the one holder of the web channel. It passes on what the page
// dispatches as "velloran-player-message" (a JSON text, bounded) to the bridge.
const QString relayScript = uR"(
(function () {
  "use strict";
  const largest = 65536;
  const waiting = [];
  let bridge = null;
  new QWebChannel(qt.webChannelTransport, function (channel) {
    bridge = channel.objects.player;
    while (waiting.length) bridge.postMessage(waiting.shift());
  });
  window.addEventListener("velloran-player-message", function (event) {
    if (typeof event.detail !== "string" || event.detail.length > largest) return;
    let body;
    try { body = JSON.parse(event.detail); } catch (e) { return; }
    if (bridge) bridge.postMessage(body);
    else if (waiting.length < 256) waiting.push(body);
  });
})();
)"_s;

QWebEngineScript relayInjection(const QString &source)
{
    QWebEngineScript script;
    script.setName(u"velloran-relay"_s);
    script.setSourceCode(source);
    script.setInjectionPoint(QWebEngineScript::DocumentCreation);
    script.setWorldId(QWebEngineScript::ApplicationWorld);
    script.setRunsOnSubFrames(false);
    return script;
}

// The page's cookies and storage (the SDK keeps its device there) survive restarts. Qt's
// default profile is off the record, so the page gets a named one, shared by every engine
// of the process and released with the application.
QWebEngineProfile *persistentPlayerProfile()
{
    static QPointer<QWebEngineProfile> profile;
    if (!profile)
        profile = new QWebEngineProfile(u"Velloran"_s, QCoreApplication::instance());
    return profile;
}

QString webChannelScript()
{
    QFile file(u":/qtwebchannel/qwebchannel.js"_s);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll());
}

} // namespace

WebPlaybackEngine::Services WebPlaybackEngine::spotifyServices(SpotifyAuth &auth, const SpotifyAPI &api)
{
    Services services;
    services.accessToken = [&auth](bool force) { return auth.accessToken(force); };
    services.request = [&api](QByteArray method, QString path, QMap<QString, QString> query,
                              std::optional<QJsonObject> body) {
        return api.request(std::move(method), std::move(path), std::move(query), std::move(body));
    };
    services.isNotFound = isNotFoundAnswer;
    return services;
}

bool WebPlaybackEngine::isNotFoundAnswer(std::exception_ptr failure)
{
    try {
        std::rethrow_exception(failure);
    } catch (const APIError &error) {
        return error.kind() == APIError::Kind::http && error.status() == 404;
    } catch (...) {
        return false;
    }
}

QString WebPlaybackEngine::configuredSdkUrl()
{
    return qEnvironmentVariable("VELLORAN_SDK_URL");
}

WebPlaybackEngine::WebPlaybackEngine(Services services, Clock &clock, QObject *parent)
    : WebPlaybackEngine(std::move(services), clock, Options{}, parent)
{
}

WebPlaybackEngine::WebPlaybackEngine(Services services, Clock &clock, Options options, QObject *parent)
    : QObject(parent), m_services(std::move(services)), m_clock(clock), m_options(std::move(options))
{
    if (m_options.sdkUrl.isEmpty())
        m_options.sdkUrl = configuredSdkUrl();
    QWebEngineProfile *profile = m_options.profile ? m_options.profile : persistentPlayerProfile();
    profile->setHttpUserAgent(userAgentWithoutQtToken(profile->httpUserAgent()));

    // The page has no view and lies in no window: a web view inside the window would make
    // the toolkit compose the whole window through OpenGL at every repaint, which without a
    // graphics card costs more than everything else the program draws.
    m_page = new PlayerWebPage(profile, PlayerPagePolicy::forSdk(m_options.sdkUrl), this);

    m_bridge = new PlayerPageBridge([this](const QJsonValue &body) { receivePageMessage(body); }, this);
    m_channel = new QWebChannel(this);
    m_channel->registerObject(u"player"_s, m_bridge);
    m_page->setWebChannel(m_channel, QWebEngineScript::ApplicationWorld);
    m_page->scripts().insert(relayInjection(webChannelScript() + relayScript));

    connect(m_page, &QWebEnginePage::loadingChanged, this, &WebPlaybackEngine::handleLoading);
}

WebPlaybackEngine::~WebPlaybackEngine()
{
    // The page goes before the channel it talks through.
    delete m_page;
}

QWebEnginePage *WebPlaybackEngine::page() const
{
    return m_page;
}

void WebPlaybackEngine::start()
{
    if (m_started)
        return;
    QFile file(m_options.pageResource);
    if (!file.open(QIODevice::ReadOnly)) {
        emitEvent(engine_event::Error{u"player.html is missing from the app bundle"_s});
        return;
    }
    const QString html = playerPageHtml(QString::fromUtf8(file.readAll()), m_page->policy());
    m_started = true;
    m_page->allowNextLoad();
    m_page->setHtml(html, pageBaseUrl);
    // Without a view nobody tells Chromium that the page is seen, and a hidden page has its
    // timers woken at most once a second. The page exists only from its first load on, so
    // it is told here (before that, the call is lost).
    m_page->setVisible(true);
}

void WebPlaybackEngine::handleLoading(const QWebEngineLoadingInfo &info)
{
    switch (info.status()) {
    case QWebEngineLoadingInfo::LoadStartedStatus:
        return;
    case QWebEngineLoadingInfo::LoadSucceededStatus:
        callPage(u"vqStart("_s + jsStringLiteral(playerName) + u')');
        return;
    case QWebEngineLoadingInfo::LoadStoppedStatus:
    case QWebEngineLoadingInfo::LoadFailedStatus: {
        m_started = false;
        QString description = info.errorString();
        if (description.isEmpty())
            description = info.status() == QWebEngineLoadingInfo::LoadStoppedStatus ? u"the load was stopped"_s
                                                                                     : u"unknown error"_s;
        emitEvent(engine_event::Error{u"Player page failed to load: "_s + description});
        return;
    }
    }
}

void WebPlaybackEngine::callPage(const QString &call)
{
    // runJavaScript reports no exceptions, so the call reports its own as its result.
    const QString guarded = u"(function(){try{"_s + call
        + u";return null;}catch(e){return String(e&&e.message!==undefined?e.message:e);}})()"_s;
    QPointer<WebPlaybackEngine> self(this);
    m_page->runJavaScript(guarded, QWebEngineScript::MainWorld, [self](const QVariant &result) {
        if (self && result.typeId() == QMetaType::QString)
            self->emitEvent(engine_event::Error{u"Player script failed: "_s + result.toString()});
    });
}

void WebPlaybackEngine::receivePageMessage(const QJsonValue &body)
{
    if (const auto message = parsePageMessage(body, m_clock.now()))
        handlePageMessage(*message);
}

void WebPlaybackEngine::handlePageMessage(const PageMessage &message)
{
    using namespace page_message;
    std::visit(
        [this](const auto &m) {
            using M = std::decay_t<decltype(m)>;
            if constexpr (std::is_same_v<M, TokenRequest>) {
                answerTokenRequest();
            } else if constexpr (std::is_same_v<M, Ready>) {
                ++m_registration;
                m_playbackModeSet = false;
                setDeviceID(m.deviceID);
                emitEvent(engine_event::Ready{});
            } else if constexpr (std::is_same_v<M, NotReady>) {
                setDeviceID(std::nullopt);
                emitEvent(engine_event::NotReady{});
            } else if constexpr (std::is_same_v<M, Cleared>) {
                emitEvent(engine_event::Cleared{});
            } else if constexpr (std::is_same_v<M, State>) {
                emitEvent(engine_event::State{m.state});
            } else if constexpr (std::is_same_v<M, Remote>) {
                emitEvent(engine_event::Remote{m.action});
            } else if constexpr (std::is_same_v<M, Error>) {
                if (m.message.startsWith(authenticationErrorKind))
                    refreshTokenAfterAuthenticationError();
                emitEvent(engine_event::Error{m.message});
            }
        },
        message);
}

void WebPlaybackEngine::setDeviceID(std::optional<QString> id)
{
    if (m_deviceID == id)
        return;
    m_deviceID = std::move(id);
    Q_EMIT deviceIDChanged();
}

QCoro::Task<> WebPlaybackEngine::answerTokenRequest()
{
    QPointer<WebPlaybackEngine> self(this);
    QString token;
    std::exception_ptr failure;
    try {
        token = co_await m_services.accessToken(false);
    } catch (...) {
        failure = std::current_exception();
    }
    if (!self)
        co_return;
    if (failure)
        emitEvent(engine_event::Error{failureText(failure)});
    else
        callPage(u"vqToken("_s + jsStringLiteral(token) + u')');
}

QCoro::Task<> WebPlaybackEngine::refreshTokenAfterAuthenticationError()
{
    try {
        co_await m_services.accessToken(true);
    } catch (...) {
        // The page asks again with its next token request; that answer reports any failure.
    }
}

void WebPlaybackEngine::pause()
{
    callPage(u"vqPause()"_s);
}

void WebPlaybackEngine::resume()
{
    callPage(u"vqResume()"_s);
}

void WebPlaybackEngine::seek(qint64 positionMs)
{
    callPage(u"vqSeek("_s + QString::number(std::max<qint64>(positionMs, 0)) + u')');
}

QCoro::Task<> WebPlaybackEngine::play(QStringList uris, qint64 startIndex, qint64 positionMs)
{
    if (!m_deviceID)
        throw EngineError::notReady();
    const QString device = *m_deviceID;
    const quint64 registration = m_registration;
    callPage(u"vqActivate()"_s);

    const QJsonObject body{
        {u"uris"_s, QJsonArray::fromStringList(uris)},
        {u"offset"_s, QJsonObject{{u"position"_s, startIndex}}},
        {u"position_ms"_s, positionMs},
    };
    QPointer<WebPlaybackEngine> self(this);
    co_await sendPlay(device, body);
    if (!self)
        co_return;
    if (!m_playbackModeSet)
        co_await switchOffShuffleAndRepeat(device, registration);
}

QCoro::Task<> WebPlaybackEngine::sendPlay(QString device, QJsonObject body)
{
    QMap<QString, QString> query;
    query.insert(u"device_id"_s, device);
    // Right after registration the service may not know the device yet and answers 404;
    // one more try a second later is usually enough.
    const RequestFunction request = m_services.request;
    const NotFoundTest isNotFound = m_services.isNotFound;
    Clock &clock = m_clock;
    QPointer<WebPlaybackEngine> self(this);
    bool notFound = false;
    try {
        co_await request("PUT", u"me/player/play"_s, query, body);
    } catch (...) {
        if (!isNotFound || !isNotFound(std::current_exception()))
            throw;
        notFound = true;
    }
    if (!notFound)
        co_return;
    co_await clock.sleep(1s);
    if (!self)
        co_return;
    co_await request("PUT", u"me/player/play"_s, query, body);
}

QCoro::Task<> WebPlaybackEngine::switchOffShuffleAndRepeat(QString device, quint64 registration)
{
    const RequestFunction request = m_services.request;
    QPointer<WebPlaybackEngine> self(this);
    try {
        QMap<QString, QString> shuffle;
        shuffle.insert(u"state"_s, u"false"_s);
        shuffle.insert(u"device_id"_s, device);
        co_await request("PUT", u"me/player/shuffle"_s, shuffle, std::nullopt);
        QMap<QString, QString> repeat;
        repeat.insert(u"state"_s, u"off"_s);
        repeat.insert(u"device_id"_s, device);
        co_await request("PUT", u"me/player/repeat"_s, repeat, std::nullopt);
    } catch (...) {
        // Tried again at the next start.
        co_return;
    }
    if (self && self->m_registration == registration)
        self->m_playbackModeSet = true;
}

} // namespace velloran
