#include "scenes/deck/DeckDrawings.h"

#include "scenes/deck/DeckMotion.h"
#include "scenes/deck/PowerKnob.h"

namespace velloran {

void DeckDrawings::prepare(const QList<DeckFrameState> &frames, qreal ratio)
{
    mug.sprite(ratio);
    cables.sprite(deckCables(), ratio);
    body.sprite(ratio);
    sheen.image(ratio);
    // The live layer is painted for real, into a canvas the size of what it can cover.
    QImage canvas = makeCanvas(DeckFramePainter::bounds.size(), ratio);
    for (const DeckFrameState &frame : frames) {
        QPainter painter(&canvas);
        velloran::prepare(painter);
        painter.translate(-DeckFramePainter::bounds.topLeft());
        live.paint(painter, frame, ratio);
    }
}

QList<DeckFrameState> DeckDrawings::likelyFrames(const DeckFrameState &current)
{
    DeckFrameState playing = current;
    playing.knobAngle = PowerKnobMotion::onAngle;
    playing.powerLamp = 1.0;
    playing.motor = true;
    playing.arm = armAngle(180);
    playing.lift = 0.0;
    return {current, playing};
}

} // namespace velloran
