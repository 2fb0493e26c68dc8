// Repainting only the areas a frame says have changed gives the same pixels as drawing the
// whole frame anew.

#include "ScreenFixture.h"

#include "paint/FontRegistration.h"
#include "scenes/deck/DeckBody.h"
#include "scenes/deck/DeckFrame.h"
#include "scenes/deck/DeckGeometry.h"
#include "scenes/deck/DeckMotion.h"
#include "scenes/turntable/TabletopStage.h"

#include <QCoreApplication>
#include <QPainter>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <functional>

using namespace velloran;
using namespace velloran::test;
using namespace Qt::StringLiterals;

namespace {

class DeckDamageTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { fonts::registerBundledFonts(); }
};

QImage labelArtwork()
{
    QImage image(200, 200, QImage::Format_ARGB32_Premultiplied);
    QPainter p(&image);
    QLinearGradient fill(0, 0, 200, 200);
    fill.setColorAt(0, QColor(38, 74, 110));
    fill.setColorAt(1, QColor(196, 98, 60));
    p.fillRect(image.rect(), fill);
    return image;
}

// The pixels that differ between two images.
QRegion differences(const QImage &a, const QImage &b)
{
    QRegion region;
    for (int y = 0; y < a.height(); ++y) {
        const auto *p = reinterpret_cast<const QRgb *>(a.constScanLine(y));
        const auto *q = reinterpret_cast<const QRgb *>(b.constScanLine(y));
        for (int x = 0; x < a.width(); ++x) {
            if (p[x] == q[x])
                continue;
            int end = x;
            while (end < a.width() && p[end] != q[end])
                ++end;
            region += QRect(x, y, end - x, 1);
            x = end;
        }
    }
    return region;
}

// The largest difference of one channel between two images.
int largestDifference(const QImage &a, const QImage &b)
{
    int worst = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y);
            const QRgb q = b.pixel(x, y);
            worst = std::max({worst, std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)),
                              std::abs(qBlue(p) - qBlue(q)), std::abs(qAlpha(p) - qAlpha(q))});
        }
    return worst;
}

// The part of `changed` (device pixels) that the damage (points) leaves out.
QRegion uncovered(const QRegion &changed, const QRegion &damage, qreal dpr)
{
    QRegion pixels;
    for (const QRect &r : damage)
        pixels += QRect(r.topLeft() * dpr, r.size() * dpr);
    return changed - pixels;
}

} // namespace

