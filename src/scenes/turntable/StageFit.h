#pragma once

#include <QPointF>
#include <QRectF>
#include <QSizeF>
#include <QTransform>

namespace velloran {

// How the 1600 x 1000 tabletop is laid into a window: scaled about its top-left corner and
// shifted, so that the part worth seeing (the deck alone in a narrow window, nearly the
// whole table in a wide one) is centred and fills the window's tighter dimension.
struct StageFit {
    // The deck, platter and arm; chosen for windows narrower than 1.05 : 1.
    static constexpr QRectF deckFocus{540, 200, 700, 620};
    // Nearly the whole table.
    static constexpr QRectF tableFocus{40, 60, 1520, 920};
    static constexpr double narrowAspect = 1.05;

    double scale = 1.0;
    double dx = 0.0;
    double dy = 0.0;
    QRectF focus = tableFocus;

    static StageFit fit(QSizeF window);

    // Stage points to window points.
    QTransform transform() const { return QTransform(scale, 0, 0, scale, dx, dy); }
    QPointF toWindow(QPointF stage) const { return {stage.x() * scale + dx, stage.y() * scale + dy}; }
    QPointF toStage(QPointF window) const { return {(window.x() - dx) / scale, (window.y() - dy) / scale}; }
    QRectF toWindow(const QRectF &stage) const { return transform().mapRect(stage); }
    QRectF toStage(const QRectF &window) const
    {
        return {toStage(window.topLeft()), QSizeF(window.width() / scale, window.height() / scale)};
    }
};

} // namespace velloran
