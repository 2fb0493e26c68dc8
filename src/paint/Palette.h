#pragma once

#include <QColor>

namespace velloran {

// The deck's colours, in one place. Renderers take a palette so that a cached image is
// redrawn when a colour changes, and tests can tell a colour from its role.
struct Palette {
    QColor creamPrint{243, 230, 214};
    QColor engraving{201, 168, 136};
    QColor darkBrown{28, 15, 7};
    QColor lampOrange{255, 106, 43};
    QColor lampOff{90, 43, 29};
    QColor buttonInk{42, 42, 45};
    // The warm brown of shadows cast on the oak table.
    QColor tableShadow{42, 23, 11};
    // Shown where a cover or label has no artwork yet.
    QColor artworkPlaceholder{42, 39, 36};
    // The centre detent of the pitch fader.
    QColor detentGreen{63, 208, 122};

    static const Palette &deck()
    {
        static const Palette palette;
        return palette;
    }

    bool operator==(const Palette &) const = default;
};

// A grey of the given level on all three channels.
inline QColor grey(int level, qreal alpha = 1.0)
{
    QColor c(level, level, level);
    c.setAlphaF(float(alpha));
    return c;
}

// The colour with another opacity.
inline QColor withAlpha(QColor c, qreal alpha)
{
    c.setAlphaF(float(alpha));
    return c;
}

} // namespace velloran
