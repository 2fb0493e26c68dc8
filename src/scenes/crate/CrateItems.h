#pragma once

#include "model/ShelfEntry.h"
#include "scenes/browse/ShelfOrder.h"

#include <QList>
#include <QString>

#include <optional>

namespace velloran::crate {

// One card in the crate: an alphabetical divider, or a record with the section it is filed in.
struct CrateItem {
    enum class Kind { divider, record };

    Kind kind = Kind::divider;
    QString section; // a divider's title, or the section a record is filed in
    ShelfEntry entry; // only for a record

    static CrateItem divider(QString title) { return {Kind::divider, std::move(title), {}}; }
    static CrateItem record(ShelfEntry entry, QString section)
    {
        return {Kind::record, std::move(section), std::move(entry)};
    }

    bool isDivider() const { return kind == Kind::divider; }
    // How the item is found again in a rebuilt list.
    QString identity() const;

    bool operator==(const CrateItem &) const = default;
};

inline const QString playlistsSection = QStringLiteral("Playlists");

// The section a record is filed under: "Playlists" for a playlist; otherwise the first letter
// of the artist, upper-cased, with a leading "The " dropped; "#" for anything else.
QString sectionOf(const ShelfEntry &entry);

// The crate's cards: the entries of `kind`, ordered by section (playlists last), artist, year
// and title, with a divider before each section.
QList<CrateItem> crateItems(QList<ShelfEntry> entries, ShelfKind kind);

// "03 OF 12": where the current record stands among the records of its section; nothing
// while the current item is a divider or outside the list.
std::optional<QString> counterText(const QList<CrateItem> &items, qsizetype current);

// The item `current` becomes when the crate is asked to go to `index`. Dividers are skipped in
// the direction of travel; where nothing lies beyond a divider (going back from the first
// record) the crate stays where it is.
qsizetype goTo(const QList<CrateItem> &items, qsizetype current, qsizetype index);

// The item current when the crate comes on screen: the first record, not the first divider.
qsizetype currentOnAppearing(qsizetype count, qsizetype current);

// The way a drag on the cards flips them, once it has gone 20 points: +1 forwards, -1 back;
// nothing for a shorter movement (a click).
std::optional<int> dragStep(double dx, double dy);
inline constexpr double dragMinimum = 20;

} // namespace velloran::crate
