#pragma once

// A real Secret Service for tests: a private D-Bus session bus of the test process and,
// when asked for, a gnome-keyring-daemon on it with a fresh, unlocked login keyring. The
// bus has no service files, so before the daemon starts no Secret Service answers.

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

namespace velloran::test {

class PrivateSessionBus {
public:
    // The bus, started on first use; from then on everything in this process that talks
    // D-Bus uses it, so it must come before the first D-Bus call.
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
        const QString config = m_dir.filePath(QStringLiteral("bus.conf"));
        QFile file(config);
        if (!file.open(QIODevice::WriteOnly))
            return;
        file.write("<!DOCTYPE busconfig PUBLIC \"-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN\"\n"
                   " \"http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd\">\n"
                   "<busconfig><type>session</type><listen>unix:dir=" + m_dir.path().toUtf8() + "</listen>"
                   "<policy context=\"default\"><allow send_destination=\"*\" eavesdrop=\"true\"/>"
                   "<allow eavesdrop=\"true\"/><allow own=\"*\"/></policy></busconfig>\n");
        file.close();
        m_daemon.start(QStringLiteral("dbus-daemon"),
                       {QStringLiteral("--config-file=") + config, QStringLiteral("--nofork"), QStringLiteral("--print-address=1")});
        if (!m_daemon.waitForStarted(5000))
            return;
        QByteArray line;
        while (!line.contains('\n') && m_daemon.waitForReadyRead(5000))
            line += m_daemon.readAllStandardOutput();
        m_address = QString::fromUtf8(line.trimmed());
        qputenv("DBUS_SESSION_BUS_ADDRESS", m_address.toUtf8());
    }

    QTemporaryDir m_dir;
    QProcess m_daemon;
    QString m_address;
};

// gnome-keyring-daemon with its secrets component on the private bus, for as long as the
// object lives.
class PrivateKeyring {
public:
    PrivateKeyring()
    {
        PrivateSessionBus &bus = PrivateSessionBus::instance();
        if (!bus.isRunning())
            return;
        const QString home = bus.dir().filePath(QStringLiteral("home"));
        const QString runtime = bus.dir().filePath(QStringLiteral("runtime"));
        QDir().mkpath(home);
        QDir().mkpath(runtime);
        QFile::setPermissions(runtime, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);

        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("HOME"), home);
        environment.insert(QStringLiteral("XDG_DATA_HOME"), home + QStringLiteral("/.local/share"));
        environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime);
        environment.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), qEnvironmentVariable("DBUS_SESSION_BUS_ADDRESS"));
        m_daemon.setProcessEnvironment(environment);
        m_daemon.start(QStringLiteral("gnome-keyring-daemon"),
                       {QStringLiteral("--foreground"), QStringLiteral("--components=secrets"), QStringLiteral("--unlock")});
        if (!m_daemon.waitForStarted(5000))
            return;
        m_daemon.write("velloran-test-password");
        m_daemon.closeWriteChannel();
        const QDeadlineTimer deadline(10'000);
        while (!isAnswering() && !deadline.hasExpired())
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }

    ~PrivateKeyring()
    {
        m_daemon.terminate();
        m_daemon.waitForFinished(3000);
    }

    PrivateKeyring(const PrivateKeyring &) = delete;
    PrivateKeyring &operator=(const PrivateKeyring &) = delete;

    bool isRunning() const { return m_daemon.state() == QProcess::Running; }

    static bool isAnswering()
    {
        return QDBusConnection::sessionBus().interface()->isServiceRegistered(QStringLiteral("org.freedesktop.secrets")).value();
    }

private:
    QProcess m_daemon;
};

} // namespace velloran::test
