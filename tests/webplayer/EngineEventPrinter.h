#pragma once

#include "playback/AudioEngine.h"

#include <ostream>

// Readable test failures for engine events.
namespace velloran::engine_event {

inline void PrintTo(const State &e, std::ostream *out)
{
    *out << "state(paused=" << e.state.paused << ", position=" << e.state.positionMs
         << ", uri=" << e.state.trackURI.value_or(QStringLiteral("-")).toStdString() << ")";
}
inline void PrintTo(const Error &e, std::ostream *out)
{
    *out << "error(" << e.message.toStdString() << ")";
}
inline void PrintTo(const Remote &e, std::ostream *out)
{
    *out << "remote(" << int(e.action.kind) << ", " << e.action.trackMs << ")";
}

} // namespace velloran::engine_event
