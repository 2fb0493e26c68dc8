// How long the collection's main-thread work takes on a large library.
//
//   build/bin/bench_collection
//
// Figures to meet: constructing the library from its snapshot 300 ms, the shelf entries
// 10 ms, each sort 15 ms, scheduling a save 5 ms, the colour of one cover 2 ms.

#include "CollectionFixture.h"

#include "artwork/ArtworkDecoding.h"
#include "artwork/ArtworkStore.h"
#include "core/ManualClock.h"
#include "model/AtomicFile.h"
#include "model/SupportDirectory.h"
#include "scenes/browse/ShelfOrder.h"
#include "spotify/SpotifyAPI.h"

#include <QBuffer>
#include <QGuiApplication>
#include <QImageWriter>
#include <QJsonDocument>
#include <QLinearGradient>
#include <QNetworkAccessManager>
#include <QPainter>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThreadPool>

#include <benchmark/benchmark.h>

using namespace Qt::StringLiterals;
using namespace velloran;

namespace {

// A client that is never asked for anything: the library only reads its snapshot here.
SpotifyAPI &idleApi()
{
    static QNetworkAccessManager network;
    static SpotifyAPI api([](bool) -> QCoro::Task<QString> { co_return QString(); }, QUrl(u"http://127.0.0.1:1/v1/"_s),
                          &network, SystemClock::shared());
    return api;
}

void writeSnapshot()
{
    static bool written = false;
    if (written)
        return;
    const QByteArray bytes = QJsonDocument(bench::generatedSnapshot().toJson()).toJson(QJsonDocument::Compact);
    writeFileAtomically(supportPath(Library::fileName()), bytes);
    written = true;
}

Library &library()
{
    writeSnapshot();
    static ManualClock clock;
    static Library library(idleApi(), clock);
    return library;
}

void BM_LibraryFromSnapshot(benchmark::State &state)
{
    writeSnapshot();
    ManualClock clock;
    for (auto _ : state) {
        Library loaded(idleApi(), clock);
        benchmark::DoNotOptimize(loaded.albums().size());
    }
    state.counters["albums"] = double(library().albums().size());
}
BENCHMARK(BM_LibraryFromSnapshot)->Unit(benchmark::kMillisecond);

void BM_Entries(benchmark::State &state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(library().entries());
    state.counters["entries"] = double(library().entries().size());
}
BENCHMARK(BM_Entries)->Unit(benchmark::kMillisecond);

void BM_Sort(benchmark::State &state)
{
    const auto sort = ShelfSort(state.range(0));
    const QList<ShelfEntry> entries = library().entries();
    // Every second cover has a known colour.
    QHash<QString, CodableColour> colours;
    for (qsizetype i = 0; i < entries.size(); i += 2)
        colours.insert(entries.at(i).artworkURL->toString(), {double(i % 17) / 17, double(i % 5) / 5, 0.4});
    const KnownColour known = [&colours](const QUrl &url) -> std::optional<CodableColour> {
        const auto it = colours.constFind(url.toString());
        return it == colours.constEnd() ? std::nullopt : std::optional(*it);
    };
    for (auto _ : state)
        benchmark::DoNotOptimize(sorted(sort, entries, known));
    state.SetLabel(rawValue(sort).toStdString());
}
BENCHMARK(BM_Sort)->DenseRange(0, 3)->Unit(benchmark::kMillisecond);

void BM_ScheduleSave(benchmark::State &state)
{
    ManualClock clock;
    Library loaded(idleApi(), clock);
    int scheduled = 0;
    for (auto _ : state) {
        loaded.scheduleSave();
        if (++scheduled % 100 == 0) {
            state.PauseTiming();
            clock.advanceSeconds(1);
            fileWriterPool().waitForDone();
            state.ResumeTiming();
        }
    }
    clock.advanceSeconds(1);
    fileWriterPool().waitForDone();
}
BENCHMARK(BM_ScheduleSave)->Unit(benchmark::kMicrosecond);

QByteArray coverBytes(const char *format)
{
    QImage image(640, 640, QImage::Format_RGB32);
    QPainter painter(&image);
    QLinearGradient gradient(0, 0, 640, 640);
    gradient.setColorAt(0, QColor(200, 40, 60));
    gradient.setColorAt(1, QColor(30, 60, 160));
    painter.fillRect(image.rect(), gradient);
    painter.end();
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter(&buffer, format).write(image);
    return bytes;
}

void BM_CoverColour(benchmark::State &state)
{
    const QByteArray bytes = coverBytes("JPEG");
    for (auto _ : state)
        benchmark::DoNotOptimize(representativeColour(bytes));
    state.SetLabel("640 px JPEG");
}
BENCHMARK(BM_CoverColour)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir home;
    qputenv("HOME", QFile::encodeName(home.path()));
    QStandardPaths::setTestModeEnabled(true);
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    fileWriterPool().waitForDone();
    return 0;
}
