#pragma once

#include "paint/RenderCache.h"
#include "paint/Sprite.h"

#include <QImage>
#include <QPainter>
#include <QRectF>

#include <optional>

namespace velloran {

// The bare vinyl disc of the pull-out, out of its sleeve: black vinyl with fine grooves, the
// cover as its label and the spindle hole. The grooves are circles about the centre, so a
// turning disc is the still vinyl (with its shadow and the light on it, which stay put) and
// the label turned over it; both are drawn once per size, artwork and pixel ratio.
class LooseDiscRenderer {
public:
    // The label's side, as a part of the disc's diameter.
    static constexpr double labelFraction = 0.33;

    // Draws the disc filling `square`, turned by `degrees` about its centre.
    void paint(QPainter &painter, const QRectF &square, double degrees, const std::optional<QImage> &artwork,
               qreal devicePixelRatio);

    // The vinyl of diameter `diameter` points, its centre at the sprite's origin.
    const Sprite &vinyl(double diameter, qreal devicePixelRatio);
    // The label with the spindle hole, square, for a disc of `diameter` points.
    const QImage &label(double diameter, const std::optional<QImage> &artwork, qreal devicePixelRatio);

    int renderCount() const { return m_vinyl.renderCount() + m_label.renderCount(); }

    static Sprite renderVinyl(double diameter, qreal devicePixelRatio);
    static QImage renderLabel(double diameter, const std::optional<QImage> &artwork, qreal devicePixelRatio);

private:
    struct LabelKey {
        double diameter = 0;
        qint64 artwork = 0;
        bool operator==(const LabelKey &) const = default;
    };
    RenderCache<double, Sprite> m_vinyl;
    RenderCache<LabelKey, QImage> m_label;
};

} // namespace velloran
