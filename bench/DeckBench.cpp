// The deck's per-frame cost: one whole frame of the deck (body with its mat, the disc
// turned to an arbitrary angle with its sheen, the tonearm and every control) painted
// into a 1600 x 1000 stage, and one step of the deck's motion.

#include "paint/FontRegistration.h"
#include "scenes/deck/DeckBody.h"
#include "scenes/deck/DeckDrawings.h"
#include "scenes/deck/DeckFrame.h"
#include "scenes/deck/DeckGeometry.h"
#include "scenes/deck/DeckMotion.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <benchmark/benchmark.h>

#include <thread>

using namespace velloran;

namespace {

QImage labelArtwork()
{
    QImage image(300, 300, QImage::Format_ARGB32_Premultiplied);
    QPainter p(&image);
    QLinearGradient fill(0, 0, 0, 300);
    fill.setColorAt(0, QColor(38, 74, 110));
    fill.setColorAt(1, QColor(196, 98, 60));
    p.fillRect(image.rect(), fill);
    return image;
}

// Arg 0: the device pixel ratio. Arg 1: 0 repaints what the deck's live layer covers (as
// the stage does, the table and decor around it being unchanged), 1 the whole stage.
void deckFrame(benchmark::State &state)
{
    const qreal dpr = qreal(state.range(0));
    const QRectF repaint = state.range(1) ? QRectF(QPointF(0, 0), deck::stageSize) : DeckFramePainter::bounds;
    QImage frame = makeCanvas(deck::stageSize, dpr);
    DeckBodyRenderer body;
    DeckFramePainter live;
    // The stage keeps its static layers (table, decor, the deck's body with its mat) as one
    // opaque image; a frame starts from it.
    QImage backdrop(frame.size(), QImage::Format_RGB32);
    backdrop.setDevicePixelRatio(dpr);
    backdrop.fill(QColor(112, 76, 46));
    {
        QPainter p(&backdrop);
        prepare(p);
        body.sprite(dpr).draw(p);
    }
    DeckFrameState deckState;
    deckState.face = DiscFace{QUrl(QStringLiteral("https://covers.invalid/a.jpg")), {0.18, 0.41, 0.66, 0.83},
                              QStringLiteral("A")};
    deckState.labelArtwork = labelArtwork();
    deckState.arm = armAngle(150);
    deckState.powerLamp = 1.0;
    deckState.knobAngle = 60.0;
    deckState.motor = true;
    deckState.pitch = 1.5;
    deckState.targetLight = 1.0;
    double angle = 0.0;

    // The live layer's drawings are made once, before the first frame is measured.
    {
        QPainter p(&frame);
        live.paint(p, deckState, dpr);
    }

    for (auto _ : state) {
        // A turn that never repeats a whole-degree angle, so no frame is like another.
        angle = std::fmod(angle + 37.37, 360.0);
        deckState.rotation = angle;
        deckState.arm = armAngle(150) + 0.12 * std::sin(angle);
        QPainter p(&frame);
        prepare(p);
        p.drawImage(repaint, backdrop, QRectF(repaint.topLeft() * dpr, repaint.size() * dpr));
        live.paint(p, deckState, dpr);
        p.end();
        benchmark::DoNotOptimize(frame.constBits());
    }
    state.SetLabel(QStringLiteral("DPR %1, %2").arg(dpr).arg(state.range(1) ? u"whole stage" : u"deck layer").toStdString());
}
BENCHMARK(deckFrame)->Args({1, 0})->Args({2, 0})->Args({1, 1})->Args({2, 1})->Unit(benchmark::kMillisecond)->MinWarmUpTime(0.5)->MeasureProcessCPUTime()->UseRealTime();

void deckMotionStep(benchmark::State &state)
{
    DeckMotion motion;
    DeckInputs inputs;
    inputs.motor = true;
    inputs.targetRPM = 33.333333333333336;
    inputs.rest = false;
    double t = 0.0;
    int frame = 0;
    for (auto _ : state) {
        t += 1.0 / 60.0;
        ++frame;
        // Alternate between tracking, travelling and a drag so that every branch runs.
        inputs.armTarget = 28.0 + (frame % 600) * 0.034;
        inputs.drag.reset();
        if (frame % 900 > 850)
            inputs.drag = 40.0;
        motion.step(t, inputs);
        benchmark::DoNotOptimize(motion.arm());
    }
}
// The first frame of the deck: with every drawing still to make, as when the stage first
// shows or moves to a screen of another pixel ratio; or once they were made ahead on a worker
// thread, as the turntable screen has them made before it first shows.
void deckFirstFrame(benchmark::State &state)
{
    const qreal dpr = qreal(state.range(0));
    const bool ahead = state.range(1) != 0;
    QImage frame = makeCanvas(deck::stageSize, dpr);
    DeckFrameState deckState;
    deckState.face = DiscFace{{}, {0.5}, QStringLiteral("A")};
    for (auto _ : state) {
        state.PauseTiming();
        DeckDrawings drawings;
        if (ahead) {
            std::thread worker([&] { drawings.prepare(DeckDrawings::likelyFrames(deckState), dpr); });
            worker.join();
        }
        state.ResumeTiming();
        QPainter p(&frame);
        drawings.body.sprite(dpr).draw(p);
        drawings.live.paint(p, deckState, dpr);
    }
    state.SetLabel(ahead ? "drawings made ahead" : "every drawing to make");
}
BENCHMARK(deckFirstFrame)->ArgsProduct({{1, 2}, {0, 1}})->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();

BENCHMARK(deckMotionStep)->Unit(benchmark::kNanosecond);

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    fonts::registerBundledFonts();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
