#pragma once

#include "artwork/ArtworkLoader.h"
#include "model/ShelfEntry.h"

#include <QImage>
#include <QObject>

#include <optional>

namespace velloran {

class ArtworkStore;

// The cover of one entry as an image for a painted scene: loads the artwork through the
// store and draws the cover once per artwork, size and pixel ratio.
class CoverArt : public QObject {
    Q_OBJECT

public:
    CoverArt(int pixels, ArtworkStore *store = nullptr, QObject *parent = nullptr);

    const std::optional<ShelfEntry> &entry() const { return m_entry; }
    void setEntry(const std::optional<ShelfEntry> &entry);

    // The cover, square of side `size` points, or a null image without an entry.
    const QImage &image(double size, qreal devicePixelRatio);
    // The artwork alone, if it has arrived.
    std::optional<QImage> artwork() const { return m_loader.image(); }

Q_SIGNALS:
    void changed();

private:
    int m_pixels;
    ArtworkLoader m_loader;
    std::optional<ShelfEntry> m_entry;
    QImage m_image;
    qint64 m_artworkKey = -1;
    double m_size = 0;
    qreal m_dpr = 0;
    bool m_stale = true;
};

} // namespace velloran
