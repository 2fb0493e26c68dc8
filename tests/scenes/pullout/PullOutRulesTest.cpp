#include "scenes/pullout/PullOutRules.h"

#include "ScriptedLibrary.h"

#include <gtest/gtest.h>

using namespace velloran;
using namespace velloran::test;
using namespace Qt::StringLiterals;

namespace {

ShelfEntry albumEntry(std::optional<QString> year)
{
    ShelfEntry entry;
    entry.item = LibraryItem::album(u"a1"_s);
    entry.title = u"Harbour Lights"_s;
    entry.artist = u"The Quiet Hours"_s;
    entry.year = std::move(year);
    return entry;
}

ShelfEntry playlistEntry()
{
    ShelfEntry entry;
    entry.item = LibraryItem::playlist(u"p1"_s);
    entry.title = u"Sunday Kitchen"_s;
    entry.artist = u"Mara"_s;
    return entry;
}

// A record of `tracks` tracks of ten minutes, cut into sides of half an hour.
Record recordOf(int tracks)
{
    QList<Track> list;
    for (int i = 0; i < tracks; ++i)
        list.append({u"spotify:track:t%1"_s.arg(i), u"Track"_s, u"Artist"_s, 600'000});
    return Record::make(u"a1"_s, u"spotify:album:a1"_s, Record::Kind::album, u"Harbour Lights"_s, u"Artist"_s,
                        std::nullopt, u"1971"_s, list);
}

} // namespace

TEST(PullOutRules, SceneSizeIsTheSmallestOfWidthHeightAndLimit)
{
    const struct {
        QSizeF space;
        double size;
    } cases[] = {
        {{1600, 500}, 250},  // wide and low: half the height
        {{600, 900}, 252},   // narrow: 0.42 of the width
        {{3000, 2000}, 360}, // large: the limit
        {{0, 0}, 0},
    };
    for (const auto &c : cases)
        EXPECT_DOUBLE_EQ(pullout::sceneSize(c.space), c.size) << c.space.width() << "x" << c.space.height();
}

TEST(PullOutRules, FactsLine)
{
    const Record two = recordOf(6); // 60 minutes: two sides
    ASSERT_EQ(two.sides.size(), 2);
    const Record one = recordOf(1);
    ASSERT_EQ(one.sides.size(), 1);
    const struct {
        ShelfEntry entry;
        std::optional<Record> record;
        QString line;
    } cases[] = {
        {albumEntry(u"1971"_s), two, u"LP \u00B7 1971 \u00B7 6 TRACKS \u00B7 2 SIDES"_s},
        {albumEntry(u"1971"_s), std::nullopt, u"LP \u00B7 1971"_s},
        {albumEntry(std::nullopt), std::nullopt, u"LP"_s},
        {albumEntry(std::nullopt), one, u"LP \u00B7 1 TRACK \u00B7 1 SIDE"_s},
        {playlistEntry(), two, u"PLAYLIST \u00B7 6 TRACKS \u00B7 2 SIDES"_s},
        {playlistEntry(), std::nullopt, u"PLAYLIST"_s},
    };
    for (const auto &c : cases)
        EXPECT_EQ(pullout::factsLine(c.entry, c.record), c.line);
}

TEST(PullOutRules, ArtistLineNamesWhoAPlaylistWasPressedFor)
{
    EXPECT_EQ(pullout::artistLine(playlistEntry()), u"Pressed for Mara"_s);
    EXPECT_EQ(pullout::artistLine(albumEntry(std::nullopt)), u"The Quiet Hours"_s);
}

TEST(PullOutRules, LayoutPlacesSleeveLeftAndDiscSlidingRight)
{
    const pullout::Layout l = pullout::layout({1600, 1000}, {});
    EXPECT_DOUBLE_EQ(l.size, 360);
    EXPECT_DOUBLE_EQ(l.stage.width(), 576);
    EXPECT_DOUBLE_EQ(l.sleeve.center().x(), 800 - 0.28 * 360);
    EXPECT_DOUBLE_EQ(l.discIn.center().x(), 800 - 0.28 * 360);
    EXPECT_DOUBLE_EQ(l.discAt(1).center().x(), 800 + 0.28 * 360);
    EXPECT_DOUBLE_EQ(l.discIn.width(), 0.96 * 360);
    // The column is centred: as much room above the stage as below the buttons.
    const double below = 1000 - (l.buttonsTop + pullout::TextHeights{}.buttons);
    EXPECT_NEAR(l.stage.top(), below, 1e-9);
}

TEST(PullOutRules, DiscReadsEightyDegreesAsTheSlideEnds)
{
    EXPECT_DOUBLE_EQ(pullout::spinAngle(0), 80);
    EXPECT_DOUBLE_EQ(pullout::spinAngle(2), 110);
    EXPECT_DOUBLE_EQ(pullout::slideOutCurve().valueForProgress(1), 1);
    EXPECT_GT(pullout::slideOutCurve().valueForProgress(0.3), 0.5); // out fast, settling gently
    EXPECT_LT(pullout::slideInCurve().valueForProgress(0.3), 0.2);  // back in slowly, then home
}
