#include "Loopback.h"

#include "spotify/AuthorizationOpener.h"
#include "spotify/CallbackHandoff.h"
#include "spotify/CallbackScheme.h"
#include "spotify/SpotifyAuth.h"
#include "spotify/TokenStore.h"

#include <QDir>
#include <QFile>
#include <QLocalSocket>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>

using namespace Qt::StringLiterals;
using namespace velloran;
using namespace velloran::test;

namespace {

// Runs the helper that plays the second program; returns its exit code.
int handOver(const QString &socket, const QByteArray &url)
{
    QProcess sender;
    sender.start(QStringLiteral(CALLBACK_SENDER), {socket, QString::fromLatin1(url)});
    if (!waitUntil([&] { return sender.state() == QProcess::NotRunning; }))
        return -1;
    return sender.exitStatus() == QProcess::NormalExit ? sender.exitCode() : -1;
}

class HandoffTest : public Loopback {
protected:
    QTemporaryDir dir;
    QString socketName = dir.filePath(u"callback"_s);
    CallbackListener listener{socketName};
};

TEST_F(HandoffTest, SecondProcessHandsTheUrlOver)
{
    ASSERT_TRUE(listener.listen());
    QSignalSpy received(&listener, &CallbackListener::callbackReceived);
    EXPECT_EQ(handOver(socketName, "cobbleden://callback?code=abc%20d"), 0);
    ASSERT_TRUE(waitUntil([&] { return received.count() == 1; }));
    EXPECT_EQ(received.first().first().toUrl(), QUrl::fromEncoded("cobbleden://callback?code=abc%20d"));

    // Only callback URLs travel, and only to a listening program.
    EXPECT_EQ(handOver(socketName, "https://example.org/?code=1"), 1);
    EXPECT_EQ(handOver(dir.filePath(u"nobody"_s), "cobbleden://callback?code=1"), 1);
    EXPECT_EQ(received.count(), 1);
}

TEST_F(HandoffTest, ListenerIgnoresAnythingButOneShortCallbackLine)
{
    ASSERT_TRUE(listener.listen());
    QSignalSpy received(&listener, &CallbackListener::callbackReceived);
    for (const QByteArray &junk : {QByteArray("https://example.org/\n"), QByteArray(20000, 'x'), QByteArray("\xff\xfe\n"),
                                   QByteArray("cobbleden://callback?code=1\ncobbleden://callback?code=2\n")}) {
        QLocalSocket client;
        client.connectToServer(socketName);
        ASSERT_TRUE(client.waitForConnected(2000));
        client.write(junk);
        client.waitForBytesWritten(2000);
        waitUntil([&] { return client.state() == QLocalSocket::UnconnectedState; }, std::chrono::milliseconds(1000));
    }
    ASSERT_EQ(received.count(), 1);
    EXPECT_EQ(received.first().first().toUrl(), QUrl(u"cobbleden://callback?code=1"_s));
}

TEST_F(HandoffTest, ListenerTakesOverALeftoverSocketButNotALiveOne)
{
    QFile leftover(socketName);
    ASSERT_TRUE(leftover.open(QIODevice::WriteOnly));
    leftover.close();
    ASSERT_TRUE(listener.listen());
    CallbackListener second(socketName);
    EXPECT_FALSE(second.listen());
}

TEST_F(HandoffTest, WholeLoginThroughTheSecondProcess)
{
    ASSERT_TRUE(listener.listen());
    MemoryTokenStore store;
    DirectAuthorizationOpener browser(&network);
    SpotifyAuth auth(config, &network, clock, store, browser);
    // The "browser" follows the page and the desktop starts the second program with the redirect.
    QObject::connect(&browser, &DirectAuthorizationOpener::redirected, &auth, [&](const QUrl &url) {
        auto *sender = new QProcess(&auth);
        QObject::connect(sender, &QProcess::finished, sender, &QObject::deleteLater);
        sender->start(QStringLiteral(CALLBACK_SENDER), {socketName, QString::fromLatin1(url.toEncoded())});
    });
    QObject::connect(&listener, &CallbackListener::callbackReceived, &auth, &SpotifyAuth::deliverCallback);

    const auto outcome = await(auth.login());
    EXPECT_FALSE(outcome->error) << outcome->errorOf<UserFacingError>().toStdString();
    EXPECT_TRUE(auth.tokens());
    EXPECT_TRUE(store.data());

    // A callback that arrives when no login is pending changes nothing.
    const Tokens tokens = *auth.tokens();
    QSignalSpy received(&listener, &CallbackListener::callbackReceived);
    EXPECT_EQ(handOver(socketName, "cobbleden://callback?code=stray"), 0);
    ASSERT_TRUE(waitUntil([&] { return received.count() == 1; }));
    EXPECT_EQ(auth.tokens(), tokens);
    EXPECT_EQ(server.accounts().tokenRequests(), 1);
}

TEST(CallbackSchemeTest, ExecLineQuotesOnlyWhatItMustAndRefusesLineBreaks)
{
    struct Case {
        QString path;
        std::optional<QString> exec; // as it stands in the file
    };
    const QList<Case> cases{
        {u"/usr/lib/velloran/bin/velloran"_s, u"/usr/lib/velloran/bin/velloran"_s},
        {u"/home/ann/src/velloran-2.0/build_x+y@z/bin/velloran"_s, u"/home/ann/src/velloran-2.0/build_x+y@z/bin/velloran"_s},
        {u"/opt/my build/bin/velloran"_s, u"\"/opt/my build/bin/velloran\""_s},
        {u"/opt/100%/velloran"_s, u"/opt/100%%/velloran"_s},
        {u"/opt/it's 100%/velloran"_s, u"\"/opt/it's 100%%/velloran\""_s},
        {u"/opt/my build/bin/vel\"lo$ran"_s, uR"("/opt/my build/bin/vel\\"lo\\$ran")"_s},
        {u"/opt/back\\slash/velloran"_s, uR"("/opt/back\\\\slash/velloran")"_s},
        {u"/opt/~me/a;b/velloran"_s, u"\"/opt/~me/a;b/velloran\""_s},
        {u"/opt/line\nbreak/velloran"_s, std::nullopt},
        {u"/opt/tab\there/velloran"_s, std::nullopt},
        {QString(), std::nullopt},
    };
    QTemporaryDir dir;
    for (const Case &c : cases) {
        SCOPED_TRACE(c.path.toStdString());
        EXPECT_EQ(desktopExecArgument(c.path), c.exec);
        const std::optional<QByteArray> entry = callbackDesktopEntry(c.path);
        ASSERT_EQ(entry.has_value(), c.exec.has_value());
        if (!entry)
            continue;
        EXPECT_TRUE(entry->contains("MimeType=x-scheme-handler/cobbleden;\n"));
        EXPECT_TRUE(entry->contains(u"\nExec=%1 %u\n"_s.arg(*c.exec).toUtf8())) << entry->toStdString();

        QFile file(dir.filePath(u"velloran-build.desktop"_s));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(*entry);
        file.close();
        QProcess validate;
        validate.start(u"desktop-file-validate"_s, {file.fileName()});
        ASSERT_TRUE(validate.waitForFinished(10000));
        EXPECT_EQ(validate.exitCode(), 0) << validate.readAllStandardOutput().toStdString();
    }
}

TEST(CallbackSchemeTest, BuildFolderIsRecognisedByItsCache)
{
    QTemporaryDir dir;
    ASSERT_TRUE(QDir(dir.path()).mkpath(u"bin"_s));
    EXPECT_FALSE(runsFromBuildFolder(dir.filePath(u"bin"_s)));
    QFile cache(dir.filePath(u"CMakeCache.txt"_s));
    ASSERT_TRUE(cache.open(QIODevice::WriteOnly));
    cache.close();
    EXPECT_TRUE(runsFromBuildFolder(dir.filePath(u"bin"_s)));
    EXPECT_TRUE(runsFromBuildFolder(dir.path()));
}

} // namespace
