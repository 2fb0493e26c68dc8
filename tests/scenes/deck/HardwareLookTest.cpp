#include "Probes.h"

#include "paint/Palette.h"
#include "scenes/deck/DeckButton.h"
#include "scenes/deck/DeckFrame.h"
#include "scenes/deck/DeckGeometry.h"
#include "scenes/deck/DeckMotion.h"
#include "scenes/deck/HardwareLabel.h"
#include "scenes/deck/Led.h"
#include "scenes/deck/PitchFader.h"
#include "scenes/deck/TargetLight.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

using namespace velloran;
using velloran::testing::near;
using velloran::testing::pixelAt;

namespace {

// The colour of a sprite at a point of the thing it shows.
QColor spriteAt(const Sprite &sprite, QPointF point)
{
    return pixelAt(sprite.image, point - sprite.origin);
}

QImage paintedWith(qreal dpr, const std::function<void(QPainter &)> &paint, QSizeF size = deck::stageSize)
{
    QImage image = makeCanvas(size, dpr);
    QPainter p(&image);
    prepare(p);
    paint(p);
    return image;
}

} // namespace

TEST(DeckLamps, LitLampIsLampOrangeAndDarkLampAnEmber)
{
    const Palette &palette = Palette::deck();
    for (const qreal dpr : {1.0, 2.0}) {
        EXPECT_TRUE(near(spriteAt(LedRenderer::render(8, true, palette, dpr), {0, 0}), palette.lampOrange, 2));
        EXPECT_TRUE(near(spriteAt(LedRenderer::render(8, false, palette, dpr), {0, 0}), palette.lampOff, 2));
        // A lit lamp glows beyond its edge; a dark one does not.
        EXPECT_GT(spriteAt(LedRenderer::render(8, true, palette, dpr), {6, 0}).alpha(), 40);
        EXPECT_EQ(spriteAt(LedRenderer::render(8, false, palette, dpr), {6, 0}).alpha(), 0);
    }

    // On the deck, the power lamp follows the power, and one speed lamp is lit.
    DeckFramePainter deckPainter;
    DeckFrameState state;
    state.powerLamp = 1.0;
    state.at45 = true;
    const QImage on = paintedWith(2.0, [&](QPainter &p) { deckPainter.paintControls(p, state, 2.0); });
    EXPECT_TRUE(near(pixelAt(on, deck::powerLampFrame.center()), palette.lampOrange, 3));
    EXPECT_TRUE(near(pixelAt(on, deck::lamp45Frame.center()), palette.lampOrange, 3));
    EXPECT_TRUE(near(pixelAt(on, deck::lamp33Frame.center()), palette.lampOff, 3));
}

TEST(DeckButtons, EngagedOrHeldButtonsSitThreePointsDown)
{
    const DeckButtonStyle engaged = DeckFramePainter::speedStyle(true, true);
    const DeckButtonStyle loose = DeckFramePainter::speedStyle(true, false);
    ASSERT_TRUE(engaged.engaged);
    ASSERT_FALSE(loose.engaged);
    EXPECT_TRUE(engaged.isDown(false));
    EXPECT_FALSE(loose.isDown(false));
    EXPECT_TRUE(loose.isDown(true));

    const Palette &palette = Palette::deck();
    const Sprite up = DeckButtonRenderer::render(loose, false, palette, 2.0);
    const Sprite down = DeckButtonRenderer::render(engaged, true, palette, 2.0);
    const double x = engaged.size.width() / 2;
    // Up: the face fills the top of the frame and the slab shows below it.
    EXPECT_GT(spriteAt(up, {x, 1.0}).lightness(), 230);
    EXPECT_TRUE(near(spriteAt(up, {x, engaged.size.height() - 1.5}), QColor(159, 157, 151), 4));
    // Down: the top 3 points are empty and the face reaches the bottom of the frame.
    EXPECT_LT(spriteAt(down, {x, 1.0}).alpha(), 40);
    EXPECT_GT(spriteAt(down, {x, 4.0}).lightness(), 230);
    EXPECT_GT(spriteAt(down, {x, engaged.size.height() - 1.5}).lightness(), 190);
    EXPECT_FALSE(near(spriteAt(down, {x, engaged.size.height() - 1.5}), QColor(159, 157, 151), 4));
}

TEST(DeckButtons, OnTheDeckTheEngagedSpeedIsPressedAndHoldingMovesOnlyTheHeldFace)
{
    DeckFramePainter deckPainter;
    DeckFrameState state;
    state.at45 = true;
    const auto faceTopIsLit = [&](const QImage &image, const QRectF &frame) {
        return pixelAt(image, {frame.center().x(), frame.top() + 1.0}).lightness() > 220;
    };
    const QImage resting = paintedWith(1.0, [&](QPainter &p) { deckPainter.paintControls(p, state, 1.0); });
    EXPECT_FALSE(faceTopIsLit(resting, deck::button45Frame));
    EXPECT_TRUE(faceTopIsLit(resting, deck::button33Frame));
    EXPECT_TRUE(faceTopIsLit(resting, deck::startStopFrame));

    state.pressed = DeckButton::speed33;
    const QImage held = paintedWith(1.0, [&](QPainter &p) { deckPainter.paintControls(p, state, 1.0); });
    EXPECT_FALSE(faceTopIsLit(held, deck::button33Frame));
    EXPECT_FALSE(faceTopIsLit(held, deck::button45Frame));
    EXPECT_TRUE(faceTopIsLit(held, deck::startStopFrame));
}

