// The crate and the rooms with a collection of 6,000 entries: the crate's item list built,
// one frame of the crate while its cards move, a step of a window being resized over the
// crate, switching rooms up to the first frame of the new room, and one frame of the flying
// sleeve over the shelf wall.

#include "scenes/rooms/RoomsFixture.h"

#include "paint/FontRegistration.h"
#include "scenes/crate/CratesView.h"
#include "scenes/rooms/FlyingSleeve.h"
#include "scenes/shelf/ShelfView.h"

#include <QApplication>
#include <QPainter>
#include <QStandardPaths>

#include <benchmark/benchmark.h>

using namespace velloran;
using namespace velloran::test;
using namespace Qt::StringLiterals;

namespace {

constexpr int albums = 5000;
constexpr int playlists = 1000;

// Artists across the alphabet (with and without "The "), a few starting with a digit.
QList<ShelfEntry> bigCollection()
{
    static const QStringList first{u"Ada"_s, u"Bell"_s, u"Cole"_s, u"Dune"_s, u"Elm"_s, u"Fern"_s, u"Gale"_s,
                                   u"Holm"_s, u"Iris"_s, u"Juno"_s, u"Kite"_s, u"Lark"_s, u"Moss"_s, u"Nell"_s,
                                   u"Oak"_s, u"Pike"_s, u"Quill"_s, u"Rook"_s, u"Sage"_s, u"Tern"_s, u"Umber"_s,
                                   u"Vale"_s, u"Wren"_s, u"Xeno"_s, u"Yew"_s, u"Zinc"_s, u"4th"_s};
    static const QStringList second{u"Harbour"_s, u"Lights"_s, u"Orchard"_s, u"Quartet"_s, u"Rooms"_s, u"Ferns"_s};
    QList<ShelfEntry> entries;
    for (int i = 0; i < albums + playlists; ++i) {
        const bool isPlaylist = i >= albums;
        ShelfEntry e;
        const QString id = (isPlaylist ? u"p%1"_s : u"a%1"_s).arg(i);
        e.item = isPlaylist ? LibraryItem::playlist(id) : LibraryItem::album(id);
        e.title = second.at((i * 5) % second.size()) + u' ' + QString::number(i);
        e.artist = (i % 5 == 0 ? u"The "_s : QString()) + first.at((i * 7) % first.size()) + u' '
            + second.at(i % second.size());
        if (!isPlaylist && i % 9 != 0)
            e.year = QString::number(1958 + (i * 13) % 64);
        e.order = i;
        entries.append(e);
    }
    return entries;
}

// The crate over the big collection, shown at 1600 x 1000 (a hidden widget has its resize
// event only when shown, and with it the crate's geometry).
struct BigCrate {
    BigCrate()
    {
        library.setEntries(bigCollection());
        view.resize(1600, 1000);
        view.show();
    }

    ManualClock clock;
    TestSettings settings;
    ScriptedLibrary library;
    CratesView view{{library, *settings, clock, {}}};
};

} // namespace

static void CrateItemsBuilt(benchmark::State &state)
{
    const QList<ShelfEntry> entries = bigCollection();
    for (auto _ : state) {
        const QList<crate::CrateItem> items = crate::crateItems(entries, ShelfKind::all);
        benchmark::DoNotOptimize(items.size());
    }
}
BENCHMARK(CrateItemsBuilt)->Unit(benchmark::kMillisecond);

// One frame while the cards move: a step forwards every eighth frame, so the cards are
// always on their spring; covers are plain (no artwork), the cards' drawing is the same.
static void CrateFrameMoving(benchmark::State &state)
{
    const qreal dpr = qreal(state.range(0));
    BigCrate crate;
    CratesView &view = crate.view;
    ManualClock &clock = crate.clock;
    QImage target(QSize(1600, 1000) * dpr, QImage::Format_RGB32);
    target.setDevicePixelRatio(dpr);
    int frame = 0;
    const auto step = [&] {
        if (frame++ % 8 == 0)
            view.go(view.current() + 1);
        clock.advanceSeconds(1.0 / 60);
        view.advanceFrame();
        // What the frame asks to repaint: the stack of cards with the front board.
        QPainter painter(&target);
        view.paintCrate(painter, dpr, view.geometry().stackArea().toAlignedRect());
    };
    for (int i = 0; i < 40; ++i)
        step();
    for (auto _ : state)
        step();
}
// Qt's raster engine hands parts of large draws to its own threads: every thread's time counts.
BENCHMARK(CrateFrameMoving)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->MinTime(2.0)->MeasureProcessCPUTime()->UseRealTime();

