#include "scenes/browse/ShelfOrder.h"

#include "TestSettings.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using namespace velloran;

namespace {

ShelfEntry album(const QString &id, const QString &artist, std::optional<QString> year = std::nullopt,
                 std::optional<double> addedAt = std::nullopt)
{
    ShelfEntry entry;
    entry.item = LibraryItem::album(id);
    entry.title = id;
    entry.artist = artist;
    entry.year = std::move(year);
    if (addedAt)
        entry.addedAt = fromReferenceSeconds(*addedAt);
    entry.artworkURL = QUrl(u"https://covers.test/"_s + id);
    return entry;
}

ShelfEntry playlist(const QString &id)
{
    ShelfEntry entry;
    entry.item = LibraryItem::playlist(id);
    entry.title = id;
    return entry;
}

// Numbers the entries in list order, as the library does.
QList<ShelfEntry> numbered(QList<ShelfEntry> entries)
{
    for (qsizetype i = 0; i < entries.size(); ++i)
        entries[i].order = i;
    return entries;
}

QStringList ids(const QList<ShelfEntry> &entries)
{
    QStringList result;
    for (const ShelfEntry &entry : entries)
        result.append(entry.item.id);
    return result;
}

} // namespace

TEST(ShelfOrder, ArtistIgnoresCaseAndALeadingThe)
{
    EXPECT_EQ(artistSortKey(u"The Orchids"_s), u"orchids"_s);
    EXPECT_EQ(artistSortKey(u"THE ORCHIDS"_s), u"orchids"_s);
    EXPECT_EQ(artistSortKey(u"Theatre"_s), u"theatre"_s);
    EXPECT_EQ(artistSortKey(u"The"_s), u"the"_s);

    const auto entries = numbered({
        album(u"theatre"_s, u"Theatre"_s, u"1990"_s),
        album(u"orchids-b"_s, u"THE ORCHIDS"_s, u"1988"_s),
        album(u"undated"_s, u"Nico"_s),
        album(u"orchids-a"_s, u"The Orchids"_s, u"1988"_s),
        album(u"orchids-early"_s, u"the orchids"_s, u"1987"_s),
        album(u"dated"_s, u"Nico"_s, u"2000"_s),
    });
    // Equal artist keys go by year (missing last); equal artist and year keep their order.
    EXPECT_EQ(ids(sorted(ShelfSort::artist, entries)),
              (QStringList{u"dated"_s, u"undated"_s, u"orchids-early"_s, u"orchids-b"_s, u"orchids-a"_s, u"theatre"_s}));
}

TEST(ShelfOrder, YearPutsMissingYearsAmongTheNines)
{
    const auto entries = numbered({
        album(u"none-1"_s, u"a"_s),
        album(u"far"_s, u"a"_s, u"9999"_s),
        album(u"y2001"_s, u"a"_s, u"2001"_s),
        album(u"none-2"_s, u"a"_s),
        album(u"y1970"_s, u"a"_s, u"1970"_s),
        playlist(u"p"_s),
    });
    EXPECT_EQ(ids(sorted(ShelfSort::year, entries)),
              (QStringList{u"y1970"_s, u"y2001"_s, u"none-1"_s, u"far"_s, u"none-2"_s, u"p"_s}));
}

TEST(ShelfOrder, RecentPutsTheNewestFirstAndUndatedInListOrder)
{
    auto entries = numbered({
        album(u"undated-late"_s, u"a"_s),
        album(u"old"_s, u"a"_s, std::nullopt, 100),
        album(u"new"_s, u"a"_s, std::nullopt, 300),
        album(u"undated-early"_s, u"a"_s),
        album(u"middle"_s, u"a"_s, std::nullopt, 200),
    });
    std::swap(entries[0].order, entries[3].order);
    EXPECT_EQ(ids(sorted(ShelfSort::recent, entries)),
              (QStringList{u"new"_s, u"middle"_s, u"old"_s, u"undated-early"_s, u"undated-late"_s}));
}

