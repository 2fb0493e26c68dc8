// The Retry-After header of a 429: whatever the service or a proxy sends, the wait is a
// finite number of seconds between 0 and 30.

#include "FuzzCheck.h"

#include "spotify/RetryAfter.h"

#include <cmath>

using namespace velloran;
using velloran::fuzz::require;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const double seconds = retryAfterSeconds(fuzz::bytesOf(data, size));
    require(std::isfinite(seconds) && seconds >= 0 && seconds <= 30, "the wait is between 0 and 30 seconds");
    return 0;
}
