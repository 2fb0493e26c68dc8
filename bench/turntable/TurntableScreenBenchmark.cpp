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
