#include "scenes/crate/CardPose.h"
#include "scenes/crate/CrateGeometry.h"
#include "scenes/crate/CrateItems.h"
#include "scenes/crate/ScrollGathering.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using namespace velloran;
using namespace velloran::crate;

namespace {

ShelfEntry album(const QString &title, const QString &artist, std::optional<QString> year = std::nullopt)
{
    ShelfEntry entry;
    entry.item = LibraryItem::album(title);
    entry.title = title;
    entry.artist = artist;
    entry.year = std::move(year);
    return entry;
}

ShelfEntry playlist(const QString &title, const QString &owner = u"ann"_s)
{
    ShelfEntry entry;
    entry.item = LibraryItem::playlist(title);
    entry.title = title;
    entry.artist = owner;
    return entry;
}

// "A|Abbey|Help|B|..." : dividers by their title, records by theirs.
QString layout(const QList<CrateItem> &items)
{
    QStringList parts;
    for (const CrateItem &item : items)
        parts.append(item.isDivider() ? u"["_s + item.section + u"]"_s : item.entry.title);
    return parts.join(u' ');
}

// [A] a1 a2 [B] b1 [C] c1 c2 c3
QList<CrateItem> sample()
{
    return crateItems({album(u"c1"_s, u"Cole"_s), album(u"a1"_s, u"Ames"_s), album(u"b1"_s, u"Bell"_s),
                       album(u"c2"_s, u"Cole"_s), album(u"a2"_s, u"Ames"_s), album(u"c3"_s, u"Cole"_s)},
                      ShelfKind::all);
}

} // namespace

TEST(CrateSections, FiledByTheArtistsFirstLetter)
{
    const struct {
        ShelfEntry entry;
        QString section;
    } cases[] = {
        {album(u"x"_s, u"The Beatles"_s), u"B"_s},
        {album(u"x"_s, u"the beatles"_s), u"T"_s},      // only "The " with a capital T is dropped
        {album(u"x"_s, u"Theatre of Tides"_s), u"T"_s}, // "The" without its space stays
        {album(u"x"_s, u"The "_s), u"#"_s},             // nothing left after "The "
        {album(u"x"_s, u"ämma"_s), u"Ä"_s},
        {album(u"x"_s, u"2 Many Pianos"_s), u"#"_s},
        {album(u"x"_s, u""_s), u"#"_s},
        {album(u"x"_s, u"  spaced"_s), u"#"_s},
        {album(u"x"_s, u"ß-punk"_s), u"S"_s},
        {album(u"x"_s, u"Ødegaard"_s), u"Ø"_s},
        {playlist(u"x"_s, u"Aaron"_s), u"Playlists"_s},
    };
    for (const auto &c : cases)
        EXPECT_EQ(sectionOf(c.entry), c.section) << c.entry.artist.toStdString();
}

TEST(CrateItems, DividersBeforeEachSectionPlaylistsLast)
{
    const QList<CrateItem> items = crateItems(
        {
            playlist(u"Aaa mix"_s),
            album(u"Rubber"_s, u"The Beatles"_s, u"1965"_s),
            album(u"Zulu"_s, u"9 Lives"_s),
            album(u"Help"_s, u"The Beatles"_s, u"1965"_s),
            album(u"Abbey"_s, u"The Beatles"_s, u"1969"_s),
            album(u"Ahead"_s, u"Bach"_s, std::nullopt), // no year sorts before any year
            album(u"Yes"_s, u"Arcade"_s),
            playlist(u"Zz mix"_s),
            album(u"Blank"_s, u""_s),
        },
        ShelfKind::all);
    EXPECT_EQ(layout(items), u"[#] Blank Zulu [A] Yes [B] Ahead Help Rubber Abbey [Playlists] Aaa mix Zz mix"_s);
    EXPECT_EQ(items[3].section, u"A"_s);
    EXPECT_EQ(items[0].identity(), u"divider-#"_s);
    EXPECT_EQ(items[4].identity(), items[4].entry.id());

    EXPECT_EQ(layout(crateItems({playlist(u"p"_s), album(u"a"_s, u"Ames"_s)}, ShelfKind::playlist)),
              u"[Playlists] p"_s);
    EXPECT_EQ(layout(crateItems({playlist(u"p"_s), album(u"a"_s, u"Ames"_s)}, ShelfKind::album)), u"[A] a"_s);
    EXPECT_TRUE(crateItems({}, ShelfKind::all).isEmpty());
}

