// bench_demo_memory: the resident memory of all of the program's processes (its own and
// Qt WebEngine's) while the demo plays. Two sums are printed: the proportional set size
// (each shared page divided among the processes that map it: the memory the program really
// takes) and the plain sum of resident sizes (which counts Qt WebEngine's shared library
// once per process). It connects, puts the first record on, lets the
// records play (each side flips to the next), and prints the summed resident set size every
// minute and at the end:
//
//     build/bin/bench_demo_memory [minutes, default 10]
//
// Run it inside a D-Bus session (dbus-run-session) so that the MPRIS player has a bus.

#include "DemoProgram.h"
#include "ProcessTree.h"

#include "webplayer/WebEngineSetup.h"

#include <QApplication>
#include <QFile>
#include <QTimer>

#include <cstdio>
#include <unistd.h>

using namespace velloran;
using namespace Qt::StringLiterals;

namespace {

struct Memory {
    qint64 rss = 0; // resident, counting shared pages in every process that maps them
    qint64 pss = 0; // resident, with shared pages divided among the processes that share them
};

Memory memoryOf(qint64 pid)
{
    QFile rollup(u"/proc/%1/smaps_rollup"_s.arg(pid));
    if (!rollup.open(QIODevice::ReadOnly))
        return {};
    Memory memory;
    for (const QByteArray &line : rollup.readAll().split('\n')) {
        const qint64 kib = line.mid(line.indexOf(':') + 1).trimmed().split(' ').value(0).toLongLong();
        if (line.startsWith("Rss:"))
            memory.rss = kib;
        else if (line.startsWith("Pss:"))
            memory.pss = kib;
    }
    return memory;
}

// This process and every process below it.
Memory treeMemory()
{
    Memory total;
    for (const qint64 pid : bench::processTree()) {
        const Memory memory = memoryOf(pid);
        total.rss += memory.rss;
        total.pss += memory.pss;
    }
    return total;
}

} // namespace

int main(int argc, char **argv)
{
    const int minutes = argc > 1 ? std::max(1, std::atoi(argv[1])) : 10;
    bench::RunningDemo demo(argc, argv);
    if (!demo.program)
        return 1;
    ProgramServices &program = *demo.program;
    program.model()->controller().setAutoFlip(true);
    QString recordID;
    for (const auto &problem : {test::connectDemo(program), test::putOnFirstRecord(program, recordID)}) {
        if (problem)
            return bench::failed(*problem);
    }

    PlaybackController &controller = program.model()->controller();
    qint64 peak = 0;
    qint64 peakRss = 0;
    for (int minute = 1; minute <= minutes; ++minute) {
        QTest::qWait(60'000);
        // When the record has played out, start it again, so the whole run plays.
        if (controller.status() == PlaybackController::Status::sideEnded)
            controller.nextSide();
        const Memory now = treeMemory();
        peak = std::max(peak, now.pss);
        peakRss = std::max(peakRss, now.rss);
        std::printf("after %2d min: %6.1f MB proportional (PSS), %6.1f MB summed RSS, in %s (status %d, side %lld)\n",
                    minute, now.pss / 1024.0, now.rss / 1024.0, "all processes", int(controller.status()),
                    static_cast<long long>(controller.sideIndex()));
        std::fflush(stdout);
    }
    std::printf("peak %.1f MB proportional, %.1f MB summed RSS\n", peak / 1024.0, peakRss / 1024.0);
    return 0;
}
