#pragma once

#include "scenes/browse/ShelfOrder.h"
#include "scenes/shelf/ShelfRules.h"

#include <QList>
#include <QRectF>

#include <optional>

namespace velloran::shelf {

// Everything the wall shows, derived from the library, the history and the two settings;
// rebuilt when one of them changes.
struct ShelfLists {
    QList<ShelfEntry> shown;
    QList<int> thickness; // per shown entry
    QList<ShelfEntry> featured;
    QString caption;
    QString ledgeTitle;

    static ShelfLists build(const QList<ShelfEntry> &entries, ShelfKind kind, ShelfSort sort,
                            const KnownColour &knownColour, const QList<LibraryItem> &history);
};

// The wall's geometry, in content points (x from the view's left edge, y from the top of
// the scrolled content).
struct WallLayout {
    static constexpr double margin = 48;
    static constexpr double topPadding = 76;
    static constexpr double bottomPadding = 96;
    static constexpr double headerHeight = 36;
    static constexpr double headerGap = 12;
    static constexpr double ledgeHeight = 180;
    static constexpr double ledgePaddingX = 8;
    static constexpr double ledgePaddingTop = 14;
    static constexpr double ledgePaddingBottom = 2;
    static constexpr double ledgePullUp = 14;
    static constexpr double coverSide = 160;
    static constexpr double coverSpacing = 24;
    static constexpr double collectionGap = 36;
    static constexpr double rowHeight = 300;
    static constexpr double rowPaddingX = 10;
    static constexpr double rowPaddingBottom = 20;
    static constexpr double rowPitch = rowHeight + rowPaddingBottom;
    static constexpr double spineHeight = 262;
    static constexpr double bookEndGap = 6;
    static constexpr double boardThickness = 18;

    double viewWidth = 0;
    double contentHeight = 0;
    QRectF ledgeHeader;
    // The covers' bottom line and the board under them.
    double ledgeBaseline = 0;
    QList<QRectF> covers;
    QRectF collectionHeader;
    double shelvesTop = 0;
    QList<ShelfRow> rows;
    QList<double> spineLeft; // per shown entry
    QList<int> thickness;
    std::optional<QPointF> bookEnd; // bottom-left corner

    // The content width the rows are filled to: the view less its margins.
    static double contentWidth(double viewWidth) { return viewWidth - 2 * margin; }

    static WallLayout make(double viewWidth, qsizetype featuredCount, const QList<int> &thickness);
    // The same wall at another width: only the rows move.
    void setWidth(double viewWidth, qsizetype featuredCount);

    double rowTop(qsizetype row) const { return shelvesTop + row * rowPitch; }
    // Where a row's spines stand (and its board begins).
    double rowBase(qsizetype row) const { return rowTop(row) + rowHeight; }
    double boardLeft() const { return margin; }
    double boardWidth() const { return contentWidth(viewWidth); }
    QRectF spineRect(qsizetype row, qsizetype index) const;
    // Rows with any part between content heights `top` and `bottom`, as [first, last).
    std::pair<qsizetype, qsizetype> rowsBetween(double top, double bottom) const;
    std::optional<qsizetype> spineAt(QPointF point) const;
    std::optional<qsizetype> coverAt(QPointF point) const;
    qsizetype rowOf(qsizetype index) const;
};

} // namespace velloran::shelf
