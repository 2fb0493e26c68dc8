#pragma once

#include "model/ShelfEntry.h"

#include <QColor>
#include <QImage>
#include <QRectF>

#include <optional>

class QPainter;

namespace velloran::cover {

// The colours of the covers.
inline const QColor albumPlaceholder{42, 39, 36};
inline const QColor paper{239, 232, 218};
inline const QColor disc{20, 20, 20};
inline const QColor labelPlaceholder{201, 154, 74};
inline const QColor spindle{217, 217, 217};
inline const QColor titleInk{36, 50, 74};
inline const QColor ownerInk{107, 100, 88};

// The size of the artwork a cover of `pixels` draws: the whole cover for an album, the
// smaller label for a playlist's sleeve.
int artworkPixels(LibraryItem::Kind kind, int pixels);

// The placeholder colour filling the rectangle and the image, if any, stretched over it.
void paintArtwork(QPainter &painter, const QRectF &rect, const std::optional<QImage> &image, const QColor &placeholder);

// A playlist's printed paper sleeve of side `width` with its top-left corner at the origin:
// the paper, the disc seen through its window with the artwork as label, the printed frame,
// the handwritten title and the owner line.
void paintPlaylistSleeve(QPainter &painter, qreal width, const QString &title, const QString &owner,
                         const std::optional<QImage> &label);

// The cover of an entry, square of side `width` at the origin: the album's artwork, or the
// playlist's sleeve around it.
void paintRecordCover(QPainter &painter, qreal width, const ShelfEntry &entry, const std::optional<QImage> &artwork);

} // namespace velloran::cover
