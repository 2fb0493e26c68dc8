#include "scenes/crate/CrateItems.h"

#include <algorithm>
#include <cmath>

namespace velloran::crate {

using namespace Qt::StringLiterals;

QString CrateItem::identity() const
{
    return isDivider() ? u"divider-"_s + section : entry.id();
}

QString sectionOf(const ShelfEntry &entry)
{
    if (entry.item.kind == LibraryItem::Kind::playlist)
        return playlistsSection;
    QString name = entry.artist;
    if (name.startsWith(u"The "_s))
        name = name.mid(4);
    name = name.toUpper();
    if (name.isEmpty())
        return u"#"_s;
    // A letter outside the basic plane comes as a pair of code units; keep both.
    const char32_t first = name.front().isHighSurrogate() && name.size() > 1
        ? QChar::surrogateToUcs4(name[0], name[1])
        : name.front().unicode();
    if (!QChar::isLetter(first))
        return u"#"_s;
    return QString::fromUcs4(&first, 1);
}

QList<CrateItem> crateItems(QList<ShelfEntry> entries, ShelfKind kind)
{
    struct Keyed {
        QString section;
        bool playlists;
        qsizetype index;
    };
    const QList<ShelfEntry> shown = filtered(kind, std::move(entries));
    std::vector<Keyed> keyed;
    keyed.reserve(size_t(shown.size()));
    for (qsizetype i = 0; i < shown.size(); ++i) {
        QString section = sectionOf(shown[i]);
        const bool playlists = section == playlistsSection;
        keyed.push_back({std::move(section), playlists, i});
    }
    const auto year = [](const ShelfEntry &e) { return e.year.value_or(QString()); };
    std::stable_sort(keyed.begin(), keyed.end(), [&](const Keyed &a, const Keyed &b) {
        if (a.playlists != b.playlists)
            return b.playlists;
        if (const int c = a.section.compare(b.section))
            return c < 0;
        const ShelfEntry &x = shown[a.index];
        const ShelfEntry &y = shown[b.index];
        if (const int c = x.artist.compare(y.artist))
            return c < 0;
        if (const int c = year(x).compare(year(y)))
            return c < 0;
        return x.title.compare(y.title) < 0;
    });

    QList<CrateItem> items;
    items.reserve(shown.size() + 30);
    const QString *previous = nullptr;
    for (const Keyed &k : keyed) {
        if (!previous || *previous != k.section)
            items.append(CrateItem::divider(k.section));
        previous = &k.section;
        items.append(CrateItem::record(shown[k.index], k.section));
    }
    return items;
}

std::optional<QString> counterText(const QList<CrateItem> &items, qsizetype current)
{
    if (current < 0 || current >= items.size() || items[current].isDivider())
        return std::nullopt;
    const CrateItem &here = items[current];
    const QString id = here.identity();
    int count = 0;
    std::optional<int> position;
    for (const CrateItem &item : items) {
        if (item.isDivider() || item.section != here.section)
            continue;
        ++count;
        if (!position && item.identity() == id)
            position = count;
    }
    return QString::asprintf("%02d OF %02d", position.value_or(0), count);
}

qsizetype goTo(const QList<CrateItem> &items, qsizetype current, qsizetype index)
{
    const qsizetype count = items.size();
    if (count == 0)
        return current;
    qsizetype target = std::clamp<qsizetype>(index, 0, count - 1);
    if (items[target].isDivider())
        target = index < current ? std::max<qsizetype>(target - 1, 0) : std::min(target + 1, count - 1);
    // Only the first divider has nothing before it: going back from the first record stays.
    if (items[target].isDivider() && current >= 0 && current < count)
        return current;
    return target;
}

qsizetype currentOnAppearing(qsizetype count, qsizetype current)
{
    return count >= 2 ? std::clamp<qsizetype>(current, 1, count - 1) : 0;
}

std::optional<int> dragStep(double dx, double dy)
{
    if (std::hypot(dx, dy) < dragMinimum)
        return std::nullopt;
    const double value = std::abs(dy) > std::abs(dx) ? dy : -dx;
    return value > 0 ? 1 : -1;
}

} // namespace velloran::crate
