#include "model/Record.h"

#include <QJsonDocument>

#include <gtest/gtest.h>

using namespace velloran;
using namespace Qt::StringLiterals;

namespace {

constexpr qint64 minute = 60'000;

QList<Track> tracksOf(const QList<qint64> &durations)
{
    QList<Track> tracks;
    for (qsizetype i = 0; i < durations.size(); ++i)
        tracks.append({u"spotify:track:t%1"_s.arg(i), u"Track %1"_s.arg(i), u"Artist"_s, durations[i]});
    return tracks;
}

Record recordOf(const QList<qint64> &durations)
{
    return Record::make(u"r1"_s, u"spotify:album:r1"_s, Record::Kind::album, u"Title"_s, u"Artist"_s, std::nullopt,
                        std::nullopt, tracksOf(durations));
}

QList<qsizetype> sideSizes(const QList<qint64> &durations)
{
    QList<qsizetype> sizes;
    for (const TrackRange &range : sideRanges(durations))
        sizes.append(range.second - range.first);
    return sizes;
}

struct SplitCase {
    const char *name;
    QList<qint64> durations;
    QList<qsizetype> sizes;
};

} // namespace

TEST(SideRanges, SplitsByTheRule)
{
    const QList<SplitCase> cases = {
        {"no tracks", {}, {}},
        {"one track of three hours", {180 * minute}, {1}},
        {"two tracks of ten minutes", {4 * minute, 6 * minute}, {1, 1}},
        {"exactly sixty minutes gives two sides", {15 * minute, 15 * minute, 15 * minute, 15 * minute}, {2, 2}},
        {"one more millisecond gives four", {15 * minute, 15 * minute, 15 * minute, 15 * minute + 1}, {1, 1, 1, 1}},
        {"five tracks of 150 minutes", {30 * minute, 30 * minute, 30 * minute, 30 * minute, 30 * minute},
         {1, 1, 1, 1, 1}},
        {"even boundary", {10 * minute, 10 * minute, 10 * minute, 10 * minute}, {2, 2}},
        {"nearest boundary", {10 * minute, 20 * minute, 10 * minute, 20 * minute}, {2, 2}},
        {"tie goes to the earlier cut", {10 * minute, 10 * minute, 10 * minute}, {1, 2}},
        {"three tracks of seventy minutes", {20 * minute, 30 * minute, 20 * minute}, {1, 1, 1}},
        {"many short tracks", QList<qint64>(20, 3 * minute), {10, 10}},
    };
    for (const SplitCase &c : cases)
        EXPECT_EQ(sideSizes(c.durations), c.sizes) << c.name;
}

TEST(SideRanges, EveryCutLeavesATrackForTheSidesToCome)
{
    // One huge track at the front must not starve the later sides.
    const QList<qint64> durations = {200 * minute, 1 * minute, 1 * minute, 1 * minute};
    const QList<TrackRange> ranges = sideRanges(durations);
    ASSERT_EQ(ranges.size(), 4);
    for (const TrackRange &range : ranges)
        EXPECT_GT(range.second, range.first);
    EXPECT_EQ(ranges.back().second, 4);
}

TEST(Record, SidesCarryOffsetsIndicesAndLetters)
{
    const Record record = recordOf({4 * minute, 5 * minute, 6 * minute, 20 * minute, 30 * minute});
    ASSERT_EQ(record.sides.size(), 4);
    EXPECT_EQ(record.tracks(), tracksOf({4 * minute, 5 * minute, 6 * minute, 20 * minute, 30 * minute}));
    qsizetype seen = 0;
    for (const Side &side : record.sides) {
        EXPECT_EQ(side.index, record.sides.indexOf(side));
        ASSERT_EQ(side.startOffsets.size(), side.tracks.size());
        qint64 offset = 0;
        for (qsizetype i = 0; i < side.tracks.size(); ++i) {
            EXPECT_EQ(side.startOffsets[i], offset);
            offset += side.tracks[i].durationMs;
        }
        EXPECT_EQ(side.durationMs, offset);
        seen += side.tracks.size();
    }
    EXPECT_EQ(seen, 5);
    EXPECT_EQ(Side::letter(0), u"A"_s);
    EXPECT_EQ(Side::letter(1), u"B"_s);
    EXPECT_EQ(Side::letter(25), u"Z"_s);
    EXPECT_EQ(Side::letter(26), u"A"_s);
}

TEST(Side, LocateClampsIntoTheSide)
{
    const Side side = recordOf({1000, 2000, 3000}).sides.at(0); // tracks of 1 s and 2 s
    ASSERT_EQ(side.tracks.size(), 2);
    struct Case {
        qint64 ms;
        SidePosition expected;
    };
    for (const Case &c : {Case{-50, {0, 0}}, Case{0, {0, 0}}, Case{999, {0, 999}}, Case{1000, {1, 0}},
                          Case{2500, {1, 1500}}, Case{3000, {1, 1999}}, Case{1'000'000, {1, 1999}}})
        EXPECT_EQ(side.locate(c.ms), c.expected) << c.ms;
    EXPECT_EQ(Side{}.locate(500), (SidePosition{0, 0}));
    const Side tiny = recordOf({1}).sides.at(0);
    EXPECT_EQ(tiny.locate(10), (SidePosition{0, 0}));
}

