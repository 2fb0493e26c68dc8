#include "paint/TimingCurves.h"

#include <QPointF>

namespace velloran::timing {

QEasingCurve cubic(qreal x1, qreal y1, qreal x2, qreal y2)
{
    QEasingCurve curve(QEasingCurve::BezierSpline);
    curve.addCubicBezierSegment(QPointF(x1, y1), QPointF(x2, y2), QPointF(1.0, 1.0));
    return curve;
}

QEasingCurve easeInOut() { return cubic(0.42, 0.0, 0.58, 1.0); }
QEasingCurve easeIn() { return cubic(0.42, 0.0, 1.0, 1.0); }
QEasingCurve easeOut() { return cubic(0.0, 0.0, 0.58, 1.0); }
QEasingCurve linear() { return QEasingCurve(QEasingCurve::Linear); }

} // namespace velloran::timing
