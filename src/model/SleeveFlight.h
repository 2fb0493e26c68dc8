#pragma once

#include "model/ShelfEntry.h"

#include <QRectF>
#include <QUuid>

namespace velloran {

// A sleeve flying from where it was picked to the turntable. Every flight has its own id,
// so two flights of one record are different.
struct SleeveFlight {
    QUuid id;
    ShelfEntry entry;
    QRectF from; // window coordinates

    bool operator==(const SleeveFlight &) const = default;
};

} // namespace velloran

Q_DECLARE_METATYPE(std::optional<velloran::SleeveFlight>)
