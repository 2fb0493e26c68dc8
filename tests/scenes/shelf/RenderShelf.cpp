// Renders the shelf wall and the pull-out in their main states into PNG files, at the wide
// and the narrow window sizes and at pixel ratios 1 and 2, so that the drawing can be looked
// at without running the program.
//
//   velloran-render-shelf [output folder]    (default: "renders" beside the bin folder)

#include "ShelfFixture.h"
#include "TemporaryHome.h"

#include "artwork/ArtworkStore.h"
#include "model/PlayHistory.h"
#include "paint/FontRegistration.h"
#include "paint/RenderToolCommandLine.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QNetworkAccessManager>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextStream>

#include <cstdio>
#include <functional>

using namespace velloran;
using namespace velloran::test;
using namespace Qt::StringLiterals;

namespace {

void waitFor(int ms, const std::function<bool()> &done = {})
{
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < ms && !(done && done()))
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QStandardPaths::setTestModeEnabled(true);
    QApplication app(argc, argv);
    const RenderToolCommandLine line = RenderToolCommandLine::parse(QCoreApplication::arguments(), u"Renders the shelf wall and the pull-out in their main states into PNG files."_s);
    if (line.exitCode)
        return *line.exitCode;
    fonts::registerBundledFonts();
    const std::optional<QString> outputFolder = line.outputFolder();
    if (!outputFolder)
        return 1;
    const QString &folder = *outputFolder;
    // A data folder of its own, so that no colours or history of an earlier run show.
    TemporaryHome home;
    QTemporaryDir covers;

    QNetworkAccessManager network;
    ManualClock clock;
    ArtworkStore store(&network, SystemClock::shared());
    ArtworkStore::setShared(&store);
    TestSettings settings;
    PlayHistory history(clock);
    ScriptedLibrary library;
    fillShelfLibrary(library, covers.path(), 120, 12);
    for (const ShelfEntry &e : library.entries())
        library.add(sampleRecord(e.item.id, e.title, 2,
                                 e.item.kind == LibraryItem::Kind::playlist ? Record::Kind::playlist
                                                                            : Record::Kind::album,
                                 e.artworkURL));
    // Keep the entries as made (the records above were added for the pull-out only).
    QList<ShelfEntry> entries = library.entries().mid(0, 132);
    library.setEntries(entries);
    for (const ShelfEntry &e : entries)
        library.cache(e.item);
    for (const int i : {17, 3, 125, 40})
        history.record(sampleRecord(entries.at(i).item.id, entries.at(i).title, 2,
                                    entries.at(i).item.kind == LibraryItem::Kind::playlist ? Record::Kind::playlist
                                                                                            : Record::Kind::album));

    QTextStream out(stdout);
    bool ok = true;
    for (const QSize size : {QSize(1600, 1000), QSize(820, 560)}) {
        QWidget window;
        window.resize(size);
        ShelfView view({library, history, *settings, clock, {}, &store}, &window);
        view.resize(size);
        window.show();
        view.setSort(ShelfSort::recent);
        view.setKind(ShelfKind::all);
        // Let every cover and the spines' colours in view arrive.
        const auto settle = [&] {
            for (int round = 0; round < 3; ++round) {
                drawShelfView(view, 1.0);
                waitFor(1500);
            }
            view.settle();
        };
        const auto save = [&](const QString &name) {
            for (const qreal dpr : {1.0, 2.0}) {
                const QString path = u"%1/shelf-%2-%3x%4@%5x.png"_s.arg(folder, name)
                                         .arg(size.width())
                                         .arg(size.height())
                                         .arg(int(dpr));
                if (!drawShelfView(view, dpr).save(path)) {
                    std::fprintf(stderr, "Cannot write %s\n", qPrintable(path));
                    ok = false;
                }
                out << path << '\n';
                out.flush();
            }
        };
        settle();
        save(u"top"_s);
        view.setScrollOffset(view.wallLayout().shelvesTop + 2 * shelf::WallLayout::rowPitch);
        settle();
        save(u"scrolled"_s);
        view.setScrollOffset(view.wallLayout().collectionHeader.top() - 40);
        for (const ShelfSort sort : {ShelfSort::artist, ShelfSort::year}) {
            view.setSort(sort);
            settle();
            save(u"sort-"_s + rawValue(sort));
        }
        view.setKind(ShelfKind::playlist);
        view.setScrollOffset(0);
        settle();
        save(u"kind-playlist"_s);
        view.setKind(ShelfKind::all);
        view.setSort(ShelfSort::colour);
        waitFor(20'000, [&] { return view.colourPass() > 0; });
        view.setScrollOffset(view.wallLayout().collectionHeader.top() - 40);
        settle();
        save(u"sort-colour"_s);

        view.setSort(ShelfSort::recent);
        view.setScrollOffset(0);
        view.hoverCover(1);
        view.hoverSpine(2);
        settle();
        save(u"ledge-hovered"_s);
        view.hoverCover(std::nullopt);
        view.hoverSpine(std::nullopt);
        view.settle();

        view.pull(view.lists().featured.at(0));
        for (int i = 0; i < 150; ++i) {
            clock.advanceSeconds(1.0 / 60);
            if (view.pullOut())
                view.pullOut()->advanceFrame();
        }
        clock.settle();
        waitFor(1500);
        save(u"pull-out"_s);
    }
    ArtworkStore::setShared(nullptr);
    return ok ? 0 : 1;
}
