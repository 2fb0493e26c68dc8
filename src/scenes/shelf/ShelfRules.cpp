#include "scenes/shelf/ShelfRules.h"

#include "scenes/browse/ShelfOrder.h"

#include <QSet>
#include <QStringList>

#include <algorithm>
#include <cstdint>

using namespace Qt::StringLiterals;

namespace velloran::shelf {

QList<ShelfEntry> featuredEntries(const QList<ShelfEntry> &shown, const QList<LibraryItem> &history, qsizetype limit)
{
    QHash<LibraryItem, qsizetype> byItem;
    byItem.reserve(shown.size());
    for (qsizetype i = 0; i < shown.size(); ++i)
        byItem.insert(shown.at(i).item, i);

    QList<ShelfEntry> result;
    QSet<LibraryItem> played;
    for (const LibraryItem &item : history) {
        const auto it = byItem.constFind(item);
        if (it == byItem.constEnd() || played.contains(item))
            continue;
        played.insert(item);
        result.append(shown.at(*it));
        if (result.size() >= limit)
            return result;
    }
    // The newest additions, in the order of the recent rule (ties keep the shown order); only
    // the first few are wanted, so only they are put in order.
    std::vector<qsizetype> added;
    added.reserve(shown.size());
    for (qsizetype i = 0; i < shown.size(); ++i)
        if (!played.contains(shown.at(i).item))
            added.push_back(i);
    const auto newer = [&shown](qsizetype a, qsizetype b) {
        const ShelfEntry &x = shown.at(a);
        const ShelfEntry &y = shown.at(b);
        if (x.addedAt && y.addedAt && *x.addedAt != *y.addedAt)
            return *x.addedAt > *y.addedAt;
        if (x.addedAt.has_value() != y.addedAt.has_value())
            return x.addedAt.has_value();
        if (!x.addedAt && x.order != y.order)
            return x.order < y.order;
        return a < b;
    };
    const auto wanted = std::min<qsizetype>(limit - result.size(), qsizetype(added.size()));
    std::partial_sort(added.begin(), added.begin() + wanted, added.end(), newer);
    for (qsizetype i = 0; i < wanted; ++i)
        result.append(shown.at(added[i]));
    return result;
}

QString ledgeTitle(bool hasHistory)
{
    return hasHistory ? u"Spinning lately"_s : u"Just added"_s;
}

QString collectionCaption(const QList<ShelfEntry> &shown)
{
    qsizetype albums = 0;
    qsizetype playlists = 0;
    for (const ShelfEntry &entry : shown)
        ++(entry.item.kind == LibraryItem::Kind::album ? albums : playlists);
    QStringList parts;
    if (albums > 0)
        parts.append(QString::number(albums) + (albums == 1 ? u" LP"_s : u" LPs"_s));
    if (playlists > 0)
        parts.append(QString::number(playlists) + (playlists == 1 ? u" custom pressing"_s : u" custom pressings"_s));
    return parts.join(u" \u00B7 "_s).toUpper();
}

int spineThickness(const QString &entryId)
{
    std::uint64_t h = 5381;
    for (const char byte : entryId.toUtf8())
        h = h * 33 + static_cast<unsigned char>(byte);
    std::uint64_t x = (h * 0x9E3779B97F4A7C15ULL) | 1;
    x ^= x << 13;
    x ^= x >> 7;
    x ^= x << 17;
    const double f = double(x % 1'000'000) / 1'000'000.0 * 12;
    return thinnestSpine + int(f);
}

double rowCapacity(double width)
{
    // 2 x 10 of padding, and 30 kept for the book end.
    return std::max(width - 20 - 30, 200.0);
}

QList<ShelfRow> shelfRows(const QList<int> &thicknesses, double width)
{
    QList<ShelfRow> rows;
    if (thicknesses.isEmpty())
        return rows;
    const double available = rowCapacity(width);
    rows.append(ShelfRow{});
    for (qsizetype i = 0; i < thicknesses.size(); ++i) {
        const int t = thicknesses.at(i);
        ShelfRow *row = &rows.last();
        if (row->width + t > available && row->count > 0) {
            rows.append(ShelfRow{i, 0, 0});
            row = &rows.last();
        }
        ++row->count;
        row->width += t;
    }
    return rows;
}

double ledgeTilt(int thickness)
{
    return (double(thickness - thinnestSpine) / 12 - 0.5) * 2.4;
}

double relativeLuminance(const CodableColour &colour)
{
    return 0.2126 * colour.red + 0.7152 * colour.green + 0.0722 * colour.blue;
}

QColor spineInk(const CodableColour &fill)
{
    return relativeLuminance(fill) > 0.6 ? QColor(29, 29, 29) : QColor(246, 241, 232);
}

SpineColours spineColours(LibraryItem::Kind kind, const std::optional<CodableColour> &coverColour)
{
    const auto toColour = [](const CodableColour &c) {
        return QColor::fromRgbF(float(c.red), float(c.green), float(c.blue));
    };
    if (kind == LibraryItem::Kind::playlist)
        return {QColor(239, 232, 218), QColor(36, 50, 74),
                coverColour ? toColour(*coverColour) : QColor(201, 154, 74)};
    if (!coverColour)
        return {QColor(107, 90, 72), QColor(246, 241, 232), std::nullopt};
    return {toColour(*coverColour), spineInk(*coverColour), std::nullopt};
}

} // namespace velloran::shelf
