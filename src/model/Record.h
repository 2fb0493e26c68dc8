#pragma once

#include "spotify/CatalogueTypes.h"

#include <QJsonObject>
#include <QList>
#include <QMetaType>
#include <QString>
#include <QUrl>

#include <optional>
#include <utility>

namespace velloran {

// The nominal length of one side: it decides how many sides a record gets.
inline constexpr qint64 sideLengthMs = 1'800'000;

// No real track comes near this (about 31 years); longer values are malformed input, and
// bounding them keeps every sum of durations far from overflow.
inline constexpr qint64 maxTrackDurationMs = 1'000'000'000'000;

struct Track {
    QString uri;
    QString title;
    QString artist;
    qint64 durationMs = 0;

    QJsonObject toJson() const;
    static Track fromJson(const QJsonValue &value, const QString &path = {});
    bool operator==(const Track &) const = default;
};

// A position inside a side, as a track of that side and an offset into the track.
struct SidePosition {
    qint64 track = 0;
    qint64 offsetMs = 0;
    bool operator==(const SidePosition &) const = default;
};

struct Side {
    qint64 index = 0;
    QList<Track> tracks;
    QList<qint64> startOffsets;
    qint64 durationMs = 0;

    // "A" for side 0, "B" for side 1, ... wrapping after "Z".
    QString letter() const;
    static QString letter(qint64 index);

    // The track and offset at a position from the start of the side, clamped into the side.
    SidePosition locate(qint64 ms) const;

    bool operator==(const Side &) const = default;
};

// Half-open ranges into a track list, one per side.
using TrackRange = std::pair<qsizetype, qsizetype>;
QList<TrackRange> sideRanges(const QList<qint64> &durations, qint64 sideLength = sideLengthMs);

// Cuts a track list into sides by the splitting rule.
QList<Side> makeSides(const QList<Track> &tracks);

// "0:00", "42:07", "1:02:05".
QString durationText(qint64 ms);

struct Record {
    enum class Kind { album, playlist };

    QString id;
    QString uri;
    Kind kind = Kind::album;
    QString title;
    QString artist;
    std::optional<QUrl> artworkURL;
    std::optional<QString> year;
    QList<Side> sides;

    // Builds a record from its accepted tracks, cutting the sides.
    static Record make(QString id, QString uri, Kind kind, QString title, QString artist,
                       std::optional<QUrl> artworkURL, std::optional<QString> year, const QList<Track> &tracks);

    // From catalogue data: unusable tracks are skipped, never an error.
    static Record fromAlbum(const SpotifyAlbum &album, const QList<SpotifyTrack> &tracks);
    static Record fromPlaylist(const SpotifyPlaylist &playlist, const QList<SpotifyTrack> &tracks);

    // Every track, side after side.
    QList<Track> tracks() const;

    QJsonObject toJson() const;
    // Rebuilds the sides from the stored track list; throws DecodeError on malformed input.
    static Record fromJson(const QJsonValue &value, const QString &path = {});

    bool operator==(const Record &) const = default;
};

QString kindName(Record::Kind kind);

// A cover's URL in the one form that writing and reading keep: parsed strictly, then read
// back from its fully encoded text; nothing when that fails or does not settle.
std::optional<QUrl> stableUrl(const QString &text);

// The cover to show among a catalogue item's images: the widest, a missing width counting
// as 0, the first of equal widths; none when there are no images or its URL does not parse.
std::optional<QUrl> artworkChoice(const std::optional<QList<SpotifyImage>> &images);

} // namespace velloran

Q_DECLARE_METATYPE(velloran::Record)
Q_DECLARE_METATYPE(std::optional<velloran::Record>)