TEST(TargetLight, LensIsWarmWhenOnAndDarkWhenOff)
{
    const QPointF lens(13, 13);
    const QColor lit = spriteAt(TargetLightRenderer::render(true, 2.0), lens);
    const QColor dark = spriteAt(TargetLightRenderer::render(false, 2.0), lens);
    EXPECT_TRUE(near(lit, TargetLightRenderer::lensOn, 4)) << lit.name().toStdString();
    EXPECT_TRUE(near(dark, TargetLightRenderer::lensOff, 4)) << dark.name().toStdString();
}

TEST(PitchFader, CentreMarkerLightsOnlyAtZeroAndTheKnobFollowsThePitch)
{
    PitchFaderRenderer fader;
    const auto draw = [&](double pitch) {
        return paintedWith(2.0, [&](QPainter &p) { fader.paint(p, pitch, 2.0); }, PitchFaderRenderer::size);
    };
    const QImage centre = draw(0.0);
    const QImage off = draw(0.5);
    const QPointF marker(1.75, 79);
    EXPECT_TRUE(near(pixelAt(centre, marker), Palette::deck().detentGreen, 3));
    EXPECT_LT(pixelAt(off, marker).alpha(), 60);

    // The knob's centre line moves 8.5 points per percent, downwards for positive pitch.
    const QImage plus = draw(3.5);
    const double lineY = 68 + 11 + 8.5 * 3.5;
    EXPECT_TRUE(near(pixelAt(plus, {10, lineY}), Palette::deck().buttonInk, 12));
    EXPECT_FALSE(near(pixelAt(centre, {10, lineY}), Palette::deck().buttonInk, 12));
}

TEST(Tonearm, StylusLandsOnTheGrooveTheArmAngleIsFor)
{
    DeckFramePainter deckPainter;
    for (const double radius : {200.0, 143.0, 86.0}) {
        DeckFrameState state;
        state.arm = armAngle(radius);
        const QImage image = paintedWith(2.0, [&](QPainter &p) { deckPainter.paint(p, state, 2.0); });
        const double a = state.arm * std::numbers::pi / 180.0;
        // The stylus tip: 1.5 points above the headshell's origin, turned with the headshell.
        const double h = 22.0 * std::numbers::pi / 180.0;
        const QPointF tip(1.5 * std::sin(h), 320 - 1.5 * std::cos(h));
        const QPointF onStage(deck::tonearmPivot.x() + tip.x() * std::cos(a) - tip.y() * std::sin(a),
                              deck::tonearmPivot.y() + tip.x() * std::sin(a) + tip.y() * std::cos(a));
        EXPECT_NEAR(std::hypot(onStage.x() - deck::platterCentre.x(), onStage.y() - deck::platterCentre.y()), radius, 1.6);
        EXPECT_TRUE(near(pixelAt(image, onStage), QColor(233, 229, 220), 14))
            << "radius " << radius << ": " << pixelAt(image, onStage).name().toStdString();
    }
}

TEST(DeckBody, AntiSkateKnobAndLabelStayClearOfTheArmAndItsBase)
{
    const Sprite label = HardwareLabelRenderer::render(QStringLiteral("ANTI-SKATE"), Palette::deck(), 1.0);
    const QRectF labelBox(deck::antiSkateLabelCentre + label.origin, label.logicalSize());
    const QRectF knob = deck::antiSkateKnobFrame;
    // Both lie on the plinth, apart from each other and from the arm's base plate.
    for (const QRectF &part : {labelBox, knob}) {
        EXPECT_TRUE(deck::plinthRect.adjusted(6, 6, -6, -6).contains(part));
        EXPECT_FALSE(deck::tonearmBasePlateFrame.adjusted(-6, -6, 6, 6).intersects(part));
    }
    EXPECT_FALSE(knob.intersects(labelBox));

    // Over the arm's whole travel, raised or lowered, the arm's drawing (its soft shadow
    // aside) never reaches them.
    DeckFramePainter deckPainter;
    for (double arm = -6; arm <= 58; arm += 4) {
        for (const double lift : {0.0, 1.0}) {
            DeckFrameState state;
            state.arm = arm;
            state.lift = lift;
            const QImage image = paintedWith(1.0, [&](QPainter &p) { deckPainter.paint(p, state, 1.0); });
            int touching = 0;
            for (const QRectF &part : {labelBox.adjusted(-2, -2, 2, 2), knob.adjusted(-3, -3, 3, 3)}) {
                const QRect pixels = part.toAlignedRect();
                for (int y = pixels.top(); y <= pixels.bottom(); ++y)
                    for (int x = pixels.left(); x <= pixels.right(); ++x)
                        touching += qAlpha(image.pixel(x, y)) > 150;
            }
            EXPECT_EQ(touching, 0) << "arm " << arm << ", lift " << lift;
        }
    }
}
