#include "scenes/turntable/ReadoutText.h"

#include "playback/Turntable.h"

#include <algorithm>

namespace velloran {

using namespace Qt::StringLiterals;

QString readoutTime(qint64 ms)
{
    const qint64 clamped = std::max<qint64>(ms, 0);
    return u"%1:%2"_s.arg(clamped / 60000, 2, 10, QLatin1Char('0')).arg((clamped / 1000) % 60, 2, 10, QLatin1Char('0'));
}

QList<ReadoutRun> readoutRuns(const Turntable &turntable, Instant at)
{
    using Status = PlaybackController::Status;
    const std::optional<Record> &record = turntable.record();
    if (!record)
        return {};
    if (turntable.place() != Turntable::Place::platter)
        return {{record->title, true}, {u" · in its sleeve"_s, false}};

    const PlaybackController &controller = turntable.controller();
    const Side *side = controller.currentSide();
    const Track *track = controller.currentTrack();
    if (turntable.isOnCurrentSide() && side && track) {
        QString suffix;
        switch (controller.status()) {
        case Status::starting:
        case Status::playing:
            break;
        case Status::paused:
            suffix = turntable.motor() ? u" · needle up"_s : u" · stopped"_s;
            break;
        case Status::idle:
            suffix = u" · stopped"_s;
            break;
        case Status::sideEnded:
            suffix = u" · end of side"_s;
            break;
        }
        return {{u"Side "_s + side->letter() + u" · "_s, false},
                {QString::number(controller.trackIndex() + 1) + u". "_s + track->title, true},
                {u" · "_s + readoutTime(controller.trackPosition(at)) + suffix, false}};
    }

    const qint64 face = turntable.faceUp();
    const QString letter = face >= 0 && face < record->sides.size() ? record->sides[face].letter() : u"A"_s;
    return {{u"Side "_s + letter + u" · "_s, false}, {record->title, true}};
}

QString plainText(const QList<ReadoutRun> &runs)
{
    QString text;
    for (const ReadoutRun &run : runs)
        text += run.text;
    return text;
}

} // namespace velloran
