#include "scenes/shelf/ShelfLists.h"
#include "scenes/shelf/ShelfRules.h"
#include "scenes/shelf/Spines.h"

#include <gtest/gtest.h>

#include <random>

using namespace velloran;
using namespace velloran::shelf;
using namespace Qt::StringLiterals;

namespace {

ShelfEntry entry(LibraryItem item, const QString &title, std::optional<int> addedDay = std::nullopt, qint64 order = 0)
{
    ShelfEntry e;
    e.item = std::move(item);
    e.title = title;
    e.artist = u"Artist "_s + title;
    if (addedDay)
        e.addedAt = fromReferenceSeconds(*addedDay * 86400.0);
    e.order = order;
    return e;
}

ShelfEntry album(const QString &id, std::optional<int> addedDay = std::nullopt, qint64 order = 0)
{
    return entry(LibraryItem::album(id), u"Album "_s + id, addedDay, order);
}

ShelfEntry playlist(const QString &id, std::optional<int> addedDay = std::nullopt, qint64 order = 0)
{
    return entry(LibraryItem::playlist(id), u"Mix "_s + id, addedDay, order);
}

QStringList ids(const QList<ShelfEntry> &entries)
{
    QStringList list;
    for (const ShelfEntry &e : entries)
        list.append(e.item.id);
    return list;
}

} // namespace

TEST(ShelfRules, FeaturedList)
{
    const QList<ShelfEntry> library{album(u"a"_s, 10, 0), album(u"b"_s, 30, 1), album(u"c"_s, 20, 2),
                                    album(u"d"_s, std::nullopt, 3), playlist(u"p"_s, 40, 4),
                                    playlist(u"q"_s, std::nullopt, 5)};
    const struct {
        const char *name;
        ShelfKind kind;
        QList<LibraryItem> history;
        QStringList featured;
        QString title;
    } cases[] = {
        {"nothing played: newest first, then undated by order", ShelfKind::all, {}, {u"p"_s, u"b"_s, u"c"_s, u"a"_s, u"d"_s, u"q"_s}, u"Just added"_s},
        {"played first, each record once", ShelfKind::all, {LibraryItem::album(u"c"_s), LibraryItem::playlist(u"p"_s)},
         {u"c"_s, u"p"_s, u"b"_s, u"a"_s, u"d"_s, u"q"_s}, u"Spinning lately"_s},
        {"history all filtered out still says lately", ShelfKind::album, {LibraryItem::playlist(u"p"_s)},
         {u"b"_s, u"c"_s, u"a"_s, u"d"_s}, u"Spinning lately"_s},
        {"played items not on the shelves are passed over", ShelfKind::all, {LibraryItem::album(u"gone"_s), LibraryItem::album(u"d"_s)},
         {u"d"_s, u"p"_s, u"b"_s, u"c"_s, u"a"_s, u"q"_s}, u"Spinning lately"_s},
    };
    for (const auto &c : cases) {
        const ShelfLists lists = ShelfLists::build(library, c.kind, ShelfSort::artist, {}, c.history);
        EXPECT_EQ(ids(lists.featured), c.featured) << c.name;
        EXPECT_EQ(lists.ledgeTitle, c.title) << c.name;
    }
}

TEST(ShelfRules, FeaturedListHoldsSevenOfMany)
{
    QList<ShelfEntry> library;
    for (int i = 0; i < 9; ++i)
        library.append(album(QString::number(i), i, i));
    const QList<LibraryItem> history{LibraryItem::album(u"3"_s), LibraryItem::album(u"8"_s)};
    const QList<ShelfEntry> featured = featuredEntries(library, history);
    EXPECT_EQ(ids(featured), (QStringList{u"3"_s, u"8"_s, u"7"_s, u"6"_s, u"5"_s, u"4"_s, u"2"_s}));
    EXPECT_EQ(featuredEntries(library.mid(0, 7), {}).size(), 7);
    EXPECT_TRUE(featuredEntries({}, history).isEmpty());
}

