#include "scenes/sleeveback/SleeveBackRules.h"

#include "playback/Turntable.h"

namespace velloran::sleeveback {

using namespace Qt::StringLiterals;

Face face(bool showingLibrary, bool hasRecord)
{
    return showingLibrary || !hasRecord ? Face::chooser : Face::record;
}

Escape escape(bool showingLibrary, bool hasRecord)
{
    return showingLibrary && hasRecord ? Escape::showRecord : Escape::close;
}

QString factsLine(const Record &record, bool at45)
{
    QStringList parts{record.kind == Record::Kind::playlist ? u"PLAYLIST"_s : u"LP"_s};
    if (record.year && !record.year->isEmpty())
        parts.append(*record.year);
    parts.append(at45 ? u"45"_s : u"33\u2153"_s);
    return parts.join(u" · "_s);
}

QList<Pill> pills(const Turntable &turntable)
{
    QList<Pill> result;
    const std::optional<Record> &record = turntable.record();
    if (!record)
        return result;
    const bool onPlatter = turntable.place() == Turntable::Place::platter;
    if (onPlatter && turntable.isOnCurrentSide() && turntable.controller().isActive())
        result.append({u"Lift the needle"_s, true, Pill::Action::liftNeedle, 0});
    else
        result.append({u"Put it on"_s, true, Pill::Action::putItOn, 0});
    if (record->sides.size() >= 2) {
        const bool aUp = turntable.faceUp() == 0;
        result.append({u"Flip to side "_s + (aUp ? u"B"_s : u"A"_s), false, Pill::Action::flip, aUp ? 1 : 0});
    }
    if (onPlatter)
        result.append({u"Back in sleeve"_s, false, Pill::Action::backInSleeve, 0});
    return result;
}

std::optional<SideOverNotice> sideOverNotice(const Record &record, std::optional<qint64> sideOver)
{
    if (!sideOver || *sideOver < 0 || *sideOver >= record.sides.size())
        return std::nullopt;
    const qint64 s = *sideOver;
    const QString text = u"Side "_s + Side::letter(s) + u" is over."_s;
    if (s + 1 < record.sides.size())
        return SideOverNotice{text, u"Flip it"_s, s + 1};
    return SideOverNotice{text, u"Play side A"_s, 0};
}

bool isCurrentTrack(const PlaybackController &controller, const QString &recordID, qint64 side, qint64 track)
{
    using Status = PlaybackController::Status;
    const std::optional<Record> &record = controller.record();
    return record && record->id == recordID && controller.sideIndex() == side && controller.trackIndex() == track
        && controller.status() != Status::idle && controller.status() != Status::sideEnded;
}

QString sideHeading(const Side &side)
{
    return u"SIDE "_s + side.letter();
}

} // namespace velloran::sleeveback
