// The support folder, atomic private writes and the clean-up after a killed write.

#include "model/AtomicFile.h"
#include "model/SupportDirectory.h"

#include "TemporaryHome.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QThreadPool>

#include <gtest/gtest.h>

#include <sys/stat.h>

using namespace Qt::StringLiterals;
using namespace velloran;

namespace {

QByteArray contents(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The POSIX mode bits of a file, 0600 and the like.
unsigned mode(const QString &path)
{
    struct stat info {};
    return ::stat(QFile::encodeName(path).constData(), &info) == 0 ? info.st_mode & 07777 : 0;
}

} // namespace

TEST(SupportDirectory, IsCreatedPrivateEveryTimeItIsAskedFor)
{
    test::TemporaryHome home;
    const QString path = supportDirectory();
    EXPECT_TRUE(path.endsWith(u"/Velloran"_s));
    EXPECT_TRUE(path.startsWith(home.path()));
    EXPECT_EQ(mode(path), 0700u);

    ASSERT_TRUE(QDir(path).removeRecursively());
    QDir().mkpath(path);
    ::chmod(QFile::encodeName(path).constData(), 0777);
    EXPECT_EQ(supportPath(u"library.json"_s), path + u"/library.json"_s);
    EXPECT_EQ(mode(path), 0700u);
}

TEST(AtomicFile, WritesPrivateFilesAndReplacesWholeFiles)
{
    test::TemporaryHome home;
    const QString path = supportPath(u"notes.json"_s);
    ASSERT_TRUE(writeFileAtomically(path, "first"));
    EXPECT_EQ(contents(path), "first");
    EXPECT_EQ(mode(path), 0600u);

    ::chmod(QFile::encodeName(path).constData(), 0644);
    ASSERT_TRUE(writeFileAtomically(path, "second"));
    EXPECT_EQ(contents(path), "second");
    EXPECT_EQ(mode(path), 0600u);

    EXPECT_FALSE(writeFileAtomically(home.path() + u"/missing/folder/file"_s, "x"));
}

TEST(AtomicFile, BackgroundWritesLandInTheOrderTheyStarted)
{
    test::TemporaryHome home;
    const QString path = supportPath(u"order.json"_s);
    for (int i = 0; i < 50; ++i)
        writeFileInBackground(path, QByteArray::number(i));
    auto skipped = writeFileInBackground(path, [] { return std::optional<QByteArray>(); });
    fileWriterPool().waitForDone();
    EXPECT_EQ(contents(path), "49");
    EXPECT_FALSE(skipped.result());
}

TEST(AtomicFile, RemovesOnlyTheTemporaryFilesOfAKilledWrite)
{
    test::TemporaryHome home;
    const QString dir = supportDirectory();
    const QStringList names{u"library.json"_s, u"library.json.Ab12Cd"_s, u"library.json.toolong7"_s,
                            u"history.json.x1y2z3"_s, u"0123456789abcdef0123456789abcdef.QwErTy"_s,
                            u"0123456789abcdef0123456789abcdef"_s, u"library.jsonXAb12Cd"_s};
    for (const QString &name : names)
        ASSERT_TRUE(writeFileAtomically(dir + u'/' + name, "x"));

    removeLeftoverTemporaryFiles(dir, u"library.json"_s);
    removeLeftoverTemporaryFiles(dir, QRegularExpression(u"[0-9a-f]{32}"_s));

    QStringList left = QDir(dir).entryList(QDir::Files);
    left.sort();
    EXPECT_EQ(left, (QStringList{u"0123456789abcdef0123456789abcdef"_s, u"history.json.x1y2z3"_s, u"library.json"_s,
                                 u"library.json.toolong7"_s, u"library.jsonXAb12Cd"_s}));
}
