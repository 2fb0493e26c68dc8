// The login's redirect as a plain desktop delivers it: the program's desktop entry for its
// build folder is made the scheme's handler with xdg-mime, and xdg-open starts the real
// program with the URL, which hands it to the running instance. Everything runs in a
// private environment (home, data, configuration and runtime folders in a temporary
// folder, no desktop session, no browser), so nothing of the user's is read or changed.

#include "spotify/CallbackHandoff.h"
#include "spotify/CallbackScheme.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

using namespace velloran;
using namespace Qt::StringLiterals;

namespace {

class SchemeHandlerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(root.isValid());
        for (const char *folder : {"home", "data/applications", "config", "config-dirs", "runtime"})
            ASSERT_TRUE(QDir(root.path()).mkpath(QString::fromLatin1(folder)));
        QFile::setPermissions(path(u"runtime"_s), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);

        // A plain X session as xdg-utils sees it: a display, and no desktop to ask.
        environment.insert(u"PATH"_s, qEnvironmentVariable("PATH"));
        environment.insert(u"HOME"_s, path(u"home"_s));
        environment.insert(u"XDG_DATA_HOME"_s, path(u"data"_s));
        environment.insert(u"XDG_DATA_DIRS"_s, u"/usr/share"_s);
        environment.insert(u"XDG_CONFIG_HOME"_s, path(u"config"_s));
        environment.insert(u"XDG_CONFIG_DIRS"_s, path(u"config-dirs"_s));
        environment.insert(u"XDG_RUNTIME_DIR"_s, path(u"runtime"_s));
        environment.insert(u"DISPLAY"_s, u":99"_s);
        environment.insert(u"QT_QPA_PLATFORM"_s, u"offscreen"_s);
        // Should the handler not be found, xdg-open falls back to a browser: this one fails.
        environment.insert(u"BROWSER"_s, u"false"_s);
    }

    QString path(const QString &name) const { return root.filePath(name); }

    // Runs an xdg-utils command in the private environment; returns its exit code and output.
    std::pair<int, QString> run(const QString &program, const QStringList &arguments)
    {
        QProcess process;
        process.setProcessEnvironment(environment);
        process.setProcessChannelMode(QProcess::MergedChannels);
        process.start(program, arguments);
        // The event loop keeps running, so the listener takes the handed-over URL meanwhile.
        if (!QTest::qWaitFor([&] { return process.state() == QProcess::NotRunning; }, 20'000)) {
            process.kill();
            process.waitForFinished(2000);
            return {-1, u"(timed out)"_s};
        }
        return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
                QString::fromLocal8Bit(process.readAll())};
    }

    QTemporaryDir root;
    QProcessEnvironment environment;
};

TEST_F(SchemeHandlerTest, XdgOpenHandsTheRedirectToTheRunningProgram)
{
    ASSERT_FALSE(QStandardPaths::findExecutable(u"xdg-open"_s).isEmpty()) << "xdg-utils is not installed";

    // The running program listens where a second start of it, in this environment, looks.
    const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(path(u"runtime"_s)));
    const QString socketName = callbackSocketName();
    if (runtime.isNull())
        qunsetenv("XDG_RUNTIME_DIR");
    else
        qputenv("XDG_RUNTIME_DIR", runtime);
    ASSERT_TRUE(socketName.startsWith(path(u"runtime"_s)));
    CallbackListener listener(socketName);
    ASSERT_TRUE(listener.listen());
    QSignalSpy received(&listener, &CallbackListener::callbackReceived);

    const std::optional<QByteArray> entry = callbackDesktopEntry(QStringLiteral(VELLORAN_PROGRAM));
    ASSERT_TRUE(entry);
    QFile file(path(u"data/applications/velloran-build.desktop"_s));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(*entry);
    file.close();

    const auto [defaultExit, defaultOutput] =
        run(u"xdg-mime"_s, {u"default"_s, u"velloran-build.desktop"_s, u"x-scheme-handler/cobbleden"_s});
    ASSERT_EQ(defaultExit, 0) << defaultOutput.toStdString();
    const auto [queryExit, handler] = run(u"xdg-mime"_s, {u"query"_s, u"default"_s, u"x-scheme-handler/cobbleden"_s});
    ASSERT_EQ(handler.trimmed(), u"velloran-build.desktop"_s);

    const auto [openExit, openOutput] = run(u"xdg-open"_s, {u"cobbleden://callback?code=x"_s});
    EXPECT_EQ(openExit, 0) << openOutput.toStdString();
    ASSERT_TRUE(QTest::qWaitFor([&] { return received.count() == 1; }, 10'000)) << openOutput.toStdString();
    EXPECT_EQ(received.first().first().toUrl(), QUrl(u"cobbleden://callback?code=x"_s));
}

} // namespace