TEST(CrateCounter, PositionAmongTheRecordsOfTheSection)
{
    const QList<CrateItem> items = sample(); // [A] a1 a2 [B] b1 [C] c1 c2 c3
    const struct {
        qsizetype current;
        std::optional<QString> text;
    } cases[] = {
        {1, u"01 OF 02"_s}, {2, u"02 OF 02"_s}, {4, u"01 OF 01"_s}, {8, u"03 OF 03"_s},
        {0, std::nullopt},  {3, std::nullopt},  {-1, std::nullopt}, {9, std::nullopt},
    };
    for (const auto &c : cases)
        EXPECT_EQ(counterText(items, c.current), c.text) << c.current;

    // More than 99 records in a section still count.
    QList<ShelfEntry> many;
    for (int i = 0; i < 120; ++i)
        many.append(album(u"t%1"_s.arg(i, 3, 10, QLatin1Char('0')), u"Ames"_s));
    EXPECT_EQ(counterText(crateItems(many, ShelfKind::all), 120), u"120 OF 120"_s);
}

TEST(CrateGoing, DividersAreSkippedInTheDirectionOfTravel)
{
    const QList<CrateItem> items = sample(); // 0[A] 1a1 2a2 3[B] 4b1 5[C] 6c1 7c2 8c3
    const struct {
        qsizetype current;
        qsizetype to;
        qsizetype result;
    } cases[] = {
        {1, 2, 2},   // an ordinary step
        {2, 3, 4},   // forward onto a divider lands on the record after it
        {4, 3, 2},   // back onto a divider lands on the record before it
        {1, 0, 1},   // back from the first record stays on it
        {1, -7, 1},  // far before the start, too
        {8, 9, 8},   // forward from the last record stays on it
        {2, 40, 8},  // far beyond the end goes to the last record
        {6, 5, 4},   // back over [C]
        {4, 5, 6},   // forward over [C]
        {1, 5, 6},   // a click on a divider far ahead
        {8, 3, 2},   // a click on a divider far back
        {0, 0, 1},   // from a divider onto itself: forward
    };
    for (const auto &c : cases)
        EXPECT_EQ(goTo(items, c.current, c.to), c.result) << c.current << " -> " << c.to;

    EXPECT_EQ(goTo({}, 0, 1), 0);
    EXPECT_EQ(goTo({}, 0, -1), 0);
}

TEST(CrateGoing, AppearingAndDragging)
{
    EXPECT_EQ(currentOnAppearing(0, 5), 0);
    EXPECT_EQ(currentOnAppearing(1, 0), 0);
    EXPECT_EQ(currentOnAppearing(9, 0), 1);
    EXPECT_EQ(currentOnAppearing(9, 4), 4);
    EXPECT_EQ(currentOnAppearing(9, 30), 8);

    const struct {
        double dx, dy;
        std::optional<int> step;
    } drags[] = {
        {0, 19.9, std::nullopt}, {12, 12, std::nullopt}, // shorter than 20 points: a click
        {0, 20, 1},   {0, -25, -1}, // up and down
        {-30, 5, 1},  {30, -5, -1}, // a leftward drag goes forwards
        {15, 16, 1},  {-16, 15, 1}, // the larger movement decides
    };
    for (const auto &d : drags)
        EXPECT_EQ(dragStep(d.dx, d.dy), d.step) << d.dx << ", " << d.dy;
}

