// Renders the deck on its table in a few states into PNG files, at device pixel ratios 1
// and 2, so that the drawing can be looked at without running the program.
//
//   velloran-render-deck [--help] [output folder]    (default: "renders" beside the bin folder)

#include "PreviewTable.h"

#include "model/Record.h"
#include "paint/FontRegistration.h"
#include "paint/RenderToolCommandLine.h"
#include "paint/Sprite.h"
#include "scenes/deck/Cables.h"
#include "scenes/deck/DeckBody.h"
#include "scenes/deck/DeckFrame.h"
#include "scenes/deck/DeckGeometry.h"
#include "scenes/deck/DeckMotion.h"
#include "scenes/deck/Mug.h"
#include "scenes/vinyl/Sleeve.h"

#include <QGuiApplication>
#include <QTextStream>

#include <cstdio>

using namespace velloran;

namespace {

struct Scene {
    QString name;
    DeckFrameState frame;
    bool sleeveOnTable = true;
};

class Stage {
public:
    QImage render(const Scene &scene, qreal dpr)
    {
        QImage image = makeCanvas(deck::stageSize, dpr);
        QPainter p(&image);
        prepare(p);
        p.drawImage(QPointF(0, 0), preview::oakTable(dpr));
        m_mug.sprite(dpr).draw(p, {330, 190});
        m_cables.sprite(deckCables(), dpr).draw(p);
        m_body.sprite(dpr).draw(p);
        if (scene.sleeveOnTable) {
            p.save();
            p.translate(stage::sleeveCentre);
            p.rotate(-6);
            m_sleeve.sprite(cover, dpr).draw(p, {-165, -165});
            p.restore();
        }
        m_live.paint(p, scene.frame, dpr);
        return image;
    }

    QImage cover = preview::sampleCover(QStringLiteral("Harbour Lights"), QColor(38, 74, 110), QColor(196, 98, 60), 640);

private:
    MugRenderer m_mug;
    CablesRenderer m_cables;
    DeckBodyRenderer m_body;
    SleeveRenderer m_sleeve;
    DeckFramePainter m_live;
};

// Runs the deck's motion for a few seconds of frames toward the given inputs.
DeckMotion settle(const DeckInputs &inputs, double seconds)
{
    DeckMotion motion;
    DeckInputs idle;
    motion.step(0.0, idle);
    for (double t = 1.0 / 60; t < seconds; t += 1.0 / 60)
        motion.step(t, inputs);
    return motion;
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const RenderToolCommandLine line = RenderToolCommandLine::parse(
        QCoreApplication::arguments(), QStringLiteral("Renders the deck on its table in a few states into PNG files."));
    if (line.exitCode)
        return *line.exitCode;
    fonts::registerBundledFonts();
    const std::optional<QString> outputFolder = line.outputFolder();
    if (!outputFolder)
        return 1;
    const QString &folder = *outputFolder;

    Stage stage;
    const QImage label = stage.cover;
    Record record;
    record.artworkURL = QUrl(QStringLiteral("https://example.invalid/cover.jpg"));
    Side side;
    side.durationMs = 1'500'000;
    side.startOffsets = {0, 240'000, 510'000, 760'000, 1'020'000, 1'260'000};
    const DiscFace face = DiscFace::make(record, side);

    QList<Scene> scenes;

    Scene rest{QStringLiteral("deck-rest"), {}, true};
    rest.frame.face = face;
    rest.frame.labelArtwork = label;
    rest.frame.rotation = 37;
    scenes.append(rest);

    DeckInputs playing;
    playing.motor = true;
    playing.targetRPM = 33.333333333333336;
    playing.rest = false;
    playing.armTarget = armAngle(deck::grooveRadius(0.5));
    const DeckMotion motion = settle(playing, 8.0);
    Scene play{QStringLiteral("deck-playing"), rest.frame, false};
    play.frame.rotation = motion.rotation();
    play.frame.arm = motion.arm();
    play.frame.lift = motion.lift();
    play.frame.knobAngle = PowerKnobMotion::onAngle;
    play.frame.powerLamp = 1;
    play.frame.motor = true;
    scenes.append(play);

    Scene target = play;
    target.name = QStringLiteral("deck-target-light");
    target.frame.targetLight = 1;
    scenes.append(target);

    Scene pitch = play;
    pitch.name = QStringLiteral("deck-pitch");
    pitch.frame.pitch = 3.5;
    pitch.frame.at45 = true;
    pitch.frame.pressed = DeckButton::startStop;
    scenes.append(pitch);

    // The arm swung as far over the record as it goes, raised: the counterweight's widest
    // reach towards the anti-skate knob.
    Scene farOver = play;
    farOver.name = QStringLiteral("deck-arm-far-over");
    farOver.frame.lift = 1;
    farOver.frame.arm = 58;
    scenes.append(farOver);

    Scene cueing = play;
    cueing.name = QStringLiteral("deck-cueing");
    cueing.frame.lift = 1;
    cueing.frame.arm = 14;
    scenes.append(cueing);

    QTextStream out(stdout);
    for (const qreal dpr : {1.0, 2.0}) {
        for (const Scene &scene : scenes) {
            const QString path = QStringLiteral("%1/%2@%3x.png").arg(folder, scene.name).arg(int(dpr));
            const QImage image = stage.render(scene, dpr);
            if (!image.save(path)) {
                std::fprintf(stderr, "Cannot write %s\n", qPrintable(path));
                return 1;
            }
            out << path << '\n';
            if (dpr > 1.0) {
                // Close-ups of the arm side and of the button row, at full resolution.
                const auto crop = [&](const QRectF &points, const QString &part) {
                    const QRect pixels((points.topLeft() * dpr).toPoint(), (points.size() * dpr).toSize());
                    const QString detail = QStringLiteral("%1/%2-%3@2x.png").arg(folder, scene.name, part);
                    if (image.copy(pixels).save(detail))
                        out << detail << '\n';
                };
                crop(QRectF(940, 220, 330, 560), QStringLiteral("arm-side"));
                crop(QRectF(560, 640, 680, 150), QStringLiteral("buttons"));
                crop(QRectF(600, 280, 420, 420), QStringLiteral("disc"));
                crop(QRectF(240, 90, 520, 260), QStringLiteral("decor"));
            }
        }

        // A sleeve on the table, close up, with the inner sleeve's edge peeking out.
        QImage sleeve = makeCanvas({520, 480}, dpr);
        {
            QPainter p(&sleeve);
            prepare(p);
            p.drawImage(QPointF(-60, -220), preview::oakTable(dpr));
            SleeveEdgeRenderer edge;
            p.drawImage(QPointF(92, 58), edge.image({330, 330}, dpr));
            SleeveRenderer renderer;
            p.save();
            p.translate(245, 235);
            p.rotate(-6);
            renderer.sprite(stage.cover, dpr).draw(p, {-165, -165});
            p.restore();
        }
        const QString path = QStringLiteral("%1/sleeve@%2x.png").arg(folder).arg(int(dpr));
        if (!sleeve.save(path)) {
            std::fprintf(stderr, "Cannot write %s\n", qPrintable(path));
            return 1;
        }
        out << path << '\n';
    }
    return 0;
}
