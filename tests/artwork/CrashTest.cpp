// A writer killed at any moment leaves every file either as it was or as it was to become.

#include "artwork/ArtworkStore.h"
#include "artwork/CodableColour.h"
#include "model/Library.h"
#include "model/PlayHistory.h"
#include "model/SupportDirectory.h"

#include "TemporaryHome.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonObject>
#include <QProcess>
#include <QRandomGenerator>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using namespace velloran;

namespace {

// Reads a file completely with the readers the program uses; an error names the fault.
std::optional<QString> problemWith(const QString &path, const std::function<void(const QJsonValue &)> &read)
{
    QFile file(path);
    if (!file.exists())
        return std::nullopt;
    if (!file.open(QIODevice::ReadOnly))
        return u"cannot be opened"_s;
    try {
        read(parseJson(file.readAll()));
    } catch (const DecodeError &error) {
        return error.message();
    }
    return std::nullopt;
}

void readSnapshot(const QJsonValue &value)
{
    LibrarySnapshot::fromJson(value);
}

void readHistory(const QJsonValue &value)
{
    if (!value.isArray())
        throw DecodeError(u"not an array"_s);
    JsonReader::readList<PlayHistoryEntry>(value.toArray(), QString(), &PlayHistoryEntry::fromJson);
}

void readColours(const QJsonValue &value)
{
    const QJsonObject object = value.toObject();
    if (object.isEmpty())
        throw DecodeError(u"no colours"_s);
    for (auto it = object.constBegin(); it != object.constEnd(); ++it)
        CodableColour::fromJson(it.value(), it.key());
}

} // namespace

TEST(Reliability, KilledWritesLeaveOldOrNewCompleteFiles)
{
    test::TemporaryHome home;
    const QString support = supportDirectory();
    const QString files[] = {support + u"/library.json"_s, support + u"/history.json"_s,
                             support + u"/Artwork/colours.json"_s};
    const std::function<void(const QJsonValue &)> readers[] = {readSnapshot, readHistory, readColours};

    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(u"HOME"_s, home.path());
    QRandomGenerator random(42);
    bool seen[3] = {};
    qint64 largestSnapshot = 0;

    for (int round = 0; round < 30; ++round) {
        QProcess writer;
        writer.setProcessEnvironment(environment);
        writer.start(QCoreApplication::applicationDirPath() + u"/artwork_crash_writer"_s, {});
        ASSERT_TRUE(writer.waitForStarted(10000));
        ASSERT_TRUE(writer.waitForReadyRead(20000));
        ASSERT_EQ(writer.readLine().trimmed(), "ready");

        // Let it write for a while, then kill it without warning.
        writer.waitForFinished(int(random.bounded(150, 900)));
        ASSERT_EQ(writer.state(), QProcess::Running) << "the writer stopped on its own";
        writer.kill();
        ASSERT_TRUE(writer.waitForFinished(10000));

        for (int f = 0; f < 3; ++f) {
            const std::optional<QString> problem = problemWith(files[f], readers[f]);
            ASSERT_FALSE(problem) << files[f].toStdString() << " in round " << round << ": " << problem->toStdString();
            seen[f] = seen[f] || QFile::exists(files[f]);
        }
        largestSnapshot = std::max(largestSnapshot, QFileInfo(files[0]).size());
    }
    for (int f = 0; f < 3; ++f)
        EXPECT_TRUE(seen[f]) << files[f].toStdString() << " was never written";
    EXPECT_GT(largestSnapshot, 100000);
}