// A step of a window being resized over the crate, at rest: the room and the crate fitted to
// the new size and the whole view painted.
static void CrateResizeStep(benchmark::State &state)
{
    const qreal dpr = qreal(state.range(0));
    BigCrate crate;
    CratesView &view = crate.view;
    QImage target(QSize(1680, 1040) * dpr, QImage::Format_RGB32);
    target.setDevicePixelRatio(dpr);
    {
        QPainter painter(&target);
        view.paintCrate(painter, dpr, view.rect());
    }
    int step = 0;
    for (auto _ : state) {
        ++step;
        view.resize(1600 + 10 * (step % 8), 1000 + 5 * (step % 8));
        view.settle();
        QPainter painter(&target);
        view.paintCrate(painter, dpr, view.rect());
    }
}
BENCHMARK(CrateResizeStep)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();

// From pressing a room to the first frame of the new room, for each room in turn.
static void RoomSwitchFirstFrame(benchmark::State &state)
{
    const auto to = Navigation::Screen(state.range(0));
    RoomsFixture f(QSize(1600, 1000));
    f.deck.library.setEntries(bigCollection());
    QImage target(QSize(1600, 1000), QImage::Format_RGB32);
    for (auto _ : state) {
        state.PauseTiming();
        f.navigation.setScreen(to == Navigation::Screen::shelf ? Navigation::Screen::crates : Navigation::Screen::shelf);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        state.ResumeTiming();
        f.navigation.setScreen(to);
        f.rooms->room()->render(&target);
        state.PauseTiming();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        state.ResumeTiming();
    }
    static const char *names[] = {"to shelf", "to crates", "to turntable"};
    state.SetLabel(names[state.range(0)]);
}
BENCHMARK(RoomSwitchFirstFrame)->DenseRange(0, 2)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// One frame of a sleeve flying over the shelf wall: the wall redrawn where the sleeve was and
// is, and the sleeve over it.
static void FlyingSleeveOverShelf(benchmark::State &state)
{
    const qreal dpr = qreal(state.range(0));
    RoomsFixture f(QSize(1600, 1000));
    f.deck.library.setEntries(bigCollection());
    auto *shelf = qobject_cast<ShelfView *>(f.rooms->room());
    FlyingSleeve &sleeve = f.rooms->flyingSleeve();
    // A flight held beside the table while the old record is stowed; the shelf stays on.
    f.deck.play(f.library.records[0]);
    const Record &next = f.library.records[1];
    f.navigation.setFlight(SleeveFlight{QUuid::createUuid(), ShelfEntry::fromRecord(next), QRectF(700, 300, 360, 360)});
    f.deck.turntable.load(next, true);
    QImage target(QSize(1600, 1000) * dpr, QImage::Format_RGB32);
    target.setDevicePixelRatio(dpr);
    {
        QPainter painter(&target);
        shelf->paintWall(painter, dpr, shelf->rect());
    }
    QRectF before = sleeve.sleeveBounds();
    int frame = 0;
    for (auto _ : state) {
        state.PauseTiming();
        if (++frame % 90 == 0) // a new flight from the start
            f.navigation.setFlight(
                SleeveFlight{QUuid::createUuid(), ShelfEntry::fromRecord(next), QRectF(700, 300, 360, 360)});
        f.deck.clock.advanceSeconds(1.0 / 120);
        state.ResumeTiming();
        sleeve.advanceFrame();
        const QRectF now = sleeve.sleeveBounds();
        const QRectF exposed = before.united(now).toAlignedRect();
        before = now;
        QPainter painter(&target);
        painter.setClipRect(exposed);
        shelf->paintWall(painter, dpr, exposed);
        sleeve.paintSleeve(painter, dpr);
    }
}
BENCHMARK(FlyingSleeveOverShelf)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->MinTime(2.0)->MeasureProcessCPUTime()->UseRealTime();
