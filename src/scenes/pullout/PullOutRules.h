#pragma once

#include "model/Record.h"
#include "model/ShelfEntry.h"

#include <QEasingCurve>
#include <QRectF>
#include <QSizeF>
#include <QString>

#include <optional>

namespace velloran::pullout {

// The size everything in the pull-out is measured in: the sleeve's side, in points.
double sceneSize(QSizeF space);

// "LP · 1971 · 10 TRACKS · 2 SIDES", or "PLAYLIST · 3 TRACKS · 1 SIDE"; the counts only once
// the record is known.
QString factsLine(const ShelfEntry &entry, const std::optional<Record> &record);

// The owner of a playlist "pressed" it; an album names its artist.
QString artistLine(const ShelfEntry &entry);

// The timing of the scene.
inline constexpr double arrivalPause = 0.35;
inline constexpr double slideOutSeconds = 0.9;
inline constexpr double slideInSeconds = 0.5;
inline constexpr double hideSeconds = 0.22;
inline constexpr double closeAfter = 0.62;
inline constexpr double spinDegreesPerSecond = 15;
// The disc's angle as the slide out ends.
inline constexpr double spinStartDegrees = 80;
inline constexpr double stageScaleHidden = 0.86;
inline constexpr double fadeSeconds = 0.3;

QEasingCurve slideOutCurve();
QEasingCurve slideInCurve();

// The disc's turn, in degrees, `secondsFromSpinStart` after the moment it reads 80 degrees.
inline double spinAngle(double secondsFromSpinStart)
{
    return spinDegreesPerSecond * secondsFromSpinStart + spinStartDegrees;
}

// Heights of the lines below the stage, as the fonts measure them.
struct TextHeights {
    double facts = 15;
    double title = 48;
    double artist = 18;
    double buttons = 34;
};

// Where the parts of the scene lie in a window of the given size, at full scale.
struct Layout {
    double size = 0; // S
    QRectF stage;    // 1.6 S x S
    QRectF sleeve;   // S x S, left of the stage's centre
    // The disc's square (0.96 S) with the disc in its sleeve; out, it lies 0.56 S further right.
    QRectF discIn;
    QRectF facts;
    QRectF title;
    QRectF artist;
    double buttonsTop = 0;

    QRectF discAt(double outFraction) const { return discIn.translated(0.56 * size * outFraction, 0); }
};

inline constexpr double titleWidth = 560;

Layout layout(QSizeF window, const TextHeights &heights);

} // namespace velloran::pullout
