#pragma once

#include "core/Clock.h"
#include "playback/PlaybackController.h"
#include "scenes/deck/DeckMotion.h"

#include <optional>

namespace velloran {

class Turntable;

// What the stage reads from the deck and the player to aim the deck's motion in one frame.
struct DeckSnapshot {
    bool motor = false;
    bool at45 = false;
    double pitch = 0;
    std::optional<double> dragAngle;
    bool onCurrentSide = false;
    bool armParked = false;
    // The controller's current side, if it has one.
    std::optional<qint64> sideDurationMs;
    qint64 sidePositionMs = 0;
    PlaybackController::Status status = PlaybackController::Status::idle;

    static DeckSnapshot of(const Turntable &turntable, Instant at);
};

inline constexpr double rpm33 = 33.333333333333336;
inline constexpr double rpm45 = 45.0;

// The targets of the deck's motion for a frame.
DeckInputs deckInputs(const DeckSnapshot &snapshot);

} // namespace velloran
