#pragma once

#include "webplayer/WebEngineSetup.h"

#include <QCoroTask>
#include <QString>

#include <optional>

namespace velloran {

// What the player page's engine can do, as the page itself sees it.
struct PlaybackSupport {
    QString aac;            // canPlayType for AAC in MP4: "probably", "maybe" or empty
    bool mediaSource = false;
    bool mediaSourceAac = false;
    bool widevine = false;  // the key system com.widevine.alpha with AAC audio
    QString widevineProblem;
    bool webAudio = false;

    bool canPlaySpotify() const { return !aac.isEmpty() && mediaSourceAac && widevine; }
};

// Loads a blank page at the player page's origin and asks it. Needs the application object;
// nullopt when the page does not answer.
QCoro::Task<std::optional<PlaybackSupport>> probePlaybackSupport();

// The report `--check-playback` prints.
QString playbackReport(const std::optional<PlaybackSupport> &support, const WebEngineSetup &setup);

} // namespace velloran
