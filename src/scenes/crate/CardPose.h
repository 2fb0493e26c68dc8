#pragma once

#include <QtGlobal>

namespace velloran::crate {

// Where a card stands for its offset from the current card (its index minus the current
// one). The current card is lifted out of the crate; the cards behind lean back a little
// more the further back they stand; cards already passed lie tipped towards the viewer in
// front of the crate. Tilts are about the card's bottom edge, in degrees, positive leaning
// the top away from the viewer.
struct CardPose {
    double tilt = 0;
    double scale = 1;
    double dy = 0; // points, downwards
    double opacity = 1;
    int z = 0;

    static CardPose at(qsizetype offset);
    // Part way from one pose to another (`t` may overshoot, as a spring does); the order is
    // the target's.
    static CardPose mix(const CardPose &from, const CardPose &to, double t);

    bool operator==(const CardPose &) const = default;
};

// Only these cards are built at all.
inline constexpr qsizetype firstBuiltOffset = -5;
inline constexpr qsizetype lastBuiltOffset = 12;
inline bool isBuilt(qsizetype offset) { return offset >= firstBuiltOffset && offset <= lastBuiltOffset; }

// A change of the current card moves the cards on a spring of this response and damping.
inline constexpr double poseResponse = 0.5;
inline constexpr double poseDamping = 0.85;

} // namespace velloran::crate
