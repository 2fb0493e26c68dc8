#include "scenes/shelf/ShelfLists.h"

#include <algorithm>
#include <cmath>

namespace velloran::shelf {

ShelfLists ShelfLists::build(const QList<ShelfEntry> &entries, ShelfKind kind, ShelfSort sort,
                             const KnownColour &knownColour, const QList<LibraryItem> &history)
{
    ShelfLists lists;
    lists.shown = sorted(sort, filtered(kind, entries), knownColour);
    lists.thickness.reserve(lists.shown.size());
    for (const ShelfEntry &entry : lists.shown)
        lists.thickness.append(spineThickness(entry));
    lists.featured = featuredEntries(lists.shown, history);
    lists.caption = collectionCaption(lists.shown);
    lists.ledgeTitle = shelf::ledgeTitle(!history.isEmpty());
    return lists;
}

WallLayout WallLayout::make(double viewWidth, qsizetype featuredCount, const QList<int> &thickness)
{
    WallLayout l;
    l.thickness = thickness;
    l.setWidth(viewWidth, featuredCount);
    return l;
}

void WallLayout::setWidth(double width, qsizetype featuredCount)
{
    viewWidth = width;
    double y = topPadding;
    ledgeHeader = QRectF(margin, y, contentWidth(width), headerHeight);
    y += headerHeight + headerGap - ledgePullUp;
    ledgeBaseline = y + ledgePaddingTop + ledgeHeight;
    covers.clear();
    // As many covers as the ledge has room for; a narrow window shows the first few.
    const auto room = qsizetype(std::floor((contentWidth(width) - 2 * ledgePaddingX + coverSpacing) / (coverSide + coverSpacing)));
    const qsizetype shownCovers = std::clamp<qsizetype>(room, 0, featuredCount);
    for (qsizetype i = 0; i < shownCovers; ++i)
        covers.append(QRectF(margin + ledgePaddingX + i * (coverSide + coverSpacing), ledgeBaseline - coverSide,
                             coverSide, coverSide));
    y = ledgeBaseline + ledgePaddingBottom + boardThickness;
    y += collectionGap;
    collectionHeader = QRectF(margin, y, contentWidth(width), headerHeight);
    y += headerHeight + headerGap;
    shelvesTop = y;

    rows = shelfRows(thickness, contentWidth(width));
    spineLeft.resize(thickness.size());
    for (const ShelfRow &row : rows) {
        double x = margin + rowPaddingX;
        for (qsizetype i = row.first; i < row.first + row.count; ++i) {
            spineLeft[i] = x;
            x += thickness.at(i);
        }
    }
    bookEnd.reset();
    if (!rows.isEmpty()) {
        const ShelfRow &last = rows.last();
        bookEnd = QPointF(margin + rowPaddingX + last.width + bookEndGap, rowBase(rows.size() - 1));
    }
    contentHeight = shelvesTop + rows.size() * rowPitch + bottomPadding;
}

QRectF WallLayout::spineRect(qsizetype row, qsizetype index) const
{
    return {spineLeft.at(index), rowBase(row) - spineHeight, double(thickness.at(index)), spineHeight};
}

std::pair<qsizetype, qsizetype> WallLayout::rowsBetween(double top, double bottom) const
{
    if (rows.isEmpty())
        return {0, 0};
    const auto first = qsizetype(std::floor((top - shelvesTop) / rowPitch));
    const auto last = qsizetype(std::floor((bottom - shelvesTop) / rowPitch)) + 1;
    return {std::clamp<qsizetype>(first, 0, rows.size()), std::clamp<qsizetype>(last, 0, rows.size())};
}

qsizetype WallLayout::rowOf(qsizetype index) const
{
    const auto it = std::upper_bound(rows.begin(), rows.end(), index,
                                     [](qsizetype i, const ShelfRow &row) { return i < row.first; });
    return it == rows.begin() ? 0 : qsizetype(it - rows.begin()) - 1;
}

std::optional<qsizetype> WallLayout::spineAt(QPointF point) const
{
    if (point.y() < shelvesTop)
        return std::nullopt;
    const auto r = qsizetype(std::floor((point.y() - shelvesTop) / rowPitch));
    if (r < 0 || r >= rows.size() || point.y() < rowBase(r) - spineHeight || point.y() > rowBase(r))
        return std::nullopt;
    const ShelfRow &row = rows.at(r);
    const auto begin = spineLeft.begin() + row.first;
    const auto end = begin + row.count;
    const auto it = std::upper_bound(begin, end, point.x());
    if (it == begin)
        return std::nullopt;
    const qsizetype index = qsizetype(it - spineLeft.begin()) - 1;
    if (point.x() >= spineLeft.at(index) + thickness.at(index))
        return std::nullopt;
    return index;
}

std::optional<qsizetype> WallLayout::coverAt(QPointF point) const
{
    for (qsizetype i = 0; i < covers.size(); ++i)
        if (covers.at(i).contains(point))
            return i;
    return std::nullopt;
}

} // namespace velloran::shelf
