// The shelf wall and the pull-out with a collection of 5,000 albums and 1,000 playlists:
// the lists rebuilt after a change of kind or sort, a frame of the wall while scrolling, the
// first frame after the view appears, a step of a window being resized, a frame of the
// pull-out while its disc turns, and the memory the wall's caches take after scrolling the
// whole wall once.

#include "ShelfFixture.h"
#include "TemporaryHome.h"

#include "artwork/ArtworkStore.h"
#include "model/PlayHistory.h"
#include "paint/FontRegistration.h"

#include <QApplication>
#include <QFile>
#include <QNetworkAccessManager>
#include <QPainter>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <unistd.h>

using namespace velloran;
using namespace velloran::test;
using namespace Qt::StringLiterals;

namespace {

constexpr int albums = 5000;
constexpr int playlists = 1000;

// Everything a shelf view runs on, with the big collection; covers are not drawn here (their
// colours are, from a table), so the figures are the wall's own.
struct Collection {
    Collection()
    {
        ArtworkStore::setShared(&store);
        fillShelfLibrary(library, dir.path(), albums, playlists, false);
        QList<ShelfEntry> entries = library.entries();
        for (qsizetype i = 0; i < entries.size(); ++i) {
            withCovers.append(entries.at(i));
            withCovers.last().artworkURL = QUrl(u"file:///covers/"_s + entries.at(i).item.id);
            entries[i].artworkURL.reset();
            colours.insert(entries.at(i).item.id,
                           CodableColour{std::fmod(i * 0.137, 1.0), std::fmod(i * 0.29, 1.0), std::fmod(i * 0.71, 1.0)});
        }
        library.setEntries(entries);
        for (int i = 0; i < 30; ++i)
            history.record(sampleRecord(entries.at(i * 97).item.id, entries.at(i * 97).title));
    }
    ~Collection() { ArtworkStore::setShared(nullptr); }

    ShelfView::Services services() { return {library, history, *settings, clock, {}, &store}; }

