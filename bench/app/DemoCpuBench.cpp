// bench_demo_cpu: the processor time all of the program's processes (its own and Qt
// WebEngine's) take while the demo shows a record, as a share of one core. The window is
// 1280 x 800 points; run under a real display server (Xvfb will do) so that the window's
// flushes to the screen are counted too:
//
//     xvfb-run -s "-screen 0 1280x800x24" dbus-run-session -- build/bin/bench_demo_cpu [seconds]
//
// It connects, pulls the shelf's first record out (its disc turning in the pull-out), plays
// it (the sleeve flies to the table), lifts the needle with the platter still turning, and
// stops the deck; each state is measured for `seconds` (default 30) after it has settled.

#include "DemoProgram.h"
#include "ProcessTree.h"

#include <QElapsedTimer>
#include <QHash>

#include <cstdio>
#include <unistd.h>

using namespace velloran;

namespace {

// Processor time per process over `seconds` of the event loop, as a share of one core.
void measure(const char *what, int seconds)
{
    QHash<qint64, qint64> before;
    for (const qint64 pid : bench::processTree())
        before.insert(pid, bench::cpuTicks(pid));
    QElapsedTimer wall;
    wall.start();
    QTest::qWait(seconds * 1000);
    const double elapsed = double(wall.nsecsElapsed()) * 1e-9;
    const double ticksPerSecond = double(sysconf(_SC_CLK_TCK));
    const auto percent = [&](qint64 ticks) { return 100.0 * double(ticks) / ticksPerSecond / elapsed; };
    qint64 total = 0;
    qint64 own = 0;
    for (const qint64 pid : bench::processTree()) {
        // A process started during the measurement counts from its start.
        const qint64 used = bench::cpuTicks(pid) - before.value(pid, 0);
        total += used;
        if (pid == getpid())
            own = used;
    }
    std::printf("%-32s %5.1f %% of a core (the program's own process %5.1f %%)\n", what, percent(total), percent(own));
    std::fflush(stdout);
}

} // namespace

int main(int argc, char **argv)
{
    const int seconds = argc > 1 ? std::max(5, std::atoi(argv[1])) : 30;
    bench::RunningDemo demo(argc, argv);
    if (!demo.program)
        return 1;
    ProgramServices &program = *demo.program;
    program.window()->resize(1280, 800);
    if (const auto problem = test::connectDemo(program))
        return bench::failed(*problem);
    QTest::qWait(3000);
    measure("the shelf, still", seconds);

    PullOut *pullOut = nullptr;
    if (const auto problem = test::pullFirstFromShelf(program, pullOut))
        return bench::failed(*problem);
    QTest::qWait(3000);
    measure("a record pulled out, turning", seconds);

    test::Walk walk;
    if (const auto problem = test::playPulledOut(program, pullOut, walk))
        return bench::failed(*problem);
    QTest::qWait(3000);
    measure("a record playing", seconds);

    Turntable &turntable = program.model()->turntable();
    turntable.cue();
    QTest::qWait(3000);
    measure("the needle up, platter turning", seconds);

    turntable.startStop();
    // The platter runs down before the deck is at rest.
    QTest::qWait(15'000);
    measure("the deck stopped", seconds);
    return 0;
}