TEST(ShelfRules, CollectionCaption)
{
    const struct {
        QList<ShelfEntry> shown;
        QString caption;
    } cases[] = {
        {{album(u"a"_s)}, u"1 LP"_s},
        {{album(u"a"_s), album(u"b"_s), playlist(u"p"_s), playlist(u"q"_s), playlist(u"r"_s)},
         u"2 LPS \u00B7 3 CUSTOM PRESSINGS"_s},
        {{playlist(u"p"_s), playlist(u"q"_s)}, u"2 CUSTOM PRESSINGS"_s},
        {{album(u"a"_s), album(u"b"_s), playlist(u"p"_s)}, u"2 LPS \u00B7 1 CUSTOM PRESSING"_s},
        {{}, QString()},
    };
    for (const auto &c : cases)
        EXPECT_EQ(collectionCaption(c.shown), c.caption);
}

TEST(ShelfRules, SpineThicknessIsFixedByIdentity)
{
    // Values worked out by hand from the hash, so a change of the rule shows here.
    EXPECT_EQ(spineThickness(u"Bluealbum(\"abc\")"_s), 37);
    EXPECT_EQ(spineThickness(u"Sunday Kitchenplaylist(\"p1\")"_s), 28);
    EXPECT_EQ(spineThickness(u"album(\"x\")"_s), 36);
    const ShelfEntry a = album(u"abc"_s);
    ShelfEntry sameTitleAndItem = a;
    sameTitleAndItem.artist = u"Someone else"_s;
    sameTitleAndItem.order = 99;
    EXPECT_EQ(spineThickness(a), spineThickness(sameTitleAndItem));

    int thinnest = 100, thickest = 0;
    for (int i = 0; i < 2000; ++i) {
        const int t = spineThickness(u"Record %1"_s.arg(i));
        thinnest = std::min(thinnest, t);
        thickest = std::max(thickest, t);
    }
    EXPECT_EQ(thinnest, 26);
    EXPECT_EQ(thickest, 37);
}

TEST(ShelfRules, ShelfRows)
{
    const struct {
        const char *name;
        QList<int> thickness;
        double width;
        QList<ShelfRow> rows;
    } cases[] = {
        {"no entries, no shelves", {}, 1000, {}},
        {"one shelf", {30, 30, 30}, 1000, {{0, 3, 90}}},
        {"filled greedily", {100, 100, 100, 100, 100}, 350, {{0, 3, 300}, {3, 2, 200}}},
        {"exactly full stays on the shelf", {150, 150}, 350, {{0, 2, 300}}},
        {"a very narrow view still fits 200", {100, 100, 30}, 60, {{0, 2, 200}, {2, 1, 30}}},
        {"too wide for any shelf: one of its own", {150, 250, 10}, 250, {{0, 1, 150}, {1, 1, 250}, {2, 1, 10}}},
    };
    for (const auto &c : cases)
        EXPECT_EQ(shelfRows(c.thickness, c.width), c.rows) << c.name;
}

TEST(ShelfRules, LedgeTiltRunsFromLeftToRight)
{
    EXPECT_DOUBLE_EQ(ledgeTilt(26), -1.2);
    EXPECT_DOUBLE_EQ(ledgeTilt(32), 0.0);
    EXPECT_NEAR(ledgeTilt(37), 1.0, 1e-12);
}

TEST(ShelfRules, SpineColours)
{
    const QColor darkInk(29, 29, 29);
    const QColor lightInk(246, 241, 232);
    const struct {
        CodableColour fill;
        QColor ink;
    } inks[] = {
        {{0.6, 0.6, 0.6}, lightInk}, // exactly at the boundary: light
        {{0.61, 0.61, 0.61}, darkInk},
        {{1, 1, 1}, darkInk},
        {{0, 0, 0}, lightInk},
        {{0.2, 1, 0.2}, darkInk}, // green weighs most
        {{0.2, 0.2, 1}, lightInk},
    };
    for (const auto &c : inks)
        EXPECT_EQ(spineInk(c.fill), c.ink) << c.fill.red << "," << c.fill.green << "," << c.fill.blue;

    EXPECT_EQ(spineColours(LibraryItem::Kind::album, std::nullopt),
              (SpineColours{QColor(107, 90, 72), lightInk, std::nullopt}));
    EXPECT_EQ(spineColours(LibraryItem::Kind::playlist, std::nullopt),
              (SpineColours{QColor(239, 232, 218), QColor(36, 50, 74), QColor(201, 154, 74)}));
    const SpineColours mix = spineColours(LibraryItem::Kind::playlist, CodableColour{1, 0, 0});
    EXPECT_EQ(mix.fill, QColor(239, 232, 218));
    EXPECT_EQ(mix.band, QColor(255, 0, 0));
}

