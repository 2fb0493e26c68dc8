// The keyring store against a real Secret Service: a private D-Bus session bus of this
// test process, and a gnome-keyring-daemon on it with a fresh, unlocked login keyring.
// The bus has no service files, so before the daemon starts no Secret Service answers.

#include "Loopback.h"

#include "spotify/AuthorizationOpener.h"
#include "spotify/KeychainTokenStore.h"
#include "spotify/SpotifyAuth.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

using namespace Qt::StringLiterals;
using namespace velloran;
using namespace velloran::test;

namespace {

class PrivateSessionBus {
public:
    static PrivateSessionBus &instance()
    {
        static PrivateSessionBus bus;
        return bus;
    }

    bool isRunning() const { return !m_address.isEmpty(); }
    const QTemporaryDir &dir() const { return m_dir; }

    ~PrivateSessionBus()
    {
        m_daemon.kill();
        m_daemon.waitForFinished(2000);
    }

private:
    PrivateSessionBus()
    {
        const QString config = m_dir.filePath(u"bus.conf"_s);
        QFile file(config);
        if (!file.open(QIODevice::WriteOnly))
            return;
        file.write("<!DOCTYPE busconfig PUBLIC \"-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN\"\n"
                   " \"http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd\">\n"
                   "<busconfig><type>session</type><listen>unix:dir=" + m_dir.path().toUtf8() + "</listen>"
                   "<policy context=\"default\"><allow send_destination=\"*\" eavesdrop=\"true\"/>"
                   "<allow eavesdrop=\"true\"/><allow own=\"*\"/></policy></busconfig>\n");
        file.close();
        m_daemon.start(u"dbus-daemon"_s, {u"--config-file="_s + config, u"--nofork"_s, u"--print-address=1"_s});
        if (!m_daemon.waitForStarted(5000))
            return;
        QByteArray line;
        while (!line.contains('\n') && m_daemon.waitForReadyRead(5000))
            line += m_daemon.readAllStandardOutput();
        m_address = QString::fromUtf8(line.trimmed());
        // Everything in this process that talks D-Bus from now on uses this bus.
        qputenv("DBUS_SESSION_BUS_ADDRESS", m_address.toUtf8());
    }

    QTemporaryDir m_dir;
    QProcess m_daemon;
    QString m_address;
};

class NoKeyringTest : public Loopback {
protected:
    void SetUp() override
    {
        Loopback::SetUp();
        ASSERT_TRUE(PrivateSessionBus::instance().isRunning());
    }
};

TEST_F(NoKeyringTest, WithoutSecretServiceStoringFailsSilentlyAndLoginHoldsForTheRun)
{
    KeychainTokenStore store;
    EXPECT_FALSE(await(store.load())->value.value_or(std::nullopt));
    EXPECT_FALSE(await(store.save("data"))->error);
    EXPECT_FALSE(await(store.remove())->error);

    DirectAuthorizationOpener opener(&network);
    SpotifyAuth auth(config, &network, clock, store, opener);
    QObject::connect(&opener, &DirectAuthorizationOpener::redirected, &auth, &SpotifyAuth::deliverCallback);
    const auto outcome = await(auth.login());
    EXPECT_FALSE(outcome->error) << outcome->errorOf<UserFacingError>().toStdString();
    EXPECT_TRUE(auth.tokens());
    EXPECT_TRUE(await(auth.accessToken(false))->value);
}

class KeyringTest : public Loopback {
protected:
    static void SetUpTestSuite()
    {
        PrivateSessionBus &bus = PrivateSessionBus::instance();
        if (!bus.isRunning())
            return;
        const QString home = bus.dir().filePath(u"home"_s);
        const QString runtime = bus.dir().filePath(u"runtime"_s);
        QDir().mkpath(home);
        QDir().mkpath(runtime);
        QFile::setPermissions(runtime, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);

        keyring = new QProcess;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(u"HOME"_s, home);
        environment.insert(u"XDG_DATA_HOME"_s, home + u"/.local/share"_s);
        environment.insert(u"XDG_RUNTIME_DIR"_s, runtime);
        environment.insert(u"DBUS_SESSION_BUS_ADDRESS"_s, qEnvironmentVariable("DBUS_SESSION_BUS_ADDRESS"));
        keyring->setProcessEnvironment(environment);
        keyring->start(u"gnome-keyring-daemon"_s, {u"--foreground"_s, u"--components=secrets"_s, u"--unlock"_s});
        if (!keyring->waitForStarted(5000))
            return;
        keyring->write("velloran-test-password");
        keyring->closeWriteChannel();
        waitUntil([] {
            return QDBusConnection::sessionBus().interface()->isServiceRegistered(u"org.freedesktop.secrets"_s).value();
        });
    }

