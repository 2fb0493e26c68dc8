#include "spotify/RetryAfter.h"

#include <algorithm>
#include <cmath>

namespace velloran {

namespace {
constexpr double maxRetryDelay = 30;
constexpr double defaultRetryDelay = 1;
} // namespace

double retryAfterSeconds(const QByteArray &header)
{
    bool ok = false;
    const double seconds = header.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(seconds) || seconds < 0)
        return defaultRetryDelay;
    return std::min(seconds, maxRetryDelay);
}

} // namespace velloran
