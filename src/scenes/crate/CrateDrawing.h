#pragma once

#include "model/ShelfEntry.h"
#include "scenes/crate/CrateGeometry.h"

#include <QColor>
#include <QImage>
#include <QString>

#include <optional>

namespace velloran::crate {

// The crate scene's colours: a cream wall and pale oak boards in the warm lamp light of the
// rest of the room, and the crate's pine.
namespace colours {
inline const QColor title{42, 32, 23};
inline const QColor caption{139, 122, 102};
inline const QColor dividerTop{217, 184, 138};
inline const QColor dividerBottom{196, 159, 109};
inline const QColor dividerInk{43, 31, 18};
inline const QColor burnt{74, 44, 22};
} // namespace colours

// The room behind the crate and the crate's inside, for a whole view: the wall, the floor,
// the crate's shadow, its back board and the inner faces of its sides.
QImage paintRoom(const CrateGeometry &geometry, qreal devicePixelRatio);

// The crate's front board with its hand hold, the section burnt into it and the counter
// under it; drawn at the board's own rectangle (origin at its top-left corner).
QImage paintFrontBoard(QSizeF size, const QString &section, const std::optional<QString> &counter,
                       qreal devicePixelRatio);

// A divider card of side `size`: the tan board with its tab carrying the title. The tab
// stands further right the later the letter, as the dividers of a real crate are staggered.
QImage paintDividerCard(double size, const QString &title, qreal devicePixelRatio);
// Where a divider's tab begins across the card, as a fraction of the free width.
double tabPosition(const QString &title);

// A record's card of side `size`: its cover, as a sleeve of stiff board with a light edge.
QImage paintRecordCard(double size, const ShelfEntry &entry, const std::optional<QImage> &artwork,
                       qreal devicePixelRatio);

} // namespace velloran::crate
