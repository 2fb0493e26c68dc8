// Renders the rooms into PNG files: the room switch over each room (and the readout too long to
// sit centred beside it), the crate at a record and at a divider, and a sleeve flying to the
// turntable at three moments, at 1600 x 1000 and 820 x 560 and pixel ratios 1 and 2, to look
// at the drawing outside the program.
//
//   velloran-render-rooms [output folder]    (default: "renders" beside the bin folder)

#include "RoomsFixture.h"

#include "paint/FontRegistration.h"
#include "paint/RenderToolCommandLine.h"
#include "scenes/crate/CratesView.h"
#include "scenes/rooms/FlyingSleeve.h"
#include "scenes/shelf/ShelfView.h"
#include "scenes/turntable/TabletopStage.h"
#include "scenes/turntable/TurntableScreen.h"

#include <QApplication>
#include <QProcess>
#include <QStandardPaths>
#include <QTextStream>

using namespace velloran;
using namespace velloran::test;
using namespace Qt::StringLiterals;

namespace {

// Frames of every moving part of the rooms on the fixture's clock.
void runFrames(RoomsFixture &f, double seconds)
{
    for (double t = 0; t < seconds; t += 1.0 / 60) {
        f.deck.advance(1.0 / 60);
        f.rooms->flyingSleeve().advanceFrame();
        if (auto *screen = qobject_cast<TurntableScreen *>(f.rooms->room()))
            screen->stage().advanceFrame();
    }
}

void settleRoom(RoomsFixture &f)
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    f.library.waitForArtwork(*f.rooms, 900);
    if (auto *shelf = qobject_cast<ShelfView *>(f.rooms->room()))
        shelf->settle();
    if (auto *crate = qobject_cast<CratesView *>(f.rooms->room()))
        crate->settle();
    if (auto *screen = qobject_cast<TurntableScreen *>(f.rooms->room()))
        screen->settleDrawer();
}

int renderAll(const QString &folder)
{
    const qreal dpr = qApp->devicePixelRatio();
    QTextStream out(stdout);
    for (const QSize size : {QSize(1600, 1000), QSize(820, 560)}) {
        const auto save = [&](RoomsFixture &f, const QString &name) {
            const QString path = u"%1/rooms-%2-%3x%4@%5x.png"_s.arg(folder, name)
                                     .arg(size.width())
                                     .arg(size.height())
                                     .arg(dpr);
            if (!f.rooms->grab().save(path))
                return false;
            out << path << '\n';
            out.flush();
            return true;
        };
        {
            RoomsFixture f(size);
            settleRoom(f);
            if (!save(f, u"shelf"_s))
                return 1;
            f.navigation.setScreen(Navigation::Screen::crates);
            auto *crate = qobject_cast<CratesView *>(f.rooms->room());
            crate->go(5);
            settleRoom(f);
            if (!save(f, u"crate-record"_s))
                return 1;
            crate->showItem(CrateFixture::firstDividerAfter(crate->items(), 6));
            settleRoom(f);
            if (!save(f, u"crate-divider"_s))
                return 1;
            f.deck.play(f.library.records[0]);
            f.navigation.setScreen(Navigation::Screen::turntable);
            settleRoom(f);
            runFrames(f, 2);
            if (!save(f, u"turntable"_s))
                return 1;
        }
        {
            // A line too long for the pill, which keeps clear of the room switch.
            RoomsFixture f(size);
            Record record = f.library.records[1];
            record.title = u"A Title Long Enough To Fill The Readout Right To Its Widest And Then Some"_s;
            f.deck.library.add(record, record.artworkURL);
            f.navigation.setScreen(Navigation::Screen::turntable);
            f.deck.turntable.place(record);
            settleRoom(f);
            runFrames(f, 3);
            if (!save(f, u"turntable-long-line"_s))
                return 1;
        }
        {
            // A record sent from the middle of the window while another plays: leaving,
            // waiting beside the table while the old one is put away, landing.
            RoomsFixture f(size);
            f.deck.play(f.library.records[0]);
            f.navigation.setScreen(Navigation::Screen::turntable);
            settleRoom(f);
            runFrames(f, 1);
            const double side = std::min(size.width() * 0.42, size.height() * 0.5);
            const QRectF from(size.width() / 2 - side * 0.78, size.height() / 2 - side * 0.7, side, side);
            const Record &next = f.library.records[3];
            f.send(ShelfEntry::fromRecord(next), next, from);
            f.library.waitForArtwork(*f.rooms, 600);
            const struct {
                const char *name;
                double seconds;
            } moments[] = {{"flight-leaving", 0.12}, {"flight-holding", 1.6}, {"flight-landing", 1.03}};
            for (const auto &moment : moments) {
                runFrames(f, moment.seconds);
                if (!save(f, QString::fromUtf8(moment.name)))
                    return 1;
            }
        }
    }
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    const QString description = u"Renders the rooms, the crate and a sleeve in flight into PNG files."_s;
    // One pass per pixel ratio, each in a process of its own.
    if (qEnvironmentVariableIsEmpty("VELLORAN_RENDER_PASS")) {
        QCoreApplication app(argc, argv);
        const RenderToolCommandLine line = RenderToolCommandLine::parse(QCoreApplication::arguments(), description);
        if (line.exitCode)
            return *line.exitCode;
        for (const char *ratio : {"1", "2"}) {
            QProcess pass;
            QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
            environment.insert(u"VELLORAN_RENDER_PASS"_s, u"1"_s);
            environment.insert(u"QT_SCALE_FACTOR"_s, QString::fromLatin1(ratio));
            pass.setProcessEnvironment(environment);
            pass.setProcessChannelMode(QProcess::ForwardedChannels);
            pass.start(QCoreApplication::applicationFilePath(), app.arguments().mid(1));
            if (!pass.waitForFinished(300'000) || pass.exitCode() != 0)
                return 1;
        }
        return 0;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QStandardPaths::setTestModeEnabled(true);
    QApplication app(argc, argv);
    const RenderToolCommandLine line = RenderToolCommandLine::parse(QCoreApplication::arguments(), description);
    if (line.exitCode)
        return *line.exitCode;
    fonts::registerBundledFonts();
    const std::optional<QString> outputFolder = line.outputFolder();
    if (!outputFolder)
        return 1;
    const QString &folder = *outputFolder;
    return renderAll(folder);
}
