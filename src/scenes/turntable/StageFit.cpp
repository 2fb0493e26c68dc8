#include "scenes/turntable/StageFit.h"

#include <algorithm>

namespace velloran {

StageFit StageFit::fit(QSizeF window)
{
    const double w = window.width();
    const double h = window.height();
    const double aspect = h > 1 ? w / h : w;
    StageFit fit;
    fit.focus = aspect < narrowAspect ? deckFocus : tableFocus;
    fit.scale = std::min(w / fit.focus.width(), h / fit.focus.height());
    if (!(fit.scale > 0))
        fit.scale = 1e-3; // a collapsed window still maps points both ways
    fit.dx = (w - fit.focus.width() * fit.scale) / 2 - fit.focus.x() * fit.scale;
    fit.dy = (h - fit.focus.height() * fit.scale) / 2 - fit.focus.y() * fit.scale;
    return fit;
}

} // namespace velloran
