#include "scenes/deck/Cables.h"
#include "scenes/deck/DeckBody.h"
#include "scenes/deck/DeckFrame.h"
#include "scenes/deck/DeckGeometry.h"
#include "scenes/deck/Mug.h"
#include "scenes/vinyl/Sleeve.h"

#include <gtest/gtest.h>

using namespace velloran;

namespace {

QImage stageCanvas(qreal dpr)
{
    QImage image = makeCanvas(deck::stageSize, dpr);
    image.fill(Qt::black);
    return image;
}

} // namespace

TEST(RenderCache, StaticPartsAreDrawnOnceWhileTheirInputsStayTheSame)
{
    DeckBodyRenderer body;
    MugRenderer mug;
    CablesRenderer cables;
    DeckFramePainter live;
    QImage label(32, 32, QImage::Format_ARGB32_Premultiplied);
    label.fill(Qt::darkCyan);
    DeckFrameState state;
    state.face = DiscFace{QUrl(QStringLiteral("https://covers.invalid/x.jpg")), {0.2, 0.6}, QStringLiteral("A")};
    state.labelArtwork = label;

    QImage frame = stageCanvas(1.0);
    for (int i = 0; i < 5; ++i) {
        QPainter p(&frame);
        mug.sprite(1.0).draw(p, {330, 190});
        cables.sprite(deckCables(), 1.0).draw(p);
        body.sprite(1.0).draw(p);
        // The deck plays on: the disc turns, the arm tracks, the lamp fades in.
        state.rotation = 33.0 * i;
        state.arm = 28.0 + 0.1 * i;
        state.targetLight = 0.25 * i;
        live.paint(p, state, 1.0);
    }
    EXPECT_EQ(body.renderCount(), 1);
    EXPECT_EQ(body.plinth().renderCount(), 1);
    EXPECT_EQ(body.mat().renderCount(), 1);
    EXPECT_EQ(mug.renderCount(), 1);
    EXPECT_EQ(cables.renderCount(), 1);
    EXPECT_EQ(live.discFace().renderCount(), 1);

    // A copy of the same artwork is the same input; another record's face is not.
    state.labelArtwork = QImage(label);
    {
        QPainter p(&frame);
        live.paint(p, state, 1.0);
    }
    EXPECT_EQ(live.discFace().renderCount(), 1);
    state.face->trackBreaks = {0.5};
    {
        QPainter p(&frame);
        live.paint(p, state, 1.0);
    }
    EXPECT_EQ(live.discFace().renderCount(), 2);

    // Moving the window to a screen of another pixel ratio redraws everything once.
    QImage sharp = stageCanvas(2.0);
    for (int i = 0; i < 3; ++i) {
        QPainter p(&sharp);
        mug.sprite(2.0).draw(p, {330, 190});
        cables.sprite(deckCables(), 2.0).draw(p);
        body.sprite(2.0).draw(p);
        live.paint(p, state, 2.0);
    }
    EXPECT_EQ(body.renderCount(), 2);
    EXPECT_EQ(body.plinth().renderCount(), 2);
    EXPECT_EQ(mug.renderCount(), 2);
    EXPECT_EQ(cables.renderCount(), 2);
    EXPECT_EQ(live.discFace().renderCount(), 3);
}

TEST(RenderCache, SleeveIsRedrawnOnlyForAnotherCover)
{
    SleeveRenderer sleeve;
    QImage cover(64, 64, QImage::Format_ARGB32_Premultiplied);
    cover.fill(Qt::darkRed);
    const Sprite &first = sleeve.sprite(cover, 1.0);
    EXPECT_LT(first.origin.x(), 0.0) << "the shadows reach past the sleeve";
    sleeve.sprite(cover, 1.0);
    EXPECT_EQ(sleeve.renderCount(), 1);
    QImage other = cover.copy();
    other.fill(Qt::darkBlue);
    sleeve.sprite(other, 1.0);
    EXPECT_EQ(sleeve.renderCount(), 2);
}

TEST(RenderCache, ADeckButtonKeepsItsUpAndDownDrawingsAsItLatchesAndReleases)
{
    DeckButtonRenderer button;
    const DeckButtonStyle off = DeckFramePainter::startStopStyle(false);
    const DeckButtonStyle on = DeckFramePainter::startStopStyle(true);
    const qint64 up = button.sprite(off, off.isDown(false), 1.0).image.cacheKey();
    const qint64 held = button.sprite(off, off.isDown(true), 1.0).image.cacheKey();
    // Pressed, then latched by the motor, then released and pressed again: no new drawing.
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(button.sprite(on, on.isDown(false), 1.0).image.cacheKey(), held);
        EXPECT_EQ(button.sprite(off, off.isDown(false), 1.0).image.cacheKey(), up);
        EXPECT_EQ(button.sprite(off, off.isDown(true), 1.0).image.cacheKey(), held);
    }
    EXPECT_EQ(button.renderCount(), 2);
}