    static void TearDownTestSuite()
    {
        if (keyring) {
            keyring->terminate();
            keyring->waitForFinished(3000);
            delete keyring;
            keyring = nullptr;
        }
    }

    void SetUp() override
    {
        Loopback::SetUp();
        ASSERT_TRUE(keyring && keyring->state() == QProcess::Running) << "gnome-keyring-daemon did not start";
        ASSERT_TRUE(QDBusConnection::sessionBus().interface()->isServiceRegistered(u"org.freedesktop.secrets"_s).value());
    }

    static inline QProcess *keyring = nullptr;
};

TEST_F(KeyringTest, StoresReplacesAndRemovesTheItem)
{
    KeychainTokenStore store;
    ASSERT_FALSE(await(store.save("first"))->error);
    EXPECT_EQ(await(store.load())->value, std::optional<QByteArray>("first"));
    ASSERT_FALSE(await(store.save("second"))->error);
    EXPECT_EQ(await(KeychainTokenStore().load())->value, std::optional<QByteArray>("second"));
    // Another item does not see it.
    EXPECT_EQ(await(KeychainTokenStore(u"app.velloran.spotify"_s, u"other"_s).load())->value,
              std::make_optional(std::optional<QByteArray>()));
    ASSERT_FALSE(await(store.remove())->error);
    EXPECT_EQ(await(store.load())->value, std::make_optional(std::optional<QByteArray>()));
}

TEST_F(KeyringTest, WholeLoginStoresTheTokensForTheNextRun)
{
    KeychainTokenStore store;
    DirectAuthorizationOpener opener(&network);
    SpotifyAuth auth(config, &network, clock, store, opener);
    QObject::connect(&opener, &DirectAuthorizationOpener::redirected, &auth, &SpotifyAuth::deliverCallback);
    const auto outcome = await(auth.login());
    ASSERT_FALSE(outcome->error) << outcome->errorOf<UserFacingError>().toStdString();
    ASSERT_TRUE(auth.tokens());

    // The next run finds them in the keyring. (The keychain runs its jobs in order, so a
    // load started now sees the save the login started.)
    const auto stored = [] { return await(KeychainTokenStore().load())->value.value_or(std::nullopt); };
    EXPECT_EQ(Tokens::fromJson(stored().value_or(QByteArray())), auth.tokens());
    SpotifyAuth nextRun(config, &network, clock, store, opener);
    await(nextRun.restoreTokens());
    EXPECT_EQ(nextRun.tokens(), auth.tokens());

    // A refresh replaces them; a logout removes them.
    ASSERT_TRUE(await(nextRun.accessToken(true))->value);
    EXPECT_NE(nextRun.tokens(), auth.tokens());
    EXPECT_EQ(Tokens::fromJson(stored().value_or(QByteArray())), nextRun.tokens());
    nextRun.logOut();
    EXPECT_FALSE(stored());
}

TEST_F(KeyringTest, UnreadableItemStartsLoggedOut)
{
    KeychainTokenStore store;
    ASSERT_FALSE(await(store.save("{not tokens"))->error);
    DirectAuthorizationOpener opener(&network);
    SpotifyAuth auth(config, &network, clock, store, opener);
    await(auth.restoreTokens());
    EXPECT_FALSE(auth.tokens());
    EXPECT_EQ(await(store.load())->value, std::optional<QByteArray>("{not tokens"));
}

} // namespace