    QTemporaryDir dir;
    ManualClock clock;
    QNetworkAccessManager network;
    ArtworkStore store{&network, clock};
    TestSettings settings;
    PlayHistory history{clock};
    ScriptedLibrary library;
    QHash<QString, CodableColour> colours;
    // The same entries with cover addresses, whose colours `colours` holds by file name.
    QList<ShelfEntry> withCovers;
};

Collection &collection()
{
    static Collection c;
    return c;
}

// Resident memory of the process, in bytes.
qint64 residentBytes()
{
    QFile statm(u"/proc/self/statm"_s);
    if (!statm.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.size() > 1 ? fields.at(1).toLongLong() * sysconf(_SC_PAGESIZE) : 0;
}

} // namespace

static void ListsRebuilt(benchmark::State &state)
{
    Collection &c = collection();
    const auto sort = ShelfSort(state.range(0));
    const auto kind = ShelfKind(state.range(1));
    const KnownColour known = [&c](const QUrl &url) { return std::optional(c.colours.value(url.fileName())); };
    const QList<ShelfEntry> entries = c.withCovers;
    QList<LibraryItem> history;
    for (const PlayHistoryEntry &e : c.history.entries())
        history.append(e.item);
    for (auto _ : state) {
        const shelf::ShelfLists lists = shelf::ShelfLists::build(entries, kind, sort, known, history);
        const shelf::WallLayout layout = shelf::WallLayout::make(1600, lists.featured.size(), lists.thickness);
        benchmark::DoNotOptimize(layout.rows.size());
    }
    state.SetLabel(QString(rawValue(kind) + u'-' + rawValue(sort)).toStdString());
}
BENCHMARK(ListsRebuilt)
    ->ArgsProduct({{0, 1, 2, 3}, {0}})
    ->Args({0, 1})
    ->Args({1, 2})
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime();

// One frame while the wall scrolls steadily down (about 1,100 points a second at 60 frames a
// second), wrapping at the bottom: spines coming into view are drawn, the rest come from the
// cache.
static void WallFrameScrolling(benchmark::State &state)
{
    Collection &c = collection();
    const qreal dpr = qreal(state.range(0));
    ShelfView view(c.services());
    view.resize(1600, 1000);
    QImage target(QSize(1600, 1000) * dpr, QImage::Format_RGB32);
    target.setDevicePixelRatio(dpr);
    double offset = view.wallLayout().shelvesTop;
    const auto frame = [&] {
        offset += 18;
        if (offset > view.maxScroll())
            offset = view.wallLayout().shelvesTop;
        view.setScrollOffset(offset);
        QPainter painter(&target);
        view.paintWall(painter, dpr, view.rect());
    };
    for (int i = 0; i < 30; ++i)
        frame();
    for (auto _ : state)
        frame();
    state.counters["spine_cache_MB"] = double(view.cachedBytes()) / (1024.0 * 1024.0);
    state.counters["spines_drawn"] = view.spines().renderCount();
}
BENCHMARK(WallFrameScrolling)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->MinTime(3.0)->MeasureProcessCPUTime();

// The first frame after the view appears: the lists built, the wall and every spine in view
// drawn for the first time.
static void WallFirstFrame(benchmark::State &state)
{
    Collection &c = collection();
    const qreal dpr = qreal(state.range(0));
    QImage target(QSize(1600, 1000) * dpr, QImage::Format_RGB32);
    target.setDevicePixelRatio(dpr);
    for (auto _ : state) {
        ShelfView view(c.services());
        view.resize(1600, 1000);
        QPainter painter(&target);
        view.paintWall(painter, dpr, view.rect());
        painter.end();
        state.PauseTiming();
        // The view goes outside the measurement.
        state.ResumeTiming();
    }
}
BENCHMARK(WallFirstFrame)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->MinTime(2.0)->MeasureProcessCPUTime();

// A step of a window being resized: the wall behind the shelves and the boards, whose sizes
// follow the window's, drawn again, and the whole wall painted.
static void WallResizeStep(benchmark::State &state)
{
    Collection &c = collection();
    const qreal dpr = qreal(state.range(0));
    ShelfView view(c.services());
    view.resize(1600, 1000);
    view.show(); // so that a resize reaches the view at once
    QImage target(QSize(1680, 1040) * dpr, QImage::Format_RGB32);
    target.setDevicePixelRatio(dpr);
    int step = 0;
    for (auto _ : state) {
        ++step;
        view.resize(1600 + 10 * (step % 8), 1000 + 5 * (step % 8));
        QPainter painter(&target);
        view.paintWall(painter, dpr, view.rect());
    }
}
BENCHMARK(WallResizeStep)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();

// One frame of the pull-out while its disc turns: the part the frame asks to repaint (the
// label; the vinyl looks the same at every angle).
static void PullOutFrameTurning(benchmark::State &state)
{
    Collection &c = collection();
    const qreal dpr = qreal(state.range(0));
    QWidget host;
    host.resize(1600, 1000);
    const ShelfEntry entry = c.library.entries().at(5);
    c.library.add(sampleRecord(entry.item.id, entry.title));
    c.library.cache(entry.item);
    PullOut pullOut(entry, c.library, c.clock, {}, &host, &c.store);
    pullOut.open();
    for (int i = 0; i < 150; ++i) {
        c.clock.advanceSeconds(1.0 / 60);
        pullOut.advanceFrame();
    }
    QImage target(QSize(1600, 1000) * dpr, QImage::Format_RGB32);
    target.setDevicePixelRatio(dpr);
    {
        QPainter painter(&target);
        pullOut.paintScene(painter, dpr, pullOut.rect());
    }
    for (auto _ : state) {
        c.clock.advanceSeconds(1.0 / 60);
        pullOut.advanceFrame();
        const QRectF exposed = pullOut.turningRect();
        QPainter painter(&target);
        painter.setClipRect(exposed);
        pullOut.paintScene(painter, dpr, exposed);
    }
    c.library.setEntries(c.library.entries().mid(0, albums + playlists));
}
BENCHMARK(PullOutFrameTurning)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->MinTime(2.0)->MeasureProcessCPUTime();

// The memory the wall adds while the whole wall is scrolled through once at pixel ratio 2,
// and whether it stays at its bound on a second time through.
static void WallMemoryAfterFullScroll(benchmark::State &state)
{
    Collection &c = collection();
    for (auto _ : state) {
        const qint64 before = residentBytes();
        auto view = std::make_unique<ShelfView>(c.services());
        view->resize(1600, 1000);
        QImage target(QSize(1600, 1000) * 2, QImage::Format_RGB32);
        target.setDevicePixelRatio(2);
        target.fill(Qt::black);
        const qint64 withTarget = residentBytes();
        qsizetype peakCache = 0;
        for (int pass = 0; pass < 2; ++pass) {
            for (double offset = 0; offset <= view->maxScroll() + 1; offset += 250) {
                view->setScrollOffset(offset);
                QPainter painter(&target);
                view->paintWall(painter, 2, view->rect());
                peakCache = std::max(peakCache, view->cachedBytes());
            }
            state.counters[pass == 0 ? "added_MB_first" : "added_MB_second"]
                = double(residentBytes() - withTarget) / (1024.0 * 1024.0);
        }
        state.counters["spine_cache_peak_MB"] = double(peakCache) / (1024.0 * 1024.0);
        state.counters["spine_cache_bound_MB"] = double(view->spines().budgetBytes()) / (1024.0 * 1024.0);
        state.counters["frame_target_MB"] = double(withTarget - before) / (1024.0 * 1024.0);
    }
}
BENCHMARK(WallMemoryAfterFullScroll)->Iterations(1)->Unit(benchmark::kMillisecond);

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QStandardPaths::setTestModeEnabled(true);
    TemporaryHome home;
    QApplication app(argc, argv);
    fonts::registerBundledFonts();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
