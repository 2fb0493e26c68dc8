#include "scenes/deck/DeckTargets.h"

#include "playback/Turntable.h"
#include "scenes/deck/DeckGeometry.h"

#include <algorithm>

namespace velloran {

DeckSnapshot DeckSnapshot::of(const Turntable &turntable, Instant at)
{
    const PlaybackController &controller = turntable.controller();
    DeckSnapshot s;
    s.motor = turntable.motor();
    s.at45 = turntable.at45();
    s.pitch = turntable.pitch();
    s.dragAngle = turntable.dragAngle();
    s.onCurrentSide = turntable.isOnCurrentSide();
    s.armParked = turntable.armParked();
    if (const Side *side = controller.currentSide()) {
        s.sideDurationMs = side->durationMs;
        s.sidePositionMs = controller.sidePosition(at);
    }
    s.status = controller.status();
    return s;
}

DeckInputs deckInputs(const DeckSnapshot &s)
{
    using Status = PlaybackController::Status;
    DeckInputs in;
    in.motor = s.motor;
    in.targetRPM = (s.at45 ? rpm45 : rpm33) * (1 + s.pitch / 100);
    if (s.dragAngle) {
        in.drag = s.dragAngle;
        in.rest = true;
        in.lifted = true;
        in.armTarget = 0;
        return in;
    }
    if (s.onCurrentSide && !s.armParked && s.sideDurationMs && *s.sideDurationMs > 0) {
        const double fraction = std::clamp(double(s.sidePositionMs) / double(*s.sideDurationMs), 0.0, 1.0);
        in.armTarget = armAngle(deck::grooveRadius(fraction));
        switch (s.status) {
        case Status::starting:
        case Status::playing:
            in.rest = false;
            in.lifted = false;
            in.motor = true;
            break;
        case Status::paused:
            in.rest = false;
            in.lifted = true;
            break;
        case Status::idle:
        case Status::sideEnded:
            in.rest = true;
            in.lifted = false;
            in.armTarget = 0;
            break;
        }
        return in;
    }
    in.rest = true;
    in.lifted = false;
    in.armTarget = 0;
    return in;
}

} // namespace velloran
