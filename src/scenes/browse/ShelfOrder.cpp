#include "scenes/browse/ShelfOrder.h"

#include <QSettings>

#include <algorithm>
#include <cmath>
#include <numeric>

using namespace Qt::StringLiterals;

namespace velloran {

namespace {

const auto kindKey = u"shelfKind"_s;
const auto sortKey = u"shelfSort"_s;
const auto missingYear = u"9999"_s;

// Sorts by a key computed once per entry, so that no comparison allocates.
template<typename Key, typename Less>
QList<ShelfEntry> sortedByKey(QList<ShelfEntry> entries, Key key, Less less)
{
    using K = decltype(key(entries.front()));
    struct Keyed {
        K key;
        qsizetype index;
    };
    std::vector<Keyed> keyed;
    keyed.reserve(entries.size());
    for (qsizetype i = 0; i < entries.size(); ++i)
        keyed.push_back({key(entries.at(i)), i});
    std::stable_sort(keyed.begin(), keyed.end(), [&less](const Keyed &a, const Keyed &b) { return less(a.key, b.key); });

    QList<ShelfEntry> result;
    result.reserve(entries.size());
    for (const Keyed &k : keyed)
        result.append(std::move(entries[k.index]));
    return result;
}

} // namespace

QString rawValue(ShelfKind kind)
{
    switch (kind) {
    case ShelfKind::all: return u"all"_s;
    case ShelfKind::album: return u"album"_s;
    case ShelfKind::playlist: return u"playlist"_s;
    }
    Q_UNREACHABLE();
}

QString rawValue(ShelfSort sort)
{
    switch (sort) {
    case ShelfSort::recent: return u"recent"_s;
    case ShelfSort::artist: return u"artist"_s;
    case ShelfSort::year: return u"year"_s;
    case ShelfSort::colour: return u"colour"_s;
    }
    Q_UNREACHABLE();
}

std::optional<ShelfKind> shelfKindFromRawValue(const QString &raw)
{
    for (ShelfKind kind : {ShelfKind::all, ShelfKind::album, ShelfKind::playlist})
        if (raw == rawValue(kind))
            return kind;
    return std::nullopt;
}

std::optional<ShelfSort> shelfSortFromRawValue(const QString &raw)
{
    for (ShelfSort sort : {ShelfSort::recent, ShelfSort::artist, ShelfSort::year, ShelfSort::colour})
        if (raw == rawValue(sort))
            return sort;
    return std::nullopt;
}

ShelfKind storedShelfKind(const QSettings &settings)
{
    return shelfKindFromRawValue(settings.value(kindKey).toString()).value_or(ShelfKind::all);
}

ShelfSort storedShelfSort(const QSettings &settings)
{
    return shelfSortFromRawValue(settings.value(sortKey).toString()).value_or(ShelfSort::recent);
}

void storeShelfKind(QSettings &settings, ShelfKind kind)
{
    settings.setValue(kindKey, rawValue(kind));
}

void storeShelfSort(QSettings &settings, ShelfSort sort)
{
    settings.setValue(sortKey, rawValue(sort));
}

QList<ShelfEntry> filtered(ShelfKind kind, QList<ShelfEntry> entries)
{
    if (kind == ShelfKind::all)
        return entries;
    const LibraryItem::Kind wanted = kind == ShelfKind::album ? LibraryItem::Kind::album : LibraryItem::Kind::playlist;
    entries.removeIf([wanted](const ShelfEntry &entry) { return entry.item.kind != wanted; });
    return entries;
}

QString artistSortKey(const QString &artist)
{
    QString key = artist.toLower();
    if (key.startsWith("the "_L1))
        key.remove(0, 4);
    return key;
}

double colourKey(double red, double green, double blue)
{
    const double max = std::max({red, green, blue});
    const double min = std::min({red, green, blue});
    const double delta = max - min;
    if (delta > 0.08) {
        double hue;
        if (max == red)
            hue = 60 * std::fmod((green - blue) / delta, 6.0);
        else if (max == green)
            hue = 60 * ((blue - red) / delta + 2);
        else
            hue = 60 * ((red - green) / delta + 4);
        return hue < 0 ? hue + 360 : hue;
    }
    return 400 + (1 - max) * 100;
}

double colourKey(const std::optional<CodableColour> &colour)
{
    return colour ? colourKey(colour->red, colour->green, colour->blue) : noColourKey;
}

QList<ShelfEntry> sorted(ShelfSort sort, QList<ShelfEntry> entries, const KnownColour &knownColour)
{
    if (entries.size() < 2)
        return entries;
    switch (sort) {
    case ShelfSort::recent:
        return sortedByKey(
            std::move(entries), [](const ShelfEntry &e) { return std::pair{e.addedAt, e.order}; },
            [](const auto &a, const auto &b) {
                if (a.first && b.first)
                    return *a.first > *b.first;
                if (a.first || b.first)
                    return a.first.has_value();
                return a.second < b.second;
            });
    case ShelfSort::artist:
        return sortedByKey(
            std::move(entries), [](const ShelfEntry &e) { return std::pair{artistSortKey(e.artist), e.year.value_or(missingYear)}; },
            [](const auto &a, const auto &b) { return a < b; });
    case ShelfSort::year:
        return sortedByKey(
            std::move(entries), [](const ShelfEntry &e) { return std::pair{e.year.value_or(missingYear), e.order}; },
            [](const auto &a, const auto &b) { return a < b; });
    case ShelfSort::colour:
        return sortedByKey(
            std::move(entries),
            [&knownColour](const ShelfEntry &e) {
                const std::optional<CodableColour> colour =
                    e.artworkURL && knownColour ? knownColour(*e.artworkURL) : std::nullopt;
                return std::pair{colourKey(colour), e.order};
            },
            [](const auto &a, const auto &b) { return a < b; });
    }
    Q_UNREACHABLE();
}

} // namespace velloran
