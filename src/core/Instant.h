#pragma once

#include <chrono>

namespace velloran {

// A point in time as the program sees it; durations between instants are exact.
using Instant = std::chrono::system_clock::time_point;

// Seconds between two instants, as a double.
inline double secondsBetween(Instant from, Instant to)
{
    return std::chrono::duration<double>(to - from).count();
}

inline Instant addSeconds(Instant at, double seconds)
{
    return at + std::chrono::duration_cast<Instant::duration>(std::chrono::duration<double>(seconds));
}

// Seconds since 2001-01-01 00:00:00 UTC, the form dates take in stored files.
double toReferenceSeconds(Instant at);
// An Instant counts nanoseconds in 64 bits, some 292 years either side of 1970; a stored
// date is taken only within about 126 years of 2001, and converting clamps to that range.
inline constexpr double referenceSecondsLimit = 4e9;
inline bool isReferenceSecondsInRange(double seconds)
{
    return seconds >= -referenceSecondsLimit && seconds <= referenceSecondsLimit;
}
Instant fromReferenceSeconds(double seconds);

} // namespace velloran
