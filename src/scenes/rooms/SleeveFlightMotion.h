#pragma once

#include "paint/Spring.h"

#include <QEasingCurve>
#include <QRectF>
#include <QSizeF>

#include <optional>

namespace velloran::rooms {

// Where the flying sleeve is drawn: the square it fills, its turn in degrees and its opacity.
struct SleevePose {
    QRectF frame;
    double angle = 0;
    double opacity = 1;

    static SleevePose mix(const SleevePose &from, const SleevePose &to, double t);
    bool operator==(const SleevePose &) const = default;
};

// Where a sleeve comes to rest beside the deck in a view of this size: the tabletop's sleeve
// place (330 points square about (285, 470) of the stage) through the stage's fitting.
QRectF restingRect(QSizeF view);

// The flying sleeve's way from where it was picked to the table: it starts where the sleeve
// stood, waits up and to the left of its place on a spring while the previous record is put
// away ("holding"), and settles into its place along a curve ("landing"). Targets are taken
// from the view's size when the state changes, so a resize moves them at the next change.
class SleeveFlightMotion {
public:
    static constexpr double holdResponse = 0.7;
    static constexpr double holdDamping = 0.9;
    static constexpr double landSeconds = 0.75;
    static constexpr double holdAngle = 4;
    static constexpr double landAngle = -6;

    // Starts at `from` (the view's points), upright and opaque.
    void start(const QRectF &from);
    void hold(QSizeF view);
    void land(QSizeF view, double now);

    // Moves the motion on to `now` (seconds on the view's clock).
    void advance(double now);
    const SleevePose &pose() const { return m_pose; }
    bool isMoving() const;

    static QEasingCurve landingCurve();

private:
    enum class Kind { still, spring, curve };

    Kind m_kind = Kind::still;
    SleevePose m_pose;
    SleevePose m_from;
    SleevePose m_to;
    DampedSpring m_spring{holdResponse, holdDamping, 1};
    double m_start = 0;
    std::optional<double> m_last;
};

} // namespace velloran::rooms
