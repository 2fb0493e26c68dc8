#include "model/LibraryItem.h"
#include "model/ShelfEntry.h"

#include <QJsonDocument>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using namespace velloran;

namespace {

QJsonValue json(const char *text)
{
    return parseJson(QByteArray(text));
}

} // namespace

TEST(LibraryItem, CodesAsTheCaseNameAroundTheId)
{
    EXPECT_EQ(QJsonDocument(LibraryItem::album(u"abc"_s).toJson()).toJson(QJsonDocument::Compact), R"({"album":{"_0":"abc"}})");
    EXPECT_EQ(LibraryItem::fromJson(json(R"({"playlist":{"_0":"p1"}})")), LibraryItem::playlist(u"p1"_s));
    EXPECT_EQ(LibraryItem::fromJson(LibraryItem::album(u"é 1"_s).toJson()), LibraryItem::album(u"é 1"_s));
}

TEST(LibraryItem, RejectsMalformedObjects)
{
    try {
        LibraryItem::fromJson(json(R"({"album":{"_0":"a"},"playlist":{"_0":"b"}})"));
        FAIL() << "two keys were accepted";
    } catch (const DecodeError &error) {
        EXPECT_EQ(error.message(), u"Invalid number of keys found, expected one."_s);
    }
    EXPECT_THROW(LibraryItem::fromJson(json("{}")), DecodeError);
    for (const char *text : {R"({"single":{"_0":"a"}})", R"({"album":{"id":"a"}})", R"({"album":"a"})", R"({"album":{"_0":5}})"})
        EXPECT_THROW(LibraryItem::fromJson(json(text)), DecodeError) << text;
}

TEST(LibraryItem, EqualityAndHashTakeTheKindIntoAccount)
{
    EXPECT_NE(LibraryItem::album(u"x"_s), LibraryItem::playlist(u"x"_s));
    QSet<LibraryItem> items{LibraryItem::album(u"x"_s), LibraryItem::playlist(u"x"_s), LibraryItem::album(u"x"_s)};
    EXPECT_EQ(items.size(), 2);
}

TEST(ShelfEntry, IdentityIsTheTitleAndTheItemsDescription)
{
    ShelfEntry album{LibraryItem::album(u"abc"_s), u"Blue"_s, u"Joni"_s, std::nullopt, u"1971"_s, std::nullopt, 0};
    ShelfEntry playlist = album;
    playlist.item = LibraryItem::playlist(u"abc"_s);
    EXPECT_EQ(album.id(), u"Bluealbum(\"abc\")"_s);
    EXPECT_EQ(playlist.id(), u"Blueplaylist(\"abc\")"_s);

    ShelfEntry moved = album;
    moved.order = 1;
    EXPECT_NE(moved, album);
    EXPECT_EQ(moved.id(), album.id());
}

TEST(ShelfEntry, FromARecordCarriesItsOwnLines)
{
    const Record record = Record::make(u"p9"_s, u"spotify:playlist:p9"_s, Record::Kind::playlist, u"Mix"_s, u"ana"_s,
                                       QUrl(u"https://covers.example/p9"_s), std::nullopt, {});
    const ShelfEntry entry = ShelfEntry::fromRecord(record);
    EXPECT_EQ(entry, (ShelfEntry{LibraryItem::playlist(u"p9"_s), u"Mix"_s, u"ana"_s, QUrl(u"https://covers.example/p9"_s),
                                 std::nullopt, std::nullopt, 0}));
}
