#include "scenes/vinyl/CoverArt.h"

#include "artwork/CoverPainting.h"
#include "paint/Sprite.h"

namespace velloran {

CoverArt::CoverArt(int pixels, ArtworkStore *store, QObject *parent)
    : QObject(parent)
    , m_pixels(pixels)
    , m_loader(this, store)
{
    connect(&m_loader, &ArtworkLoader::imageChanged, this, [this] {
        m_stale = true;
        Q_EMIT changed();
    });
}

void CoverArt::setEntry(const std::optional<ShelfEntry> &entry)
{
    if (entry == m_entry)
        return;
    m_entry = entry;
    m_stale = true;
    if (m_entry) {
        m_loader.setSource(m_entry->artworkURL, cover::artworkPixels(m_entry->item.kind, m_pixels));
        m_loader.activate();
    } else {
        m_loader.setSource(std::nullopt, m_pixels);
    }
    Q_EMIT changed();
}

const QImage &CoverArt::image(double size, qreal dpr)
{
    if (!m_entry) {
        m_image = QImage();
        return m_image;
    }
    const std::optional<QImage> artwork = m_loader.image();
    const qint64 key = artwork ? artwork->cacheKey() : 0;
    if (m_stale || key != m_artworkKey || size != m_size || dpr != m_dpr || m_image.isNull()) {
        m_image = makeCanvas({size, size}, dpr);
        QPainter p(&m_image);
        prepare(p);
        cover::paintRecordCover(p, size, *m_entry, artwork);
        m_artworkKey = key;
        m_size = size;
        m_dpr = dpr;
        m_stale = false;
    }
    return m_image;
}

} // namespace velloran
