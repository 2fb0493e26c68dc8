// bench_demo_memory: the resident memory of all of the program's processes (its own and
// Qt WebEngine's) while the demo plays. It connects, puts the first record on, lets the
// records play (each side flips to the next), and prints the summed resident set size every
// minute and at the end:
//
//     build/bin/bench_demo_memory [minutes, default 10]
//
// Run it inside a D-Bus session (dbus-run-session) so that the MPRIS player has a bus.

#include "DemoDriver.h"
#include "TemporaryHome.h"

#include "playback/WebEngineSetup.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTimer>

#include <cstdio>
#include <unistd.h>

using namespace velloran;
using namespace Qt::StringLiterals;

namespace {

qint64 residentKiB(qint64 pid)
{
    QFile status(u"/proc/%1/status"_s.arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLongLong();
    return 0;
}

qint64 parentOf(qint64 pid)
{
    QFile stat(u"/proc/%1/stat"_s.arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return 0;
    const QByteArray line = stat.readAll();
    return line.mid(line.lastIndexOf(')') + 2).split(' ').value(1).toLongLong();
}

// This process and every process below it.
qint64 treeResidentKiB()
{
    const qint64 self = getpid();
    qint64 total = 0;
    for (const QString &entry : QDir(u"/proc"_s).entryList(QDir::Dirs)) {
        bool ok = false;
        const qint64 pid = entry.toLongLong(&ok);
        if (!ok)
            continue;
        for (qint64 p = pid; p > 1; p = parentOf(p)) {
            if (p == self) {
                total += residentKiB(pid);
                break;
            }
        }
    }
    return total;
}

} // namespace

int main(int argc, char **argv)
{
    const int minutes = argc > 1 ? std::max(1, std::atoi(argv[1])) : 10;
    test::TemporaryHome home;
    DemoEnvironment::prepareProcess();
    if (geteuid() == 0)
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    prepareWebEngine();
    QApplication app(argc, argv);

    ProgramServices program(true);
    if (!program.claimInstance() || !program.start()) {
        std::fprintf(stderr, "the demo could not start\n");
        return 1;
    }
    program.show();
    program.model()->controller().setAutoFlip(true);
    QString recordID;
    for (const auto &problem : {test::connectDemo(program), test::putOnFirstRecord(program, recordID)}) {
        if (problem) {
            std::fprintf(stderr, "%s\n", problem->toLocal8Bit().constData());
            return 1;
        }
    }

    PlaybackController &controller = program.model()->controller();
    qint64 peak = 0;
    for (int minute = 1; minute <= minutes; ++minute) {
        QTest::qWait(60'000);
        // When the record has played out, start it again, so the whole run plays.
        if (controller.status() == PlaybackController::Status::sideEnded)
            controller.nextSide();
        const qint64 now = treeResidentKiB();
        peak = std::max(peak, now);
        std::printf("after %2d min: %6.1f MB resident in all processes (status %d, side %lld)\n", minute, now / 1024.0,
                    int(controller.status()), static_cast<long long>(controller.sideIndex()));
        std::fflush(stdout);
    }
    std::printf("peak %.1f MB\n", peak / 1024.0);
    return 0;
}
