// The support folder, atomic private writes and the clean-up after a killed write.

#include "model/AtomicFile.h"
#include "model/RegularFile.h"
#include "model/SupportDirectory.h"

#include "TemporaryHome.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QThreadPool>

#include <functional>

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

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

// The type bits of what the name itself holds, without following a link.
mode_t entryType(const QString &path)
{
    struct stat info {};
    return ::lstat(QFile::encodeName(path).constData(), &info) == 0 ? info.st_mode & S_IFMT : 0;
}

QByteArray name(const QString &path)
{
    return QFile::encodeName(path);
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

TEST(AtomicFile, ReplacesWhateverStandsAtTheNameWithARegularFileOfItsOwn)
{
    struct Case {
        const char *what;
        std::function<void(const QString &path, const QString &outside)> plant;
        bool movedAside;
    };
    const QList<Case> cases{
        {"link to a file elsewhere",
         [](const QString &path, const QString &outside) { ASSERT_EQ(::symlink(name(outside).constData(), name(path).constData()), 0); },
         false},
        {"dangling link",
         [](const QString &path, const QString &outside) {
             ASSERT_EQ(::symlink(name(outside + u".missing"_s).constData(), name(path).constData()), 0);
         },
         false},
        {"read-only file",
         [](const QString &path, const QString &) {
             ASSERT_TRUE(writeFileAtomically(path, "old"));
             ASSERT_EQ(::chmod(name(path).constData(), 0400), 0);
         },
         false},
        {"folder",
         [](const QString &path, const QString &) {
             ASSERT_TRUE(QDir().mkpath(path + u"/inside"_s));
         },
         true},
        {"pipe", [](const QString &path, const QString &) { ASSERT_EQ(::mkfifo(name(path).constData(), 0600), 0); }, true},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        test::TemporaryHome home;
        const QString outside = home.path() + u"/system-file"_s;
        ASSERT_TRUE(writeFileAtomically(outside, "precious"));
        ::chmod(name(outside).constData(), 0644);
        const QString path = supportPath(u"history.json"_s);
        c.plant(path, outside);

        ASSERT_TRUE(writeFileAtomically(path, "[]"));
        EXPECT_EQ(entryType(path), mode_t(S_IFREG));
        EXPECT_EQ(contents(path), "[]");
        EXPECT_EQ(mode(path), 0600u);
        EXPECT_EQ(contents(outside), "precious");
        EXPECT_EQ(mode(outside), 0644u);

        const QStringList aside = QDir(supportDirectory()).entryList({u"history.json.aside-*"_s}, QDir::AllEntries | QDir::System);
        EXPECT_EQ(aside.size(), c.movedAside ? 1 : 0) << aside.join(u' ').toStdString();
        // A second write finds its own file and simply replaces it.
        ASSERT_TRUE(writeFileAtomically(path, "[1]"));
        EXPECT_EQ(contents(path), "[1]");
        EXPECT_EQ(QDir(supportDirectory()).entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot).size(),
                  c.movedAside ? 2 : 1);
    }
}

TEST(RegularFile, ReadsOnlyRegularFilesWithinTheBound)
{
    test::TemporaryHome home;
    const QString dir = supportDirectory();
    ASSERT_TRUE(writeFileAtomically(dir + u"/good"_s, "0123456789"));
    ASSERT_TRUE(writeFileAtomically(dir + u"/empty"_s, {}));
    ASSERT_EQ(::mkfifo(name(dir + u"/pipe"_s).constData(), 0600), 0);
    ASSERT_EQ(::symlink("/dev/zero", name(dir + u"/zeros"_s).constData()), 0);
    ASSERT_EQ(::symlink("good", name(dir + u"/link"_s).constData()), 0);
    ASSERT_TRUE(QDir().mkdir(dir + u"/folder"_s));

    EXPECT_EQ(readRegularFile(dir + u"/good"_s, 10), QByteArray("0123456789"));
    EXPECT_EQ(readRegularFile(dir + u"/empty"_s, 10), QByteArray());
    for (const char *unreadable : {"good", "pipe", "zeros", "link", "folder", "missing"}) {
        SCOPED_TRACE(unreadable);
        const qint64 bound = qstrcmp(unreadable, "good") == 0 ? 9 : 1024;
        EXPECT_FALSE(readRegularFile(dir + u'/' + QString::fromLatin1(unreadable), bound));
    }
    EXPECT_FALSE(readRegularFile(u"/dev/zero"_s, 1024));
}
