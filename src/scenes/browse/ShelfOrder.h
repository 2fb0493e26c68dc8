#pragma once

#include "artwork/CodableColour.h"
#include "model/ShelfEntry.h"

#include <QList>
#include <QString>
#include <QUrl>

#include <functional>
#include <optional>

class QSettings;

namespace velloran {

// Which entries the shelves show.
enum class ShelfKind { all, album, playlist };
// In which order the shelves show them.
enum class ShelfSort { recent, artist, year, colour };

QString rawValue(ShelfKind kind);
QString rawValue(ShelfSort sort);
std::optional<ShelfKind> shelfKindFromRawValue(const QString &raw);
std::optional<ShelfSort> shelfSortFromRawValue(const QString &raw);

// The settings under "shelfKind" and "shelfSort"; a missing or unknown value gives `all`
// and `recent`.
ShelfKind storedShelfKind(const QSettings &settings);
ShelfSort storedShelfSort(const QSettings &settings);
void storeShelfKind(QSettings &settings, ShelfKind kind);
void storeShelfSort(QSettings &settings, ShelfSort sort);

// The entries of that kind, in their given order.
QList<ShelfEntry> filtered(ShelfKind kind, QList<ShelfEntry> entries);

// The stored colour of a cover, if one is known; the colour order asks it once per entry.
using KnownColour = std::function<std::optional<CodableColour>(const QUrl &)>;

// The entries in the order of `sort`; entries the order does not tell apart keep their
// relative order.
QList<ShelfEntry> sorted(ShelfSort sort, QList<ShelfEntry> entries, const KnownColour &knownColour = {});

// Orders colours by hue, then the greys from light to dark; 999 for no colour at all.
double colourKey(double red, double green, double blue);
double colourKey(const std::optional<CodableColour> &colour);
inline constexpr double noColourKey = 999;

// The artist as the artist order compares it: lower-cased, without a leading "the ".
QString artistSortKey(const QString &artist);

} // namespace velloran