TEST_F(DeckDamageTest, RepaintingTheChangedAreasGivesTheWholeFrame)
{
    DeckFrameState playing;
    playing.face = DiscFace{QUrl(u"https://covers.invalid/a.jpg"_s), {0.3, 0.6}, u"A"_s};
    playing.labelArtwork = labelArtwork();
    playing.rotation = 40;
    playing.arm = armAngle(160);
    playing.knobAngle = 60;
    playing.powerLamp = 1;
    playing.motor = true;

    const struct {
        const char *name;
        std::function<void(DeckFrameState &)> change;
    } cases[] = {
        {"the record turns", [](DeckFrameState &s) { s.rotation += 3.3; }},
        {"the arm wobbles", [](DeckFrameState &s) { s.arm += 0.004; }},
        {"the arm rises", [](DeckFrameState &s) { s.lift = 0.4; }},
        {"the arm swings home", [](DeckFrameState &s) { s.arm = -4; s.lift = 1; }},
        {"the knob turns", [](DeckFrameState &s) { s.knobAngle = 20; }},
        {"the power lamp dims", [](DeckFrameState &s) { s.powerLamp = 0.3; }},
        {"the motor stops", [](DeckFrameState &s) { s.motor = false; }},
        {"45 is chosen", [](DeckFrameState &s) { s.at45 = true; }},
        {"a button is held", [](DeckFrameState &s) { s.pressed = DeckButton::speed45; }},
        {"the pitch moves", [](DeckFrameState &s) { s.pitch = 2.5; }},
        {"the target light comes on", [](DeckFrameState &s) { s.targetLight = 0.7; }},
        {"the disc goes", [](DeckFrameState &s) { s.face.reset(); }},
        {"the other side comes up", [](DeckFrameState &s) { s.face->label = u"B"_s; }},
    };
    // A stage drawn smaller, off the pixel grid, and one at twice the pixels.
    const struct {
        qreal dpr;
        QTransform toWindow;
        QSize window;
    } looks[] = {{1.0, QTransform(0.8421, 0, 0, 0.8421, 6.3, -17.9), {1280, 800}},
                 {2.0, QTransform(1, 0, 0, 1, 0, 0), {1600, 1000}}};

    for (const auto &look : looks) {
        DeckBodyRenderer body;
        DeckFramePainter live;
        QImage backdrop(look.window * look.dpr, QImage::Format_ARGB32_Premultiplied);
        backdrop.setDevicePixelRatio(look.dpr);
        backdrop.fill(QColor(112, 76, 46));
        {
            QPainter p(&backdrop);
            prepare(p);
            p.setTransform(look.toWindow);
            body.sprite(look.dpr).draw(p);
        }
        const auto draw = [&](QImage &image, const DeckFrameState &state, const QRegion *exposed) {
            QPainter p(&image);
            prepare(p);
            if (exposed)
                p.setClipRegion(*exposed);
            p.drawImage(QPointF(0, 0), backdrop);
            p.setTransform(look.toWindow);
            live.paint(p, state, look.dpr, exposed);
        };
        const auto whole = [&](const DeckFrameState &state) {
            QImage image = backdrop.copy();
            draw(image, state, nullptr);
            return image;
        };
        const QImage before = whole(playing);
        for (const auto &c : cases) {
            SCOPED_TRACE(std::string(c.name) + " at ratio " + std::to_string(int(look.dpr)));
            DeckFrameState after = playing;
            c.change(after);
            QRegion damage;
            for (const QRectF &area : live.changedAreas(playing, after, look.dpr))
                damage += look.toWindow.mapRect(area).toAlignedRect().adjusted(-1, -1, 1, 1);
            EXPECT_FALSE(damage.isEmpty());
            // Every pixel that changed lies in the damage.
            EXPECT_TRUE(uncovered(differences(before, whole(after)), damage, look.dpr).isEmpty());
            // Leaving out the parts outside the damage leaves out nothing the clip lets through.
            QImage culled = before.copy();
            draw(culled, after, &damage);
            QImage clipped = before.copy();
            {
                QPainter p(&clipped);
                prepare(p);
                p.setClipRegion(damage);
                p.drawImage(QPointF(0, 0), backdrop);
                p.setTransform(look.toWindow);
                live.paint(p, after, look.dpr);
            }
            EXPECT_TRUE(differences(culled, clipped).isEmpty());
        }
        EXPECT_TRUE(live.changedAreas(playing, playing, look.dpr).isEmpty());
    }
}

TEST_F(DeckDamageTest, APlayingRecordRepaintsLittleOfTheStageAndNothingElseChanges)
{
    DeckHarness deck;
    const Record record = sampleRecord(u"harbour"_s, u"Harbour Lights"_s);
    deck.library.add(record);
    TabletopStage stage(deck.turntable, deck.library, deck.clock);
    stage.resize(1280, 800);
    stage.show();
    deck.play(record, 120'000);
    const auto frame = [&] {
        deck.advance(1.0 / 60);
        stage.advanceFrame();
    };
    const auto whole = [&] {
        QImage image(stage.size(), QImage::Format_ARGB32_Premultiplied);
        QPainter painter(&image);
        stage.paintStage(painter, 1.0);
        return image;
    };
    for (int i = 0; i < 180; ++i)
        frame();
    QCoreApplication::processEvents();
    QImage shown = whole();
    // The frame after one that redrew everything redraws everything again.
    frame();
    shown = whole();
    for (int i = 0; i < 30; ++i) {
        frame();
        const QRegion damage = stage.lastDamage();
        // The label and the arm, not the deck.
        qint64 area = 0;
        for (const QRect &r : damage)
            area += qint64(r.width()) * r.height();
        EXPECT_LT(area, 1280 * 800 / 12);
        const QImage next = whole();
        ASSERT_TRUE(uncovered(differences(shown, next), damage, 1.0).isEmpty()) << "frame " << i;
        QImage culled = shown;
        QImage clipped = shown;
        for (const bool cull : {true, false}) {
            QPainter painter(cull ? &culled : &clipped);
            painter.setClipRegion(damage);
            stage.paintStage(painter, 1.0, cull ? &damage : nullptr);
        }
        ASSERT_TRUE(differences(culled, clipped).isEmpty()) << "frame " << i;
        // The widget's own repaint of the damage matches the whole frame but for the rounding
        // of images resampled across a clip's edge: Qt steps a turned or scaled image's
        // source position from the start of each clipped span.
        QImage repainted = shown;
        stage.render(&repainted, damage.boundingRect().topLeft(), damage, QWidget::RenderFlags());
        ASSERT_LE(largestDifference(repainted, next), 2) << "frame " << i;
        shown = next;
    }
}
