#include "artwork/ArtworkImage.h"

#include "artwork/CoverPainting.h"

#include <QPainter>

namespace velloran {

ArtworkImage::ArtworkImage(std::optional<QUrl> url, int pixels, QColor placeholder, QWidget *parent, ArtworkStore *store)
    : QWidget(parent), m_loader(this, store), m_placeholder(placeholder)
{
    if (url && url->isEmpty())
        url.reset();
    m_loader.setSource(std::move(url), pixels);
    connect(&m_loader, &ArtworkLoader::imageChanged, this, qOverload<>(&QWidget::update));
}

void ArtworkImage::setUrl(const QUrl &url)
{
    setUrl(url.isEmpty() ? std::nullopt : std::optional(url));
}

void ArtworkImage::setUrl(std::optional<QUrl> url)
{
    if (url == m_loader.url())
        return;
    m_loader.setSource(std::move(url), m_loader.pixels());
    Q_EMIT urlChanged();
}

void ArtworkImage::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    m_loader.activate();
}

void ArtworkImage::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    cover::paintArtwork(painter, rect(), m_loader.image(), m_placeholder);
}

} // namespace velloran
