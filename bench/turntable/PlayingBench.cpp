// The live turntable screen while a record plays, as the program runs it: the real screen at
// 1280 x 800 points (pixel ratio 1, offscreen), its own frame loop on the event loop for 10 s
// with the deck's clock following real time, the record on the scripted engine. Reports the
// process's CPU time per second (as a percentage of one core), the frames drawn per second
// and the area painted per frame, while the record plays, with the platter turning and the
// needle up, and at rest.

#include "ScreenFixture.h"

#include "paint/FontRegistration.h"
#include "scenes/turntable/TabletopStage.h"
#include "scenes/turntable/TurntableScreen.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QPaintEvent>
#include <QStandardPaths>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <ctime>

using namespace velloran;
using namespace velloran::test;

namespace {

double processSeconds()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) * 1e-9;
}

// Counts the stage's paint events and the area they cover.
class PaintMeter : public QObject {
public:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint) {
            ++paints;
            for (const QRect &r : static_cast<QPaintEvent *>(event)->region())
                pixels += double(r.width()) * r.height();
        }
        return false;
    }
    int paints = 0;
    double pixels = 0;
};

enum class Deck { playing, needleUp, rest };

void livePlaying(benchmark::State &state)
{
    const auto what = Deck(state.range(0));
    DeckHarness deck;
    const Record record = sampleRecord(QStringLiteral("harbour"), QStringLiteral("Harbour Lights"));
    deck.library.add(record);
    deck.library.add(sampleRecord(QStringLiteral("orchard"), QStringLiteral("Orchard at Dusk")));
    deck.library.add(sampleRecord(QStringLiteral("tide"), QStringLiteral("Tidewater")));
    TurntableScreen screen(deck.turntable, deck.library, deck.clock);
    screen.resize(1280, 800);
    screen.show();
    deck.play(record, 120'000);
    if (what == Deck::needleUp)
        deck.turntable.cue();
    else if (what == Deck::rest)
        deck.turntable.startStop();

    // The deck's clock follows real time.
    QElapsedTimer real;
    real.start();
    qint64 last = 0;
    QTimer follow;
    follow.setTimerType(Qt::PreciseTimer);
    follow.setInterval(4);
    QObject::connect(&follow, &QTimer::timeout, [&] {
        const qint64 now = real.nsecsElapsed();
        deck.clock.advanceSeconds(double(now - last) * 1e-9);
        last = now;
    });
    follow.start();
    const auto run = [](int ms) {
        QEventLoop loop;
        QTimer::singleShot(ms, &loop, &QEventLoop::quit);
        loop.exec();
    };
    // Settle: the arm on its groove, the drawings made, a stopped platter run down.
    run(what == Deck::rest ? 15'000 : 3000);

    PaintMeter meter;
    screen.stage().installEventFilter(&meter);
    const int framesBefore = screen.stage().frameCount();
    for (auto _ : state) {
        const double cpu = processSeconds();
        QElapsedTimer wall;
        wall.start();
        run(10'000);
        const double seconds = double(wall.nsecsElapsed()) * 1e-9;
        state.SetIterationTime(seconds);
        state.counters["cpu_percent"] = 100.0 * (processSeconds() - cpu) / seconds;
        state.counters["frames_per_s"] = (screen.stage().frameCount() - framesBefore) / seconds;
        state.counters["paints_per_s"] = meter.paints / seconds;
        state.counters["painted_px_per_paint"] = meter.paints ? meter.pixels / meter.paints : 0.0;
    }
    state.SetLabel(what == Deck::playing ? "record playing" : what == Deck::needleUp ? "platter turning, needle up" : "at rest");
}
BENCHMARK(livePlaying)->Arg(int(Deck::playing))->Arg(int(Deck::needleUp))->Arg(int(Deck::rest))
    ->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);

} // namespace
