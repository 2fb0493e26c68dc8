#pragma once

#include "paint/Palette.h"
#include "paint/RenderCache.h"
#include "paint/Sprite.h"
#include "scenes/deck/Mat.h"
#include "scenes/deck/Plinth.h"

#include <QString>

namespace velloran {

// The deck's static body in stage coordinates: plinth, top panel, platter with its mat, the
// hinge fittings, the tonearm's base and bearing, the arm rest, the anti-skate knob, the
// round boss and the name plate. Drawn once; the sprite's origin is in stage points.
class DeckBodyRenderer {
public:
    // The two letters of the product's monogram on the name plate.
    static QString monogram() { return QStringLiteral("VL"); }
    static QString modelLine() { return QStringLiteral("\u00B71500 DIRECT DRIVE"); }

    const Sprite &sprite(qreal devicePixelRatio, const Palette &palette = Palette::deck());
    int renderCount() const { return m_cache.renderCount(); }

    const PlinthRenderer &plinth() const { return m_plinth; }
    const MatRenderer &mat() const { return m_mat; }

private:
    Sprite render(const Palette &palette, qreal devicePixelRatio);

    PlinthRenderer m_plinth;
    MatRenderer m_mat;
    RenderCache<Palette, Sprite> m_cache;
};

} // namespace velloran
