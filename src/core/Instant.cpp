#include "core/Instant.h"

#include <algorithm>
#include <cmath>

namespace velloran {

namespace {
// 2001-01-01T00:00:00Z in seconds of the Unix epoch.
constexpr std::chrono::seconds referenceEpoch{978307200};
} // namespace

double toReferenceSeconds(Instant at)
{
    return std::chrono::duration<double>(at.time_since_epoch() - referenceEpoch).count();
}

Instant fromReferenceSeconds(double seconds)
{
    seconds = std::isnan(seconds) ? 0 : std::clamp(seconds, -referenceSecondsLimit, referenceSecondsLimit);
    return Instant{referenceEpoch} + std::chrono::duration_cast<Instant::duration>(std::chrono::duration<double>(seconds));
}

} // namespace velloran
