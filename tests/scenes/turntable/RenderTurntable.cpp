// Renders the turntable screen in a few states into PNG files, at the wide and the narrow
// window sizes, so that the drawing can be looked at without running the program.
//
//   velloran-render-turntable [--help] [output folder]    (default: "renders" beside the bin folder)

#include "ScreenFixture.h"

#include "artwork/ArtworkStore.h"
#include "paint/FontRegistration.h"
#include "paint/RenderToolCommandLine.h"
#include "scenes/sleeveback/Drawer.h"
#include "scenes/sleeveback/SleeveBack.h"
#include "scenes/turntable/TabletopStage.h"
#include "scenes/turntable/TurntableScreen.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLinearGradient>
#include <QNetworkAccessManager>
#include <QPainter>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextStream>

#include <cstdio>

using namespace velloran;
using namespace velloran::test;
using namespace Qt::StringLiterals;

namespace {

// A made-up cover: a dusk sky in two colours, a sun and the title.
QImage makeCover(const QString &title, QColor top, QColor bottom)
{
    const int size = 700;
    QImage image(size, size, QImage::Format_RGB32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 0, size);
    sky.setColorAt(0, top);
    sky.setColorAt(1, bottom);
    p.fillRect(image.rect(), sky);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 228, 180, 220));
    p.drawEllipse(QPointF(size * 0.64, size * 0.4), size * 0.16, size * 0.16);
    for (int i = 0; i < 5; ++i) {
        p.setBrush(QColor(0, 0, 0, 36 + 22 * i));
        p.drawRect(QRectF(0, size * (0.6 + 0.08 * i), size, size * 0.08));
    }
    p.setPen(QColor(250, 244, 232));
    QFont font(u"Instrument Serif"_s);
    font.setPixelSize(62);
    p.setFont(font);
    p.drawText(QRectF(44, 36, size - 88, 140), Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, title);
    return image;
}

void waitForArtwork(int ms)
{
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QStandardPaths::setTestModeEnabled(true);
    QApplication app(argc, argv);
    const RenderToolCommandLine line = RenderToolCommandLine::parse(
        QCoreApplication::arguments(), u"Renders the turntable screen in its main states into PNG files."_s);
    if (line.exitCode)
        return *line.exitCode;
    fonts::registerBundledFonts();
    const std::optional<QString> outputFolder = line.outputFolder();
    if (!outputFolder)
        return 1;
    const QString &folder = *outputFolder;

    QTemporaryDir covers;
    const struct {
        QString id;
        QString title;
        QColor top;
        QColor bottom;
        Record::Kind kind;
    } catalogue[] = {
        {u"harbour"_s, u"Harbour Lights"_s, {38, 74, 110}, {196, 98, 60}, Record::Kind::album},
        {u"orchard"_s, u"Orchard at Dusk"_s, {92, 60, 110}, {230, 160, 80}, Record::Kind::album},
        {u"tidewater"_s, u"Tidewater"_s, {20, 90, 96}, {210, 200, 160}, Record::Kind::album},
        {u"mix"_s, u"Sunday Kitchen"_s, {150, 60, 50}, {240, 190, 120}, Record::Kind::playlist},
        {u"ember"_s, u"Ember & Ash"_s, {40, 30, 30}, {200, 80, 40}, Record::Kind::album},
    };

    QNetworkAccessManager network;
    ArtworkStore store(&network, SystemClock::shared());
    ArtworkStore::setShared(&store);

    QTextStream out(stdout);
    const auto render = [&](const QString &name, QSize size, auto &&prepare, int frames = 480) {
        DeckHarness deck;
        QList<Record> records;
        for (const auto &item : catalogue) {
            const QString file = covers.filePath(item.id + u".png"_s);
            if (!QFileInfo::exists(file))
                makeCover(item.title, item.top, item.bottom).save(file);
            Record record = sampleRecord(item.id, item.title, item.id == u"ember"_s ? 1 : 2, item.kind,
                                         QUrl::fromLocalFile(file));
            deck.library.add(record);
            records.append(record);
        }
        TurntableScreen screen(deck.turntable, deck.library, deck.clock, nullptr, &store);
        screen.resize(size);
        screen.show();
        prepare(deck, screen, records);
        waitForArtwork(1200);
        // Frames of the deck's motion toward the state, on the deck's own clock.
        for (int i = 0; i < frames; ++i) {
            deck.advance(1.0 / 60);
            screen.stage().advanceFrame();
        }
        screen.settleDrawer();
        screen.sleeveBack().rebuildNow();
        waitForArtwork(400);
        const QString path = u"%1/turntable-%2-%3x%4.png"_s.arg(folder, name).arg(size.width()).arg(size.height());
        if (!screen.grab().save(path)) {
            std::fprintf(stderr, "Cannot write %s\n", qPrintable(path));
            return false;
        }
        out << path << '\n';
        out.flush();
        return true;
    };

    const auto emptyWithChooser = [](DeckHarness &, TurntableScreen &screen, const QList<Record> &) {
        screen.drawer().clickTab();
    };
    const auto sleeveOnTable = [](DeckHarness &deck, TurntableScreen &, const QList<Record> &records) {
        deck.turntable.place(records[0]);
        deck.advance(3);
    };
    const auto playingMidSide = [](DeckHarness &deck, TurntableScreen &screen, const QList<Record> &records) {
        deck.play(records[0]);
        const auto &call = deck.engine.plays.back();
        deck.engine.sendState(false, 200'000, call.uris.at(1));
        deck.clock.settle();
        screen.drawer().clickTab();
        screen.drawer().setPinned(true);
    };
    const auto sideOver = [](DeckHarness &deck, TurntableScreen &screen, const QList<Record> &records) {
        deck.play(records[0]);
        const auto &call = deck.engine.plays.back();
        deck.engine.sendState(false, 578'000, call.uris.at(2));
        deck.clock.settle();
        deck.advance(2.5);
        deck.engine.sendState(true, 0, call.uris.at(2));
        deck.clock.settle();
        deck.advance(1);
        screen.drawer().clickTab();
    };

    // The disc on its way out of the sleeve, and a record turning over: drawn at their poses.
    const auto discOut = [](DeckHarness &deck, TurntableScreen &, const QList<Record> &records) {
        deck.turntable.load(records[1], false);
        deck.advance(0.3);
    };
    const auto flipping = [](DeckHarness &deck, TurntableScreen &, const QList<Record> &records) {
        deck.play(records[0]);
        deck.turntable.play(1, false, 0);
        deck.advance(0.3);
    };
    if (!render(u"disc-out"_s, QSize(1600, 1000), discOut, 50) || !render(u"flip"_s, QSize(1600, 1000), flipping, 20))
        return 1;

    for (const QSize size : {QSize(1600, 1000), QSize(820, 560), QSize(700, 760)}) {
        if (!render(u"chooser"_s, size, emptyWithChooser) || !render(u"sleeve"_s, size, sleeveOnTable)
            || !render(u"playing"_s, size, playingMidSide) || !render(u"side-over"_s, size, sideOver))
            return 1;
    }
    ArtworkStore::setShared(nullptr);
    return 0;
}
