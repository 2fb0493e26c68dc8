#pragma once

#include "artwork/ArtworkLoader.h"
#include "model/ShelfEntry.h"

#include <QWidget>

namespace velloran {

// The cover of a shelf entry as every scene shows it, square: an album's artwork, or a
// playlist's printed sleeve with the artwork as the label seen through its window.
class RecordCover : public QWidget {
    Q_OBJECT

public:
    RecordCover(ShelfEntry entry, int pixels, QWidget *parent = nullptr, ArtworkStore *store = nullptr);

    const ShelfEntry &entry() const { return m_entry; }
    void setEntry(ShelfEntry entry);
    int pixels() const { return m_pixels; }

    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override { return width; }
    QSize sizeHint() const override { return {160, 160}; }

protected:
    void showEvent(QShowEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    ShelfEntry m_entry;
    int m_pixels;
    ArtworkLoader m_loader;
};

} // namespace velloran
