#pragma once

#include "paint/RenderCache.h"

#include <QImage>

namespace velloran {

// The platter mat, as wide as the platter (452 points): dark rubber with fine ribs, the name
// printed below the spindle, and the spindle. Drawn once.
class MatRenderer {
public:
    static constexpr double diameter = 452.0;
    static constexpr double nameOffset = 59.36;

    // The mat with its top-left corner at the origin.
    const QImage &image(qreal devicePixelRatio);
    int renderCount() const { return m_cache.renderCount(); }

    static QImage render(qreal devicePixelRatio);

private:
    RenderCache<NoKey, QImage> m_cache;
};

} // namespace velloran