TEST(CardPose, ThePlacesOfTheCards)
{
    const struct {
        qsizetype offset;
        CardPose pose;
    } cases[] = {
        {0, {4, 1, -46, 1, 60}},
        {1, {6.4, 0.975, -15, 1, 49}},
        {8, {9.2, 0.8, -50, 1, 42}},
        {11, {9.2, 0.725, -60, 1, 39}},
        {12, {9.2, 0.7, -60, 1, 38}},
        {13, {9.2, 0.675, -60, 0, 37}},
        {-1, {-78, 1.012, 64, 1, 99}},
        {-3, {-74, 1.036, 72, 1, 97}},
        {-4, {-72, 1.048, 76, 0, 96}},
        {-7, {-68, 1.084, 76, 0, 93}},
    };
    for (const auto &c : cases) {
        const CardPose pose = CardPose::at(c.offset);
        EXPECT_NEAR(pose.tilt, c.pose.tilt, 1e-9) << c.offset;
        EXPECT_NEAR(pose.scale, c.pose.scale, 1e-9) << c.offset;
        EXPECT_NEAR(pose.dy, c.pose.dy, 1e-9) << c.offset;
        EXPECT_EQ(pose.opacity, c.pose.opacity) << c.offset;
        EXPECT_EQ(pose.z, c.pose.z) << c.offset;
    }
    EXPECT_FALSE(isBuilt(-6));
    EXPECT_TRUE(isBuilt(-5));
    EXPECT_TRUE(isBuilt(12));
    EXPECT_FALSE(isBuilt(13));

    const CardPose half = CardPose::mix(CardPose::at(1), CardPose::at(0), 0.5);
    EXPECT_NEAR(half.dy, -30.5, 1e-9);
    EXPECT_EQ(half.z, 60);
    EXPECT_EQ(CardPose::mix(CardPose::at(3), CardPose::at(4), 1.1).opacity, 1.0);
}

TEST(ScrollGathering, SmallDeltasGiveAtMostOneStepPerInterval)
{
    ScrollGathering wheel;
    int steps = 0;
    double lastStep = -1;
    // A trackpad swipe: 2 points every 5 ms for a second.
    for (int i = 0; i < 200; ++i) {
        const double now = 10 + i * 0.005;
        if (const auto step = wheel.add(-2, now)) {
            EXPECT_GT(*step, ScrollGathering::threshold);
            if (lastStep >= 0) {
                EXPECT_GT(now - lastStep, ScrollGathering::interval);
            }
            lastStep = now;
            ++steps;
        }
    }
    EXPECT_GE(steps, 10);
    EXPECT_LE(steps, 1 / ScrollGathering::interval + 1);

    // Too little never steps, however long it takes; direction is the negated sum.
    ScrollGathering slow;
    EXPECT_FALSE(slow.add(10, 0));
    EXPECT_FALSE(slow.add(14, 1));
    EXPECT_EQ(slow.add(0.5, 2), -24.5);
    EXPECT_EQ(slow.gathered(), 0);
    // Within the interval a large delta waits, then steps with everything gathered.
    EXPECT_FALSE(slow.add(-100, 2.05));
    EXPECT_EQ(slow.add(-1, 2.08), 101);

    // One notch of a mouse wheel is one step.
    ScrollGathering notch;
    EXPECT_EQ(notch.add(-120 * pointsPerWheelEighth, 0).has_value(), true);
}

// While cards move only the stack area is repainted, so every card must lie inside it at every
// pose on its way from one place to the next, the spring's overshoot included, in a view of any
// shape.
TEST(CrateGeometry, TheStackAreaHoldsEveryCardOnItsWay)
{
    for (const QSizeF view : {QSizeF(1600, 1000), QSizeF(820, 560), QSizeF(700, 900), QSizeF(2400, 1300)}) {
        const crate::CrateGeometry geometry = crate::CrateGeometry::fit(view);
        const QRectF area = geometry.stackArea();
        EXPECT_TRUE(area.contains(geometry.frontBoard())) << view.width();
        for (qsizetype offset = crate::firstBuiltOffset; offset <= crate::lastBuiltOffset; ++offset) {
            for (const qsizetype next : {offset - 1, offset + 1}) {
                for (double t = 0; t <= 1.15; t += 0.05) {
                    const CardPose pose = CardPose::mix(CardPose::at(offset), CardPose::at(next), t);
                    if (pose.opacity <= 0.004)
                        continue;
                    const QRectF card = geometry.cardQuad(pose).boundingRect();
                    EXPECT_TRUE(area.contains(card))
                        << view.width() << "x" << view.height() << " offset " << offset << " to " << next << " at " << t;
                }
            }
        }
    }
}
