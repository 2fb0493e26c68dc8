#pragma once

#include "model/Record.h"
#include "playback/PlaybackController.h"

#include <QList>
#include <QString>

#include <optional>

namespace velloran {

class Turntable;

namespace sleeveback {

enum class Face { record, chooser };
// The chooser shows whenever there is no record on the deck, whatever was asked for.
Face face(bool showingLibrary, bool hasRecord);

// What Escape does: back from the chooser to the record, or close the drawer.
enum class Escape { showRecord, close };
Escape escape(bool showingLibrary, bool hasRecord);

// "LP · 1977 · 33⅓", "PLAYLIST · 45".
QString factsLine(const Record &record, bool at45);

// The pill buttons that work the deck from the sleeve's back.
struct Pill {
    enum class Action { liftNeedle, putItOn, flip, backInSleeve };

    QString title;
    bool primary = false;
    Action action = Action::putItOn;
    // The side a flip plays.
    qint64 side = 0;

    bool operator==(const Pill &) const = default;
};
QList<Pill> pills(const Turntable &turntable);

// The notice that a side has played out, with the way on.
struct SideOverNotice {
    QString text;
    QString button;
    qint64 side = 0;

    bool operator==(const SideOverNotice &) const = default;
};
std::optional<SideOverNotice> sideOverNotice(const Record &record, std::optional<qint64> sideOver);

// Whether a track row is the one playing: the same record, side and track, while starting,
// playing or paused.
bool isCurrentTrack(const PlaybackController &controller, const QString &recordID, qint64 side, qint64 track);

// "SIDE A" and its length.
QString sideHeading(const Side &side);

} // namespace sleeveback
} // namespace velloran
