#pragma once

#include <QImage>
#include <QObject>
#include <QUrl>

#include <optional>

namespace velloran {

class ArtworkStore;

// What a cover view shows of one artwork URL at one size: a cached copy of another size at
// once, then the right size when it arrives. A failed load keeps what is shown. Views of
// any kind (widgets, graphics items) hold one and repaint on imageChanged().
class ArtworkLoader : public QObject {
    Q_OBJECT

public:
    // Without a store the shared one is used.
    explicit ArtworkLoader(QObject *parent = nullptr, ArtworkStore *store = nullptr);

    const std::optional<QUrl> &url() const { return m_url; }
    int pixels() const { return m_pixels; }

    // Changing the URL or size while active starts a load for them; a load still running for
    // the old ones no longer changes the image.
    void setSource(std::optional<QUrl> url, int pixels);

    // Loads whenever the view becomes visible.
    void activate();

    // The image to draw: the loaded one, else whatever size the store has in memory.
    std::optional<QImage> image() const;

Q_SIGNALS:
    void imageChanged();

private:
    ArtworkStore &store() const;
    void start();

    ArtworkStore *m_store;
    std::optional<QUrl> m_url;
    int m_pixels = 0;
    std::optional<QImage> m_image;
    bool m_active = false;
    quint64 m_generation = 0;
};

} // namespace velloran
