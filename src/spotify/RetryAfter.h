#pragma once

#include <QByteArray>

namespace velloran {

// How long to wait, in seconds, before trying again after a 429 with this Retry-After
// header (empty when missing): the header's decimal number of seconds, at most 30; 1 when
// it is missing, not a number, negative or not finite.
double retryAfterSeconds(const QByteArray &header);

} // namespace velloran
