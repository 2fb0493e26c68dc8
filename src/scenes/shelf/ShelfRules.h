#pragma once

#include "artwork/CodableColour.h"
#include "model/LibraryItem.h"
#include "model/ShelfEntry.h"

#include <QColor>
#include <QList>
#include <QString>

#include <optional>

namespace velloran::shelf {

// The ledge's records: the shown ones played lately (most recent first), then the newest
// additions not among them, at most `limit` in all.
inline constexpr qsizetype featuredLimit = 7;
QList<ShelfEntry> featuredEntries(const QList<ShelfEntry> &shown, const QList<LibraryItem> &history,
                                  qsizetype limit = featuredLimit);

// "Spinning lately" once anything was played, else "Just added".
QString ledgeTitle(bool hasHistory);

// "12 LPS · 1 CUSTOM PRESSING"; empty for no entries.
QString collectionCaption(const QList<ShelfEntry> &shown);

// A spine's thickness in points, 26 to 37, from the entry's identity: the same on every run.
inline constexpr int thinnestSpine = 26;
inline constexpr int thickestSpine = 37;
int spineThickness(const QString &entryId);
inline int spineThickness(const ShelfEntry &entry) { return spineThickness(entry.id()); }

// One shelf: a run of consecutive shown entries.
struct ShelfRow {
    qsizetype first = 0;
    qsizetype count = 0;
    double width = 0;
    bool operator==(const ShelfRow &) const = default;
};

// The room a row has for spines in a view of content width `width` (the view less its
// margins): the row's padding and the book end's place come off, and never less than 200.
double rowCapacity(double width);

// The shown entries, by thickness, filled greedily onto shelves of `rowCapacity(width)`; an
// entry wider than a whole shelf gets a shelf of its own. No entries, no shelves.
QList<ShelfRow> shelfRows(const QList<int> &thicknesses, double width);

// How far a face-out cover on the ledge leans, in degrees, from its spine's thickness.
double ledgeTilt(int thickness);

// The colours a spine is drawn in.
struct SpineColours {
    QColor fill;
    QColor ink;
    // The playlist's printed band across the top; albums have none.
    std::optional<QColor> band;
    bool operator==(const SpineColours &) const = default;
};

double relativeLuminance(const CodableColour &colour);
// Dark ink on a light fill, light ink otherwise (exactly 0.6 gets the light ink).
QColor spineInk(const CodableColour &fill);
// An album's spine in its cover's colour (a warm brown while none is known); a playlist's
// in paper with its cover's colour as the band.
SpineColours spineColours(LibraryItem::Kind kind, const std::optional<CodableColour> &coverColour);

} // namespace velloran::shelf
