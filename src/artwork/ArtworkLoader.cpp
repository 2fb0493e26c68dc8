#include "artwork/ArtworkLoader.h"

#include "artwork/ArtworkStore.h"


namespace velloran {

ArtworkLoader::ArtworkLoader(QObject *parent, ArtworkStore *store)
    : QObject(parent), m_store(store)
{
}

ArtworkStore &ArtworkLoader::store() const
{
    return m_store ? *m_store : ArtworkStore::shared();
}

void ArtworkLoader::setSource(std::optional<QUrl> url, int pixels)
{
    if (url == m_url && pixels == m_pixels)
        return;
    m_url = std::move(url);
    m_pixels = pixels;
    if (m_active)
        start();
}

void ArtworkLoader::activate()
{
    m_active = true;
    start();
}

std::optional<QImage> ArtworkLoader::image() const
{
    if (m_image)
        return m_image;
    return store().cachedImage(m_url, m_pixels);
}

void ArtworkLoader::start()
{
    const quint64 generation = ++m_generation;
    m_image = m_url ? store().cachedImage(m_url, m_pixels) : std::nullopt;
    Q_EMIT imageChanged();
    if (!m_url)
        return;
    // The connection is dropped with this object; a newer start makes this answer stale.
    QCoro::connect(store().image(m_url, m_pixels), this, [this, generation](const std::optional<QImage> &result) {
        if (generation != m_generation || !result)
            return;
        m_image = result;
        Q_EMIT imageChanged();
    });
}

} // namespace velloran
