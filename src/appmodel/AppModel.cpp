#include "appmodel/AppModel.h"

#include <QPointer>

namespace velloran {

AppModel::AppModel(Services services, QObject *parent)
    : QObject(parent)
    , m_clock(services.clock)
    , m_settings(services.settings)
    , m_navigation(std::make_unique<Navigation>())
{
    m_history = std::make_unique<PlayHistory>(m_clock);
    m_auth = std::make_unique<SpotifyAuth>(services.spotify, services.network, m_clock, services.tokenStore,
                                           services.opener);
    m_auth->restoreTokens();

    // The client may ask from any coroutine; the authorisation object is asked on its own thread.
    QPointer<SpotifyAuth> auth(m_auth.get());
    m_api = std::make_unique<SpotifyAPI>(
        [auth](bool force) -> QCoro::Task<QString> {
            if (!auth)
                throw UserFacingError(QStringLiteral("The program is shutting down."));
            co_return co_await auth->accessToken(force);
        },
        services.spotify.apiBase, services.network, m_clock);

    m_engine = services.makeEngine(*m_auth, *m_api, m_clock);
    m_controller = std::make_unique<PlaybackController>(*m_engine, m_clock, services.settings);
    m_library = std::make_unique<Library>(*m_api, m_clock);
    m_turntable = std::make_unique<Turntable>(*m_controller, m_clock, services.settings);
    if (services.makeNowPlaying)
        m_nowPlaying = services.makeNowPlaying(*m_controller, m_clock);

    m_seenStatus = m_controller->status();
    connect(m_controller.get(), &PlaybackController::statusChanged, this, &AppModel::noteStatus, Qt::QueuedConnection);
    connect(
        m_controller.get(), &PlaybackController::sideIndexPublished, this, [this](qint64) { m_lastSideStarted.reset(); },
        Qt::QueuedConnection);
}

AppModel::~AppModel()
{
    // The companions and the turntable follow the controller; they go first.
    m_nowPlaying.reset();
    m_turntable.reset();
    m_library.reset();
    m_controller.reset();
    m_engine.reset();
}

void AppModel::noteStatus(PlaybackController::Status status)
{
    // Consecutive repeats are dropped; the values of now, not of the signal, are recorded.
    if (status == m_seenStatus)
        return;
    m_seenStatus = status;
    if (status != PlaybackController::Status::playing)
        return;
    const std::optional<Record> &record = m_controller->record();
    if (!record)
        return;
    const qint64 side = m_controller->sideIndex();
    if (m_lastSideStarted && m_lastSideStarted->record == record->id && m_lastSideStarted->side == side)
        return;
    m_lastSideStarted = SideStarted{record->id, side};
    m_history->record(*record);
}

void AppModel::putOnTurntable(const ShelfEntry &entry, const Record &record, const QRectF &from)
{
    const std::optional<Record> &onDeck = m_turntable->record();
    if (!onDeck || onDeck->id != record.id)
        setFlight(SleeveFlight{QUuid::createUuid(), entry, from});
    setScreen(Screen::turntable);
    m_turntable->load(record, flight().has_value());
}

void AppModel::logOut()
{
    m_controller->pause();
    m_auth->logOut();
}

} // namespace velloran
