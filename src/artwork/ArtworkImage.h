#pragma once

#include "artwork/ArtworkLoader.h"

#include <QColor>
#include <QWidget>

namespace velloran {

// A cover image filling the view over a placeholder colour, loaded through the artwork
// store whenever the view is shown or its URL changes.
class ArtworkImage : public QWidget {
    Q_OBJECT
    Q_PROPERTY(QUrl url READ urlOrEmpty WRITE setUrl NOTIFY urlChanged)

public:
    ArtworkImage(std::optional<QUrl> url, int pixels, QColor placeholder, QWidget *parent = nullptr,
                 ArtworkStore *store = nullptr);

    const std::optional<QUrl> &url() const { return m_loader.url(); }
    QUrl urlOrEmpty() const { return url().value_or(QUrl()); }
    // An empty URL stands for none.
    void setUrl(const QUrl &url);
    void setUrl(std::optional<QUrl> url);

    int pixels() const { return m_loader.pixels(); }
    QColor placeholder() const { return m_placeholder; }

    std::optional<QImage> shownImage() const { return m_loader.image(); }

Q_SIGNALS:
    void urlChanged();

protected:
    void showEvent(QShowEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    ArtworkLoader m_loader;
    QColor m_placeholder;
};

} // namespace velloran
