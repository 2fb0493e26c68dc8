#include "scenes/turntable/PileLayout.h"

namespace velloran::pile {

QList<ShelfEntry> visibleEntries(const QList<ShelfEntry> &entries, const std::optional<Record> &onDeck)
{
    QList<ShelfEntry> visible;
    for (const ShelfEntry &entry : entries) {
        if (onDeck && entry.item.id == onDeck->id)
            continue;
        visible.append(entry);
        if (visible.size() == 2)
            break;
    }
    return visible;
}

} // namespace velloran::pile
