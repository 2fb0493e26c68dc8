#pragma once

#include "scenes/deck/Cables.h"
#include "scenes/deck/DeckBody.h"
#include "scenes/deck/DeckFrame.h"
#include "scenes/deck/Mug.h"
#include "scenes/vinyl/DiscFace.h"

#include <QList>

namespace velloran {

// The deck's drawings with what stands beside it on the table: the body with its mat, the mug,
// the cables, the sheen over a turning record and the live layer (the record on the platter,
// the controls, the arm). Made from nothing they take a good part of a second at a pixel ratio
// of 2, so a screen has them made on a worker thread before it first shows and takes them over
// (a QPainter on a QImage may work on any thread; nothing here touches a widget or a pixmap).
struct DeckDrawings {
    MugRenderer mug;
    CablesRenderer cables;
    DeckBodyRenderer body;
    DiscSheenRenderer sheen;
    DeckFramePainter live;

    // Makes every drawing that painting these frames of the live layer at `ratio` needs, as
    // painting them would, with the body, the mug, the cables and the sheen.
    void prepare(const QList<DeckFrameState> &frames, qreal ratio);

    // The frames a screen showing `current` will soon need as well: the same deck switched on
    // and playing, the arm over the record.
    static QList<DeckFrameState> likelyFrames(const DeckFrameState &current);
};

} // namespace velloran