TEST(ShelfLayout, SpinesStayOnTheirShelfAndNeverOverlap)
{
    std::mt19937 random(7);
    for (const double viewWidth : {1600.0, 820.0, 300.0, 10.0}) {
        QList<int> thickness;
        for (int i = 0; i < 500; ++i)
            thickness.append(26 + int(random() % 12));
        const WallLayout layout = WallLayout::make(viewWidth, 7, thickness);
        const double capacity = rowCapacity(WallLayout::contentWidth(viewWidth));
        qsizetype next = 0;
        for (qsizetype r = 0; r < layout.rows.size(); ++r) {
            const ShelfRow &row = layout.rows.at(r);
            EXPECT_EQ(row.first, next);
            next += row.count;
            EXPECT_LE(row.width, capacity);
            for (qsizetype i = row.first; i < row.first + row.count; ++i) {
                const QRectF spine = layout.spineRect(r, i);
                EXPECT_EQ(layout.rowOf(i), r);
                EXPECT_EQ(layout.spineAt(spine.center()), i);
                if (i + 1 < row.first + row.count) {
                    EXPECT_LE(spine.right(), layout.spineRect(r, i + 1).left());
                }
            }
        }
        EXPECT_EQ(next, thickness.size());
        ASSERT_TRUE(layout.bookEnd);
        EXPECT_EQ(layout.rowsBetween(layout.rowTop(2) + 1, layout.rowTop(2) + 2), (std::pair<qsizetype, qsizetype>(2, 3)));
    }
}

TEST(ShelfLayout, EmptyLibraryShowsHeadersButNoShelves)
{
    const WallLayout layout = WallLayout::make(1600, 0, {});
    EXPECT_TRUE(layout.rows.isEmpty());
    EXPECT_TRUE(layout.covers.isEmpty());
    EXPECT_FALSE(layout.bookEnd);
    EXPECT_GT(layout.collectionHeader.top(), layout.ledgeHeader.bottom());
    EXPECT_EQ(layout.rowsBetween(0, 5000), (std::pair<qsizetype, qsizetype>(0, 0)));
    EXPECT_FALSE(layout.spineAt({100, layout.shelvesTop + 100}));
}

TEST(Spines, AwkwardTextStaysWithinItsSpine)
{
    const QString longTitle = QString(u"Long "_s).repeated(100);
    const QString rightToLeft = u"\u05E9\u05D9\u05E8\u05D9\u05DD \u05E9\u05DC \u05DC\u05D9\u05DC\u05D4"_s;
    const QString combining = u"Cafe\u0301 Mu\u0308sic \u0928\u092E\u0938\u094D\u0924\u0947"_s;
    for (const QString &title : {QString(), longTitle, rightToLeft, combining}) {
        for (const qreal dpr : {1.0, 2.0}) {
            const SpineLook look{title, title, LibraryItem::Kind::playlist, 26,
                                 spineColours(LibraryItem::Kind::playlist, std::nullopt)};
            const QImage image = SpineRenderer::render(look, dpr);
            EXPECT_EQ(image.width(), qRound(26 * dpr));
            EXPECT_EQ(image.height(), qRound(262 * dpr));
        }
    }
}

TEST(Spines, CacheKeepsToItsBudget)
{
    const qsizetype oneSpine = 37 * 262 * 4;
    SpineRenderer renderer(oneSpine * 10);
    for (int i = 0; i < 40; ++i) {
        const SpineLook look{u"Record %1"_s.arg(i), u"Artist"_s, LibraryItem::Kind::album, 37,
                             spineColours(LibraryItem::Kind::album, std::nullopt)};
        renderer.image(look, 1.0);
        EXPECT_LE(renderer.cachedBytes(), renderer.budgetBytes());
    }
    EXPECT_EQ(renderer.cachedCount(), 10);
    EXPECT_EQ(renderer.renderCount(), 40);
    // The latest ones are still there.
    const SpineLook last{u"Record 39"_s, u"Artist"_s, LibraryItem::Kind::album, 37,
                         spineColours(LibraryItem::Kind::album, std::nullopt)};
    renderer.image(last, 1.0);
    EXPECT_EQ(renderer.renderCount(), 40);
    // Another pixel ratio is another drawing.
    renderer.image(last, 2.0);
    EXPECT_EQ(renderer.renderCount(), 41);
}
