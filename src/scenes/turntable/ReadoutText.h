#pragma once

#include "core/Clock.h"

#include <QList>
#include <QString>

namespace velloran {

class Turntable;

// One run of the readout's line; emphasised runs are brighter and heavier.
struct ReadoutRun {
    QString text;
    bool emphasised = false;

    bool operator==(const ReadoutRun &) const = default;
};

// The readout's line for the deck at an instant: the record in its sleeve, the side and
// track playing with its time and state, or the side that is up. Empty without a record.
QList<ReadoutRun> readoutRuns(const Turntable &turntable, Instant at);

// "MM:SS" of a position, negative positions as zero.
QString readoutTime(qint64 ms);

// The runs as one plain string.
QString plainText(const QList<ReadoutRun> &runs);

} // namespace velloran
