// One frame of the turntable screen while a record plays: a step of the deck's motion and
// a redraw of the stage and the readout, at 1600 x 1000 points and a device pixel ratio of 1.

#include "ScreenFixture.h"

#include "paint/FontRegistration.h"
#include "scenes/turntable/Readout.h"
#include "scenes/turntable/TabletopStage.h"
#include "scenes/turntable/TurntableScreen.h"

#include <QApplication>
#include <QPainter>
#include <QStandardPaths>

#include <benchmark/benchmark.h>

using namespace velloran;
using namespace velloran::test;

static void StageFramePlaying(benchmark::State &state)
{
    DeckHarness deck;
    const Record record = sampleRecord(QStringLiteral("harbour"), QStringLiteral("Harbour Lights"));
    deck.library.add(record);
    deck.library.add(sampleRecord(QStringLiteral("orchard"), QStringLiteral("Orchard at Dusk")));
    deck.library.add(sampleRecord(QStringLiteral("tide"), QStringLiteral("Tidewater")));
    TurntableScreen screen(deck.turntable, deck.library, deck.clock);
    screen.resize(1600, 1000);
    deck.play(record, 120'000);

    QImage target(1600, 1000, QImage::Format_ARGB32_Premultiplied);
    const auto frame = [&] {
        deck.clock.advanceSeconds(1.0 / 60);
        screen.stage().advanceFrame();
        screen.readout().refresh();
        QPainter painter(&target);
        screen.stage().paintStage(painter, 1.0);
        painter.translate(screen.readout().pos());
        screen.readout().render(&painter, {}, {}, QWidget::RenderFlags());
    };
    // The first frames render every drawing once; the loop measures the frames after.
    for (int i = 0; i < 120; ++i)
        frame();
    for (auto _ : state)
        frame();
}
BENCHMARK(StageFramePlaying)->Unit(benchmark::kMillisecond)->MinTime(2.0);

namespace {

// A screen at 1600 x 1000 with a record on the platter, its deck stopped.
struct StillScreen {
    DeckHarness deck;
    Record record = sampleRecord(QStringLiteral("harbour"), QStringLiteral("Harbour Lights"));
    TurntableScreen screen{deck.turntable, deck.library, deck.clock};

    StillScreen()
    {
        deck.library.add(record);
        deck.library.add(sampleRecord(QStringLiteral("orchard"), QStringLiteral("Orchard at Dusk")));
        screen.resize(1600, 1000);
        screen.show(); // so that a resize reaches the stage at once
        deck.play(record);
    }

    // The whole stage into `target`, as a frame of the window.
    void paint(QImage &target, qreal dpr)
    {
        QPainter painter(&target);
        screen.stage().paintStage(painter, dpr);
    }

    // Two seconds of frames: the arm on its groove, the pile's springs at rest.
    void settle()
    {
        for (int i = 0; i < 120; ++i) {
            deck.clock.advanceSeconds(1.0 / 60);
            screen.stage().advanceFrame();
        }
    }
};

QImage stageTarget(QSize size, qreal dpr)
{
    QImage target(size * dpr, QImage::Format_ARGB32_Premultiplied);
    target.setDevicePixelRatio(dpr);
    return target;
}

} // namespace

// The first frame of a new screen: with every drawing still to make (table, mug, pile, cables,
// deck, controls), as a screen shown at once; or once it has made them ahead on a worker
// thread (`prepareDrawings`), as the rooms have it do while another room shows.
static void StageFirstFrame(benchmark::State &state)
{
    const qreal dpr = qreal(state.range(0));
    const bool ahead = state.range(1) != 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto still = std::make_unique<StillScreen>();
        QImage target = stageTarget(still->screen.size(), dpr);
        if (ahead) {
            still->screen.stage().prepareDrawings(still->screen.size(), dpr);
            still->screen.stage().waitForDrawings();
        }
        state.ResumeTiming();
        QPainter painter(&target);
        still->screen.stage().paintStage(painter, dpr);
        painter.end();
        state.PauseTiming();
        still.reset();
        state.ResumeTiming();
    }
    state.SetLabel(ahead ? "drawings made ahead" : "every drawing to make");
}
BENCHMARK(StageFirstFrame)->ArgsProduct({{1, 2}, {0, 1}})->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();

// A repaint of the whole stage with every drawing made, as while a disc travels between
// sleeve and platter or the record flips.
static void StageWholeRepaint(benchmark::State &state)
{
    const qreal dpr = qreal(state.range(0));
    StillScreen still;
    QImage target = stageTarget(still.screen.size(), dpr);
    still.settle();
    still.paint(target, dpr);
    for (auto _ : state)
        still.paint(target, dpr);
}
BENCHMARK(StageWholeRepaint)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();

// A step of a window being resized: the stage fitted to the new size, its back layer made
// again and the whole stage painted.
static void StageResizeStep(benchmark::State &state)
{
    const qreal dpr = qreal(state.range(0));
    StillScreen still;
    QImage target = stageTarget(QSize(1640, 1000), dpr);
    still.settle();
    int step = 0;
    for (int i = 0; i < 8; ++i) {
        still.screen.resize(1600 + 5 * i, 1000);
        still.paint(target, dpr);
    }
    for (auto _ : state) {
        still.screen.resize(1600 + 5 * (step++ % 8), 1000);
        still.paint(target, dpr);
    }
}
BENCHMARK(StageResizeStep)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();

// A step of a window being resized across a step of the drawings' pixel ratio (a stage scaled
// up by an eighth, its drawings rendered for the larger pixels): the frame the window shows.
static void StageResizeAcrossARatioStep(benchmark::State &state)
{
    const qreal dpr = qreal(state.range(0));
    StillScreen still;
    still.settle();
    const QSize sizes[] = {QSize(1600, 1000), QSize(1800, 1125)};
    QImage targets[] = {stageTarget(sizes[0], dpr), stageTarget(sizes[1], dpr)};
    still.paint(targets[0], dpr);
    int step = 0;
    for (auto _ : state) {
        const int i = ++step % 2;
        still.screen.resize(sizes[i]);
        still.paint(targets[i], dpr);
    }
}
BENCHMARK(StageResizeAcrossARatioStep)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->UseRealTime();

// The frame that takes over the drawings made for a window resized across a ratio step: what
// is not made ahead (the pile's covers, the sleeve beside the deck) is made in it.
static void StageTakeoverAfterResize(benchmark::State &state)
{
    const qreal dpr = qreal(state.range(0));
    StillScreen still;
    still.settle();
    const QSize sizes[] = {QSize(1600, 1000), QSize(1800, 1125)};
    QImage targets[] = {stageTarget(sizes[0], dpr), stageTarget(sizes[1], dpr)};
    int step = 0;
    for (auto _ : state) {
        state.PauseTiming();
        const int i = ++step % 2;
        still.paint(targets[1 - i], dpr);
        still.screen.resize(sizes[i]);
        still.paint(targets[i], dpr);
        still.screen.stage().waitForDrawings();
        state.ResumeTiming();
        still.paint(targets[i], dpr);
    }
}
BENCHMARK(StageTakeoverAfterResize)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->UseRealTime();
