#pragma once

#include "paint/Palette.h"
#include "paint/RenderCache.h"
#include "paint/Sprite.h"

#include <QFont>
#include <QString>

namespace velloran {

// Engraved lettering on the deck: small monospaced capitals in the engraving colour.
class HardwareLabelRenderer {
public:
    static QFont font();

    // The text centred on the sprite's origin.
    const Sprite &sprite(const QString &text, qreal devicePixelRatio, const Palette &palette = Palette::deck());

    static Sprite render(const QString &text, const Palette &palette, qreal devicePixelRatio);

private:
    struct Key {
        QString text;
        Palette palette;
        bool operator==(const Key &) const = default;
    };
    RenderCache<Key, Sprite> m_cache;
};

// The pitch readout engraved under the fader: "PITCH +2.5", "PITCH 0.0", "PITCH -3.0".
QString pitchLabelText(double pitch);

} // namespace velloran