TEST(ShelfOrder, ColourKeysOrderHuesThenGreysThenNoColour)
{
    struct Case {
        double r, g, b, key;
    };
    const Case cases[] = {
        {1, 0, 0, 0},       {1, 1, 0, 60},     {0, 1, 0, 120},       {0, 0, 1, 240},
        {1, 0, 0.5, 330},   {1, 1, 1, 400},    {0, 0, 0, 500},       {0.5, 0.5, 0.5, 450},
        {0.58, 0.5, 0.5, 400 + (1 - 0.58) * 100},  // a delta of 0.08 is still grey
    };
    for (const Case &c : cases)
        EXPECT_NEAR(colourKey(c.r, c.g, c.b), c.key, 1e-9) << c.r << ' ' << c.g << ' ' << c.b;
    EXPECT_LT(colourKey(0.6, 0.5, 0.5), 400);
    EXPECT_EQ(colourKey(std::nullopt), 999);

    const QHash<QString, CodableColour> known{
        {u"https://covers.test/grey"_s, {0.5, 0.5, 0.5}},
        {u"https://covers.test/blue"_s, {0.1, 0.2, 0.9}},
        {u"https://covers.test/red"_s, {0.9, 0.1, 0.1}},
        {u"https://covers.test/white"_s, {1, 1, 1}},
        {u"https://covers.test/red-too"_s, {0.9, 0.1, 0.1}},
    };
    const KnownColour lookup = [&known](const QUrl &url) -> std::optional<CodableColour> {
        const auto it = known.constFind(url.toString());
        return it == known.constEnd() ? std::nullopt : std::optional(*it);
    };
    const auto entries = numbered({album(u"unknown"_s, u"a"_s), album(u"grey"_s, u"a"_s), playlist(u"no-url"_s),
                                   album(u"red-too"_s, u"a"_s), album(u"blue"_s, u"a"_s), album(u"white"_s, u"a"_s),
                                   album(u"red"_s, u"a"_s)});
    EXPECT_EQ(ids(sorted(ShelfSort::colour, entries, lookup)),
              (QStringList{u"red-too"_s, u"red"_s, u"blue"_s, u"white"_s, u"grey"_s, u"unknown"_s, u"no-url"_s}));
}

TEST(ShelfOrder, FilterKeepsTheKindInItsOrder)
{
    const auto entries = numbered({playlist(u"p1"_s), album(u"a1"_s, u"x"_s), playlist(u"p2"_s), album(u"a2"_s, u"x"_s)});
    EXPECT_EQ(filtered(ShelfKind::all, entries), entries);
    EXPECT_EQ(ids(filtered(ShelfKind::album, entries)), (QStringList{u"a1"_s, u"a2"_s}));
    EXPECT_EQ(ids(filtered(ShelfKind::playlist, entries)), (QStringList{u"p1"_s, u"p2"_s}));
}

TEST(ShelfOrder, SettingsFallBackToTheDefaultsForUnknownValues)
{
    test::TestSettings settings;
    EXPECT_EQ(storedShelfKind(*settings), ShelfKind::all);
    EXPECT_EQ(storedShelfSort(*settings), ShelfSort::recent);

    storeShelfKind(*settings, ShelfKind::playlist);
    storeShelfSort(*settings, ShelfSort::colour);
    EXPECT_EQ(settings->value(u"shelfKind"_s).toString(), u"playlist"_s);
    EXPECT_EQ(settings->value(u"shelfSort"_s).toString(), u"colour"_s);
    EXPECT_EQ(storedShelfKind(*settings), ShelfKind::playlist);
    EXPECT_EQ(storedShelfSort(*settings), ShelfSort::colour);

    for (const QVariant &stored : {QVariant(u"Album"_s), QVariant(u"albums"_s), QVariant(3), QVariant(u""_s)}) {
        settings->setValue(u"shelfKind"_s, stored);
        settings->setValue(u"shelfSort"_s, stored);
        EXPECT_EQ(storedShelfKind(*settings), ShelfKind::all);
        EXPECT_EQ(storedShelfSort(*settings), ShelfSort::recent);
    }
}
