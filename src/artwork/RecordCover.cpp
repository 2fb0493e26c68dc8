#include "artwork/RecordCover.h"

#include "artwork/CoverPainting.h"

#include <QPainter>

namespace velloran {

RecordCover::RecordCover(ShelfEntry entry, int pixels, QWidget *parent, ArtworkStore *store)
    : QWidget(parent), m_entry(std::move(entry)), m_pixels(pixels), m_loader(this, store)
{
    m_loader.setSource(m_entry.artworkURL, cover::artworkPixels(m_entry.item.kind, m_pixels));
    connect(&m_loader, &ArtworkLoader::imageChanged, this, qOverload<>(&QWidget::update));
}

void RecordCover::setEntry(ShelfEntry entry)
{
    if (entry == m_entry)
        return;
    m_entry = std::move(entry);
    m_loader.setSource(m_entry.artworkURL, cover::artworkPixels(m_entry.item.kind, m_pixels));
    update();
}

void RecordCover::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    m_loader.activate();
}

void RecordCover::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    cover::paintRecordCover(painter, width(), m_entry, m_loader.image());
}

} // namespace velloran
