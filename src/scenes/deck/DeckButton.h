#pragma once

#include "paint/Palette.h"
#include "paint/RenderCache.h"
#include "paint/Sprite.h"

#include <QFont>
#include <QSizeF>
#include <QString>

namespace velloran {

// The look of the deck's push buttons: a pale face over a darker slab. A button is down
// while it is held or while it is engaged (a latched speed button stays pressed).
struct DeckButtonStyle {
    QString title;
    QSizeF size;
    int weight = QFont::Normal;
    bool engaged = false;

    static constexpr double cornerRadius = 7.0;
    static constexpr double travel = 3.0;

    bool isDown(bool pressed) const { return pressed || engaged; }
    // How far the face sits below its up position.
    static double faceOffset(bool down) { return down ? travel : 0.0; }

    bool operator==(const DeckButtonStyle &) const = default;
};

// Draws a button in the style, up or down, once per look.
class DeckButtonRenderer {
public:
    // The sprite's origin is relative to the button frame's top-left corner.
    const Sprite &sprite(const DeckButtonStyle &style, bool down, qreal devicePixelRatio,
                         const Palette &palette = Palette::deck());
    int renderCount() const { return m_up.renderCount() + m_down.renderCount(); }

    static Sprite render(const DeckButtonStyle &style, bool down, const Palette &palette, qreal devicePixelRatio);

private:
    struct Key {
        DeckButtonStyle style;
        Palette palette;
        bool operator==(const Key &) const = default;
    };
    RenderCache<Key, Sprite> m_up;
    RenderCache<Key, Sprite> m_down;
};

} // namespace velloran
