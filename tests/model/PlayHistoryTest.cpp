#include "model/AtomicFile.h"
#include "model/PlayHistory.h"
#include "model/SupportDirectory.h"

#include "core/ManualClock.h"

#include "TemporaryHome.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QSignalSpy>
#include <QThreadPool>

#include <gtest/gtest.h>

#include <functional>

#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;
using namespace velloran;

namespace {

Record record(const QString &id, Record::Kind kind = Record::Kind::album)
{
    return Record::make(id, u"spotify:x:"_s + id, kind, u"Title "_s + id, u"Artist"_s, std::nullopt, std::nullopt, {});
}

QList<LibraryItem> items(const PlayHistory &history)
{
    QList<LibraryItem> result;
    for (const PlayHistoryEntry &entry : history.entries())
        result.append(entry.item);
    return result;
}

QByteArray historyFile()
{
    fileWriterPool().waitForDone();
    QFile file(supportPath(PlayHistory::fileName()));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeHistoryFile(const QByteArray &bytes)
{
    fileWriterPool().waitForDone();
    QFile file(supportPath(PlayHistory::fileName()));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

class PlayHistoryTest : public ::testing::Test {
protected:
    test::TemporaryHome home;
    ManualClock clock;
};

} // namespace

namespace velloran {
void PrintTo(const LibraryItem &item, std::ostream *out)
{
    *out << item.description().toStdString();
}
} // namespace velloran

TEST_F(PlayHistoryTest, APlayedItemMovesToTheFrontWithItsNewTime)
{
    PlayHistory history(clock);
    QSignalSpy changed(&history, &PlayHistory::entriesChanged);
    history.record(record(u"A"_s));
    clock.advanceSeconds(10);
    history.record(record(u"B"_s));
    clock.advanceSeconds(10);
    history.record(record(u"A"_s));

    EXPECT_EQ(changed.count(), 3);
    EXPECT_EQ(items(history), (QList{LibraryItem::album(u"A"_s), LibraryItem::album(u"B"_s)}));
    EXPECT_EQ(history.entries().front().playedAt, clock.now());

    fileWriterPool().waitForDone();
    PlayHistory reread(clock);
    EXPECT_EQ(reread.entries(), history.entries());
}

TEST_F(PlayHistoryTest, AnAlbumAndAPlaylistWithOneIdAreTwoEntries)
{
    PlayHistory history(clock);
    history.record(record(u"same"_s, Record::Kind::album));
    history.record(record(u"same"_s, Record::Kind::playlist));
    EXPECT_EQ(items(history), (QList{LibraryItem::playlist(u"same"_s), LibraryItem::album(u"same"_s)}));
}

TEST_F(PlayHistoryTest, KeepsTheFiftyMostRecent)
{
    PlayHistory history(clock);
    for (int i = 0; i < 51; ++i)
        history.record(record(QString::number(i)));
    ASSERT_EQ(history.entries().size(), 50);
    EXPECT_EQ(history.entries().front().item, LibraryItem::album(u"50"_s));
    EXPECT_EQ(history.entries().back().item, LibraryItem::album(u"1"_s));
    EXPECT_EQ(QJsonDocument::fromJson(historyFile()).array().size(), 50);
}

TEST_F(PlayHistoryTest, ALongerFileIsReadWholeAndTrimmedAtTheNextPlay)
{
    QJsonArray array;
    for (int i = 0; i < 60; ++i)
        array.append(PlayHistoryEntry{LibraryItem::playlist(QString::number(i)), clock.now()}.toJson());
    writeHistoryFile(QJsonDocument(array).toJson());

    PlayHistory history(clock);
    EXPECT_EQ(history.entries().size(), 60);
    history.record(record(u"new"_s));
    EXPECT_EQ(history.entries().size(), 50);
    EXPECT_EQ(history.entries().back().item, LibraryItem::playlist(u"48"_s));
}

TEST_F(PlayHistoryTest, AnUnreadableFileGivesAnEmptyHistoryAndIsReplaced)
{
    const QByteArray cases[] = {
        "", "not json", "[{\"item\":{\"album\":{\"_0\":\"a\"}}}]", "{\"item\":1}",
        "[{\"item\":{\"album\":{\"_0\":\"a\"}},\"playedAt\":1e300}]",
        // Beyond what the clock's 64-bit nanoseconds can hold.
        "[{\"item\":{\"album\":{\"_0\":\"a\"}},\"playedAt\":5e10}]",
        "[{\"item\":{\"album\":{\"_0\":\"a\"}},\"playedAt\":5},{\"item\":{},\"playedAt\":5}]",
    };
    for (const QByteArray &bytes : cases) {
        writeHistoryFile(bytes);
        PlayHistory history(clock);
        EXPECT_TRUE(history.entries().isEmpty()) << bytes.constData();
        history.record(record(u"A"_s));
        fileWriterPool().waitForDone();
        PlayHistory reread(clock);
        EXPECT_EQ(items(reread), QList{LibraryItem::album(u"A"_s)}) << bytes.constData();
    }
}

// A pipe would block the start for ever and a link to /dev/zero would read without end; a
// link to a good history elsewhere is not followed either. Each starts empty and the next
// play puts a regular file of ours in its place, leaving the link's target alone.
TEST_F(PlayHistoryTest, OnlyARegularFileWithinTheBoundIsRead)
{
    const QString path = supportPath(PlayHistory::fileName());
    const QString outside = home.path() + u"/elsewhere.json"_s;
    const QByteArray good = R"([{"item":{"album":{"_0":"a"}},"playedAt":5}])";
    const QList<std::pair<const char *, std::function<void()>>> cases{
        {"pipe", [&] { ASSERT_EQ(::mkfifo(QFile::encodeName(path).constData(), 0600), 0); }},
        {"link to /dev/zero", [&] { ASSERT_EQ(::symlink("/dev/zero", QFile::encodeName(path).constData()), 0); }},
        {"link to a good history",
         [&] {
             ASSERT_TRUE(writeFileAtomically(outside, good));
             ASSERT_EQ(::symlink(QFile::encodeName(outside).constData(), QFile::encodeName(path).constData()), 0);
         }},
        {"file beyond the bound",
         [&] { writeHistoryFile(good + QByteArray(PlayHistory::fileSizeLimit, ' ')); }},
    };
    for (const auto &[what, plant] : cases) {
        SCOPED_TRACE(what);
        fileWriterPool().waitForDone();
        QFile::remove(path);
        plant();
        PlayHistory history(clock);
        EXPECT_TRUE(history.entries().isEmpty());
        history.record(record(u"B"_s));
        fileWriterPool().waitForDone();
        EXPECT_EQ(items(PlayHistory(clock)), QList{LibraryItem::album(u"B"_s)});
    }
    EXPECT_EQ(historyFile().left(2), "[{");
    QFile outsideFile(outside);
    ASSERT_TRUE(outsideFile.open(QIODevice::ReadOnly));
    EXPECT_EQ(outsideFile.readAll(), good);
}

TEST_F(PlayHistoryTest, FileHoldsTheItemAndTheSecondsSince2001)
{
    PlayHistory history(clock);
    history.record(record(u"A"_s));
    const QJsonArray stored = QJsonDocument::fromJson(historyFile()).array();
    ASSERT_EQ(stored.size(), 1);
    const QJsonObject entry = stored.first().toObject();
    EXPECT_EQ(entry.value("item"_L1).toObject(), LibraryItem::album(u"A"_s).toJson());
    EXPECT_DOUBLE_EQ(entry.value("playedAt"_L1).toDouble(), toReferenceSeconds(clock.now()));
}
