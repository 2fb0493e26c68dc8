// Every render tool's command line: help, one optional output folder, and a usage error for
// anything else, without writing a file.

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

struct ToolRun {
    int exitCode = -1;
    QString out;
    QString err;
};

ToolRun run(const QString &tool, const QStringList &arguments, const QString &folder)
{
    QProcess process;
    process.setWorkingDirectory(folder);
    process.start(tool, arguments);
    if (!process.waitForFinished(60'000) || process.exitStatus() != QProcess::NormalExit)
        return {};
    return {process.exitCode(), QString::fromLocal8Bit(process.readAllStandardOutput()),
            QString::fromLocal8Bit(process.readAllStandardError())};
}

} // namespace

TEST(RenderTools, HelpAndUsageErrorsWriteNothing)
{
    for (const QString &tool : QStringLiteral(RENDER_TOOLS).split(u'|')) {
        const QString name = QFileInfo(tool).fileName();
        SCOPED_TRACE(name.toStdString());
        QTemporaryDir folder;
        for (const QString &help : {u"--help"_s, u"-h"_s}) {
            const ToolRun shown = run(tool, {help}, folder.path());
            EXPECT_EQ(shown.exitCode, 0);
            EXPECT_TRUE(shown.out.startsWith(u"Usage: %1 [options] [folder]"_s.arg(name))) << shown.out.toStdString();
        }
        for (const QStringList &wrong : {QStringList{u"--bogus"_s}, QStringList{u"one"_s, u"two"_s}}) {
            const ToolRun refused = run(tool, wrong, folder.path());
            EXPECT_EQ(refused.exitCode, 2);
            EXPECT_TRUE(refused.err.contains(u"Try '%1 --help'."_s.arg(name))) << refused.err.toStdString();
        }
        EXPECT_TRUE(QDir(folder.path()).isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden));
    }
}
