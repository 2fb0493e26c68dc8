#pragma once

#include "core/ConnectEach.h"
#include "playback/PlaybackController.h"
#include "playback/Turntable.h"

namespace velloran {

// The changes of the deck and of what it plays, for the views that draw them. A view
// connects to the groups it shows, and its constructor says which.

// What is on the deck and where, its switches, what plays and how a side ended.
template <typename Receiver, typename Slot>
void connectDeckState(Turntable &turntable, const Receiver *receiver, Slot slot)
{
    connectEach(&turntable, receiver, slot, &Turntable::recordChanged, &Turntable::placeChanged,
                &Turntable::settledChanged, &Turntable::faceUpChanged, &Turntable::flippingChanged,
                &Turntable::sleeveAwayChanged, &Turntable::discMoveChanged, &Turntable::sleeveArrivingChanged,
                &Turntable::incomingChanged, &Turntable::sleeveEmptyChanged, &Turntable::powerChanged,
                &Turntable::motorChanged, &Turntable::armParkedChanged, &Turntable::sideOverChanged,
                &Turntable::targetLightChanged, &Turntable::at45Changed);
    connectEach(&turntable.controller(), receiver, slot, &PlaybackController::recordChanged,
                &PlaybackController::sideIndexChanged, &PlaybackController::sideIndexPublished,
                &PlaybackController::trackIndexChanged, &PlaybackController::statusChanged,
                &PlaybackController::lastErrorChanged, &PlaybackController::autoFlipChanged);
}

// How the deck moves between those states: the arm in the hand, the pitch, and jumps of
// the play position.
template <typename Receiver, typename Slot>
void connectDeckMotion(Turntable &turntable, const Receiver *receiver, Slot slot)
{
    connectEach(&turntable, receiver, slot, &Turntable::dragAngleChanged, &Turntable::pitchChanged);
    connectEach(&turntable.controller(), receiver, slot, &PlaybackController::positionAnchored);
}

} // namespace velloran
