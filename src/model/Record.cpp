#include "model/Record.h"

#include <QJsonArray>

#include <cmath>

using namespace Qt::StringLiterals;

namespace velloran {

QJsonObject Track::toJson() const
{
    return {{"uri"_L1, uri}, {"title"_L1, title}, {"artist"_L1, artist}, {"durationMs"_L1, durationMs}};
}

Track Track::fromJson(const QJsonValue &value, const QString &path)
{
    const JsonReader r(value, path);
    Track track{r.string("uri"_L1), r.string("title"_L1), r.string("artist"_L1), r.integer("durationMs"_L1)};
    if (track.durationMs < 0 || track.durationMs > maxTrackDurationMs)
        JsonReader::fail(r.childPath("durationMs"_L1), u"the duration is out of range"_s);
    return track;
}

QString Side::letter(qint64 index)
{
    const qint64 wrapped = ((index % 26) + 26) % 26;
    return QString(QChar(u'A' + static_cast<char16_t>(wrapped)));
}

QString Side::letter() const
{
    return letter(index);
}

SidePosition Side::locate(qint64 ms) const
{
    if (tracks.isEmpty())
        return {};
    const qint64 p = durationMs - 1 > 0 ? std::min(std::max(ms, qint64{0}), durationMs - 1) : 0;
    qint64 track = 0;
    for (qsizetype i = 0; i < startOffsets.size(); ++i) {
        if (startOffsets[i] <= p)
            track = i;
        else
            break;
    }
    return {track, p - startOffsets.value(track)};
}

QList<TrackRange> sideRanges(const QList<qint64> &durations, qint64 sideLength)
{
    const qsizetype n = durations.size();
    if (n == 0)
        return {};
    if (n == 1)
        return {{0, 1}};

    qint64 total = 0;
    QList<qint64> ends;
    ends.reserve(n);
    for (qint64 d : durations) {
        total += d;
        ends.append(total);
    }

    const double sides = std::ceil(static_cast<double>(total) / static_cast<double>(std::max(sideLength, qint64{1})));
    qint64 s = sides >= 9.0e18 ? std::numeric_limits<qint64>::max() - 1 : static_cast<qint64>(sides);
    qsizetype k = 2;
    if (s >= 2) {
        if (s % 2 != 0)
            ++s;
        k = static_cast<qsizetype>(std::min<qint64>(n, s));
    }

    QList<TrackRange> ranges;
    ranges.reserve(k);
    qsizetype prev = 0;
    for (qsizetype j = 1; j < k; ++j) {
        const double target = static_cast<double>(total) * static_cast<double>(j) / static_cast<double>(k);
        qsizetype best = prev;
        double bestDistance = std::abs(static_cast<double>(ends[prev]) - target);
        for (qsizetype i = prev + 1; i <= n - k + j - 1; ++i) {
            const double distance = std::abs(static_cast<double>(ends[i]) - target);
            if (distance < bestDistance) {
                best = i;
                bestDistance = distance;
            }
        }
        ranges.append({prev, best + 1});
        prev = best + 1;
    }
    ranges.append({prev, n});
    return ranges;
}

QList<Side> makeSides(const QList<Track> &tracks)
{
    QList<qint64> durations;
    durations.reserve(tracks.size());
    for (const Track &t : tracks)
        durations.append(t.durationMs);

    QList<Side> sides;
    const QList<TrackRange> ranges = sideRanges(durations);
    sides.reserve(ranges.size());
    for (qsizetype i = 0; i < ranges.size(); ++i) {
        Side side;
        side.index = i;
        side.tracks = tracks.mid(ranges[i].first, ranges[i].second - ranges[i].first);
        side.startOffsets.reserve(side.tracks.size());
        for (const Track &t : side.tracks) {
            side.startOffsets.append(side.durationMs);
            side.durationMs += t.durationMs;
        }
        sides.append(std::move(side));
    }
    return sides;
}

QString durationText(qint64 ms)
{
    if (ms < 1)
        return u"0:00"_s;
    if (ms >= 3'600'000) {
        return QString::asprintf("%lld:%02lld:%02lld", static_cast<long long>(ms / 3'600'000),
                                 static_cast<long long>((ms / 60'000) % 60), static_cast<long long>((ms / 1000) % 60));
    }
    const qint64 s = ms / 1000;
    return QString::asprintf("%lld:%02lld", static_cast<long long>(s / 60), static_cast<long long>(s % 60));
}

std::optional<QUrl> stableUrl(const QString &text)
{
    const QUrl parsed(text, QUrl::StrictMode);
    if (!parsed.isValid() || parsed.isEmpty())
        return std::nullopt;
    const QUrl url(parsed.toString(QUrl::FullyEncoded), QUrl::StrictMode);
    if (!url.isValid() || url.isEmpty() || QUrl(url.toString(QUrl::FullyEncoded), QUrl::StrictMode) != url)
        return std::nullopt;
    return url;
}

QString kindName(Record::Kind kind)
{
    return kind == Record::Kind::album ? u"album"_s : u"playlist"_s;
}

Record Record::make(QString id, QString uri, Kind kind, QString title, QString artist, std::optional<QUrl> artworkURL,
                    std::optional<QString> year, const QList<Track> &tracks)
{
    Record record;
    record.id = std::move(id);
    record.uri = std::move(uri);
    record.kind = kind;
    record.title = std::move(title);
    record.artist = std::move(artist);
    record.artworkURL = std::move(artworkURL);
    record.year = std::move(year);
    record.sides = makeSides(tracks);
    return record;
}

QList<Track> Record::tracks() const
{
    QList<Track> all;
    for (const Side &side : sides)
        all.append(side.tracks);
    return all;
}

QJsonObject Record::toJson() const
{
    QJsonArray coded;
    for (const Side &side : sides)
        for (const Track &t : side.tracks)
            coded.append(t.toJson());
    QJsonObject object{{"id"_L1, id},
                       {"uri"_L1, uri},
                       {"kind"_L1, QJsonObject{{kindName(kind), QJsonObject{}}}},
                       {"title"_L1, title},
                       {"artist"_L1, artist},
                       {"tracks"_L1, coded}};
    if (artworkURL)
        object.insert("artworkURL"_L1, artworkURL->toString(QUrl::FullyEncoded));
    if (year)
        object.insert("year"_L1, *year);
    return object;
}

Record Record::fromJson(const QJsonValue &value, const QString &path)
{
    const JsonReader r(value, path);
    const QString id = r.string("id"_L1);
    const QString uri = r.string("uri"_L1);

    if (!r.object().contains("kind"_L1))
        JsonReader::fail(r.childPath("kind"_L1), u"the field is missing"_s);
    const QJsonValue kindValue = r.value("kind"_L1);
    if (!kindValue.isObject())
        JsonReader::fail(r.childPath("kind"_L1), u"expected an object"_s);
    const QJsonObject kindObject = kindValue.toObject();
    const QString kindKey = kindObject.size() == 1 ? kindObject.begin().key() : QString();
    if (kindKey != "album"_L1 && kindKey != "playlist"_L1)
        throw DecodeError(u"Invalid number of keys found, expected one."_s);
    if (!kindObject.begin().value().isObject())
        JsonReader::fail(r.childPath("kind"_L1) + u'.' + kindKey, u"expected an object"_s);

    const QString title = r.string("title"_L1);
    const QString artist = r.string("artist"_L1);

    std::optional<QUrl> artworkURL;
    if (const auto text = r.optionalString("artworkURL"_L1)) {
        artworkURL = stableUrl(*text);
        if (!artworkURL)
            JsonReader::fail(r.childPath("artworkURL"_L1), u"expected a URL"_s);
    }
    const std::optional<QString> year = r.optionalString("year"_L1);
    const QList<Track> tracks = r.list<Track>("tracks"_L1, &Track::fromJson);

    return make(id, uri, kindKey == "album"_L1 ? Kind::album : Kind::playlist, title, artist, artworkURL, year, tracks);
}

} // namespace velloran
