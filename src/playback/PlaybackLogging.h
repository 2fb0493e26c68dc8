#pragma once

#include <QLoggingCategory>

namespace velloran {

// Playback diagnostics; silent unless QT_LOGGING_RULES turns "velloran.playback" on.
Q_DECLARE_LOGGING_CATEGORY(lcPlayback)

} // namespace velloran
