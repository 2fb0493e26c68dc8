#pragma once

#include <QEasingCurve>

namespace velloran::timing {

// The standard cubic timing curves, as Bézier splines through (0, 0) and (1, 1).
QEasingCurve easeInOut();
QEasingCurve easeIn();
QEasingCurve easeOut();
QEasingCurve linear();

// A cubic timing curve with control points (x1, y1) and (x2, y2).
QEasingCurve cubic(qreal x1, qreal y1, qreal x2, qreal y2);

} // namespace velloran::timing