TEST(DurationText, FormatsMinutesAndHours)
{
    const QList<std::pair<qint64, QString>> cases = {
        {-5, u"0:00"_s},          {0, u"0:00"_s},           {999, u"0:00"_s},         {59'999, u"0:59"_s},
        {2'527'000, u"42:07"_s},  {3'599'999, u"59:59"_s},  {3'600'000, u"1:00:00"_s}, {3'725'000, u"1:02:05"_s},
        {4'000'000, u"1:06:40"_s}, {36'000'000, u"10:00:00"_s},
    };
    for (const auto &[ms, text] : cases)
        EXPECT_EQ(durationText(ms), text) << ms;
}

TEST(RecordCoding, RoundTripsAndRebuildsTheSides)
{
    Record record = recordOf({10 * minute, 25 * minute, 20 * minute, 15 * minute});
    record.artworkURL = QUrl(u"https://images.example/cover.jpg"_s);
    record.year = u"1971"_s;
    const QJsonObject coded = record.toJson();
    EXPECT_FALSE(coded.contains("sides"_L1));
    EXPECT_EQ(coded.value("kind"_L1).toObject(), (QJsonObject{{"album"_L1, QJsonObject{}}}));
    EXPECT_EQ(Record::fromJson(coded), record);

    const Record plain = Record::make(u"p"_s, u"spotify:playlist:p"_s, Record::Kind::playlist, u"Mix"_s, u"me"_s,
                                      std::nullopt, std::nullopt, {});
    const QJsonObject plainCoded = plain.toJson();
    EXPECT_FALSE(plainCoded.contains("artworkURL"_L1));
    EXPECT_FALSE(plainCoded.contains("year"_L1));
    EXPECT_EQ(plainCoded.value("tracks"_L1).toArray().size(), 0);
    const Record back = Record::fromJson(plainCoded);
    EXPECT_TRUE(back.sides.isEmpty());
    EXPECT_EQ(back, plain);
}

TEST(RecordCoding, StoredTracksAreNotFilteredAgain)
{
    QJsonObject coded = recordOf({1000, 2000}).toJson();
    coded.insert("tracks"_L1, QJsonArray{Track{u"spotify:episode:e"_s, u""_s, u""_s, 0}.toJson(),
                                         Track{u"local:x"_s, u"x"_s, u""_s, 5}.toJson()});
    EXPECT_EQ(Record::fromJson(coded).tracks().size(), 2);
}

TEST(RecordCoding, RejectsMalformedRecords)
{
    const QJsonObject good = recordOf({1000, 2000}).toJson();
    auto with = [&](const char *key, const QJsonValue &value) {
        QJsonObject copy = good;
        copy.insert(QLatin1StringView(key), value);
        return copy;
    };
    auto without = [&](const char *key) {
        QJsonObject copy = good;
        copy.remove(QLatin1StringView(key));
        return copy;
    };
    const QJsonObject trackWithoutTitle{{"uri"_L1, u"spotify:track:x"_s}, {"artist"_L1, u""_s}, {"durationMs"_L1, 5}};
    const QList<std::pair<const char *, QJsonValue>> cases = {
        {"id missing", without("id")},
        {"uri missing", without("uri")},
        {"kind missing", without("kind")},
        {"tracks missing", without("tracks")},
        {"title of the wrong type", with("title", 5)},
        {"artwork not text", with("artworkURL", QJsonArray{})},
        {"kind as text", with("kind", u"album"_s)},
        {"kind with both keys", with("kind", QJsonObject{{"album"_L1, QJsonObject{}}, {"playlist"_L1, QJsonObject{}}})},
        {"kind empty", with("kind", QJsonObject{})},
        {"kind unknown", with("kind", QJsonObject{{"single"_L1, QJsonObject{}}})},
        {"track without title", with("tracks", QJsonArray{trackWithoutTitle})},
        {"track duration fractional", with("tracks", QJsonArray{QJsonObject{{"uri"_L1, u"u"_s}, {"title"_L1, u""_s},
                                                                             {"artist"_L1, u""_s}, {"durationMs"_L1, 1.5}}})},
        {"track duration huge", with("tracks", QJsonArray{QJsonObject{{"uri"_L1, u"u"_s}, {"title"_L1, u""_s},
                                                                       {"artist"_L1, u""_s}, {"durationMs"_L1, 9.2e18}}})},
        {"track not an object", with("tracks", QJsonArray{7})},
        {"not an object", QJsonArray{}},
    };
    for (const auto &[name, value] : cases)
        EXPECT_THROW(Record::fromJson(value), DecodeError) << name;

    for (const char *kind : {R"({"album":{},"playlist":{}})", "{}", R"({"other":{}})"}) {
        QJsonObject copy = good;
        copy.insert("kind"_L1, QJsonDocument::fromJson(kind).object());
        try {
            Record::fromJson(copy);
            ADD_FAILURE() << kind;
        } catch (const DecodeError &error) {
            EXPECT_EQ(error.message(), u"Invalid number of keys found, expected one."_s) << kind;
        }
    }
}
