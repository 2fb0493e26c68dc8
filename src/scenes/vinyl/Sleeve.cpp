#include "scenes/vinyl/Sleeve.h"

#include "paint/Palette.h"
#include "paint/SoftShadow.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace velloran {
namespace {

constexpr double cornerRadius = 2.0;

QPainterPath sleeveShape(QSizeF size)
{
    QPainterPath path;
    path.addRoundedRect(QRectF(QPointF(0, 0), size), cornerRadius, cornerRadius);
    return path;
}

} // namespace

Sprite SleeveRenderer::render(const QImage &cover, qreal devicePixelRatio)
{
    const QRectF rect(QPointF(0, 0), size);
    QImage face = makeCanvas(size, devicePixelRatio);
    {
        QPainter p(&face);
        prepare(p);
        p.setClipPath(sleeveShape(size));
        p.fillRect(rect, Palette::deck().artworkPlaceholder);
        if (!cover.isNull())
            p.drawImage(rect, cover);
        QLinearGradient gloss(0.1 * size.width(), 0.25 * size.height(), 0.9 * size.width(), 0.75 * size.height());
        gloss.setColorAt(0.0, QColor(255, 255, 255, qRound(255 * 0.18)));
        gloss.setColorAt(0.32, Qt::transparent);
        gloss.setColorAt(0.7, Qt::transparent);
        gloss.setColorAt(1.0, QColor(0, 0, 0, qRound(255 * 0.14)));
        p.fillRect(rect, gloss);
    }

    const Sprite warm = softShadow(face, 38.0, withAlpha(Palette::deck().tableShadow, 0.3), {22, 26});
    const Sprite contact = softShadow(face, 3.0, QColor(0, 0, 0, qRound(255 * 0.3)), {1.5, 2});

    const QRectF bounds = QRectF(warm.origin, warm.logicalSize()).united(QRectF(contact.origin, contact.logicalSize()));
    Sprite sprite{makeCanvas(bounds.size(), devicePixelRatio), bounds.topLeft()};
    QPainter p(&sprite.image);
    prepare(p);
    p.translate(-bounds.topLeft());
    warm.draw(p);
    contact.draw(p);
    p.drawImage(QPointF(0, 0), face);
    return sprite;
}

const Sprite &SleeveRenderer::sprite(const QImage &cover, qreal devicePixelRatio)
{
    return m_cache.get(cover.isNull() ? 0 : cover.cacheKey(), devicePixelRatio,
                       [&] { return render(cover, devicePixelRatio); });
}

QImage SleeveEdgeRenderer::render(QSizeF size, qreal devicePixelRatio)
{
    QImage image = makeCanvas(size, devicePixelRatio);
    QPainter p(&image);
    prepare(p);
    QLinearGradient paper(0, 0, size.width(), size.height());
    paper.setColorAt(0.0, QColor(232, 223, 208));
    paper.setColorAt(1.0, QColor(185, 173, 154));
    p.fillPath(sleeveShape(size), paper);
    return image;
}

const QImage &SleeveEdgeRenderer::image(QSizeF size, qreal devicePixelRatio)
{
    return m_cache.get(Key{size.width(), size.height()}, devicePixelRatio,
                       [&] { return render(size, devicePixelRatio); });
}

} // namespace velloran
