#pragma once

#include "paint/RenderCache.h"
#include "paint/Sprite.h"

#include <QPainter>
#include <QList>
#include <QPointF>
#include <QTransform>

namespace velloran {

// The tonearm at its rest pose, drawn once with the pivot at the origin (stylus 320 points
// below it), then rotated and scaled about the pivot every frame. Its shadow is blurred
// once at the lowered and the raised radius; frames in between blend the two.
//
// A frame draws each of these as three pieces: the pivot end, the headshell end and, between
// them, the straight run of the tube, which looks the same along its whole length and so is
// kept as a single row of pixels stretched to length. That keeps the per-frame resampling to
// the pixels the arm really covers rather than its whole 140 x 520 frame.
class TonearmRenderer {
public:
    // The drawing's frame relative to the pivot: 140 x 520 with the pivot at (70, 100).
    static constexpr QPointF frameOrigin{-70.0, -100.0};

    // Draws the arm with its pivot at `pivot`, at angle `arm` degrees and lift `lift`.
    void paint(QPainter &painter, QPointF pivot, double arm, double lift, qreal devicePixelRatio);

    // Rectangles in the painter's coordinates that together hold every pixel `paint` draws
    // for this pose: the arm and its shadow cut into short lengths, so that a turned arm
    // is covered closely rather than by one large square.
    QList<QRectF> footprint(QPointF pivot, double arm, double lift, qreal devicePixelRatio);

    const Sprite &arm(qreal devicePixelRatio);
    int renderCount() const { return m_arm.renderCount(); }

    static Sprite render(qreal devicePixelRatio);

    // Where the straight run of the tube begins and ends, below the pivot.
    static constexpr double tubeTop = 24.0;
    static constexpr double tubeBottom = 262.0;

    // A drawing cut into its pivot end, its stretched middle run and its headshell end.
    struct Pieces {
        Sprite pivotEnd;
        Sprite run;
        QRectF runRect;
        Sprite headEnd;

        void draw(QPainter &painter) const;
        // The rectangles covered, through `toPainter`, by lengths of at most `step` points.
        void cover(const QTransform &toPainter, double step, QList<QRectF> &into) const;
    };
    static Pieces cut(const Sprite &drawing, double top, double bottom);

private:
    struct Parts {
        Pieces arm;
        Pieces lowered;
        Pieces raised;
    };
    const Parts &parts(qreal devicePixelRatio);

    RenderCache<NoKey, Sprite> m_arm;
    RenderCache<NoKey, Parts> m_parts;
};

// The smoothstep of the lift that the arm's placement effects follow.
double easedLift(double lift);

} // namespace velloran
