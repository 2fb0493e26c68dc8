#include "playback/PlaybackLogging.h"

namespace velloran {

Q_LOGGING_CATEGORY(lcPlayback, "velloran.playback", QtWarningMsg)

} // namespace velloran
