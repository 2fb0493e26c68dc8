#pragma once

#include "ScriptedEngine.h"
#include "ScriptedLibrary.h"
#include "TestSettings.h"

#include "core/ManualClock.h"
#include "playback/PlaybackController.h"
#include "playback/Turntable.h"

#include <QHash>

namespace velloran::test {

// The deck with its player, on a manual clock and a scripted engine.
struct DeckHarness {
    ManualClock clock;
    ScriptedEngine engine{clock};
    TestSettings settings;
    PlaybackController controller{engine, clock, *settings};
    Turntable turntable{controller, clock, *settings};
    ScriptedLibrary library;

    void advance(double seconds) { clock.advanceSeconds(seconds); }

    // The engine confirms whatever the controller last asked it to play.
    void confirm(qint64 positionMs = 0)
    {
        if (engine.plays.empty())
            return;
        const auto &call = engine.plays.back();
        engine.sendState(false, positionMs, call.uris.at(call.startIndex));
        clock.settle();
    }

    // The record seated on the platter and playing side A from `positionMs` into its first track.
    void play(const Record &record, qint64 positionMs = 0)
    {
        turntable.load(record, false);
        advance(0.3 + 1.6);
        confirm(positionMs);
    }
};

} // namespace velloran::test
