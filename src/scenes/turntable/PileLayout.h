#pragma once

#include "model/Record.h"
#include "model/ShelfEntry.h"

#include <QList>
#include <QPointF>
#include <QString>

#include <optional>

namespace velloran::pile {

// The two places of the heap on the table: top-left corners of 330 x 330 squares and tilts.
struct Slot {
    QPointF topLeft;
    double tilt;
};
inline constexpr double sleeveSize = 330;
inline constexpr Slot slots[] = {{{70, 792}, 6}, {{330, 842}, -4}};
inline constexpr double hoverLift = 70;

inline QPointF slotCentre(int slot)
{
    return slots[slot].topLeft + QPointF(sleeveSize / 2, sleeveSize / 2);
}

// The first two entries that are not the record on the deck (compared by Spotify id only).
QList<ShelfEntry> visibleEntries(const QList<ShelfEntry> &entries, const std::optional<Record> &onDeck);

// Which sleeve is hovered, kept across sleeves: leaving one clears the hover only if no
// other sleeve took it meanwhile.
class Hover {
public:
    const std::optional<QString> &id() const { return m_id; }
    void enter(const QString &id) { m_id = id; }
    void leave(const QString &id)
    {
        if (m_id == id)
            m_id.reset();
    }

private:
    std::optional<QString> m_id;
};

} // namespace velloran::pile
