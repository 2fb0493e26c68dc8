#include "nowplaying/MprisAdaptors.h"

#include "nowplaying/NowPlaying.h"

namespace velloran {

MprisRootAdaptor::MprisRootAdaptor(NowPlaying *owner)
    : QDBusAbstractAdaptor(owner), m_owner(owner)
{
}

void MprisRootAdaptor::Raise()
{
    m_owner->raise();
}

void MprisRootAdaptor::Quit()
{
    m_owner->quit();
}

MprisPlayerAdaptor::MprisPlayerAdaptor(NowPlaying *owner)
    : QDBusAbstractAdaptor(owner), m_owner(owner)
{
    // Properties of the player change all together in NowPlaying's PropertiesChanged.
    setAutoRelaySignals(false);
}

QString MprisPlayerAdaptor::playbackStatus() const { return m_owner->playbackStatus(); }
QVariantMap MprisPlayerAdaptor::metadata() const { return m_owner->metadata(); }
qlonglong MprisPlayerAdaptor::position() const { return m_owner->positionMicroseconds(); }
double MprisPlayerAdaptor::rate() const { return m_owner->rate(); }
void MprisPlayerAdaptor::setRate(double rate) { m_owner->setRate(rate); }

void MprisPlayerAdaptor::Next() { m_owner->next(); }
void MprisPlayerAdaptor::Previous() { m_owner->previous(); }
void MprisPlayerAdaptor::Pause() { m_owner->pause(); }
void MprisPlayerAdaptor::PlayPause() { m_owner->playPause(); }
void MprisPlayerAdaptor::Stop() { m_owner->stop(); }
void MprisPlayerAdaptor::Play() { m_owner->play(); }
void MprisPlayerAdaptor::Seek(qlonglong offset) { m_owner->seekBy(offset); }
void MprisPlayerAdaptor::SetPosition(const QDBusObjectPath &trackId, qlonglong position)
{
    m_owner->setPosition(trackId, position);
}

void MprisPlayerAdaptor::OpenUri(const QString &uri)
{
    // Records come from the library only; the player offers no URI schemes to open.
    Q_UNUSED(uri)
}

} // namespace velloran
