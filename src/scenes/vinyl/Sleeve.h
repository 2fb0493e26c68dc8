#pragma once

#include "paint/RenderCache.h"
#include "paint/Sprite.h"

#include <QImage>
#include <QSizeF>

namespace velloran {

// A record's sleeve lying on the table: the cover (drawn by the cover view and handed in as
// an image) with a faint sheen, slightly rounded corners, and a crisp contact shadow under a
// warm, soft one on the oak. The sprite's origin is relative to the sleeve's top-left corner.
class SleeveRenderer {
public:
    static constexpr QSizeF size{330.0, 330.0};

    const Sprite &sprite(const QImage &cover, qreal devicePixelRatio);
    int renderCount() const { return m_cache.renderCount(); }

    static Sprite render(const QImage &cover, qreal devicePixelRatio);

private:
    RenderCache<qint64, Sprite> m_cache;
};

// The paper inner sleeve's edge, as it shows when a disc is half out of its cover.
class SleeveEdgeRenderer {
public:
    const QImage &image(QSizeF size, qreal devicePixelRatio);
    int renderCount() const { return m_cache.renderCount(); }

    static QImage render(QSizeF size, qreal devicePixelRatio);

private:
    struct Key {
        double width = 0;
        double height = 0;
        bool operator==(const Key &) const = default;
    };
    RenderCache<Key, QImage> m_cache;
};

} // namespace velloran
