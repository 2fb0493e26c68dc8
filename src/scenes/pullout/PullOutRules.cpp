#include "scenes/pullout/PullOutRules.h"

#include "paint/TimingCurves.h"

#include <QStringList>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace velloran::pullout {

double sceneSize(QSizeF space)
{
    return std::max(0.0, std::min({0.42 * space.width(), 0.5 * space.height(), 360.0}));
}

namespace {

QString counted(qsizetype n, const QString &one, const QString &many)
{
    return QString::number(n) + u' ' + (n == 1 ? one : many);
}

} // namespace

QString factsLine(const ShelfEntry &entry, const std::optional<Record> &record)
{
    QStringList parts;
    if (entry.item.kind == LibraryItem::Kind::playlist) {
        parts.append(u"Playlist"_s);
    } else {
        parts.append(u"LP"_s);
        if (entry.year && !entry.year->isEmpty())
            parts.append(*entry.year);
    }
    if (record) {
        qsizetype tracks = 0;
        for (const Side &side : record->sides)
            tracks += side.tracks.size();
        parts.append(counted(tracks, u"track"_s, u"tracks"_s));
        parts.append(counted(record->sides.size(), u"side"_s, u"sides"_s));
    }
    return parts.join(u" \u00B7 "_s).toUpper();
}

QString artistLine(const ShelfEntry &entry)
{
    return entry.item.kind == LibraryItem::Kind::playlist ? u"Pressed for "_s + entry.artist : entry.artist;
}

QEasingCurve slideOutCurve()
{
    return timing::cubic(0.25, 0.8, 0.25, 1);
}

QEasingCurve slideInCurve()
{
    return timing::cubic(0.5, 0, 0.75, 0);
}

Layout layout(QSizeF window, const TextHeights &heights)
{
    constexpr double columnSpacing = 24;
    constexpr double textSpacing = 4;
    constexpr double artistPadding = 12;

    Layout l;
    const double s = sceneSize(window);
    l.size = s;
    const double texts = heights.facts + textSpacing + heights.title + textSpacing + heights.artist + artistPadding
        + textSpacing + heights.buttons;
    const double top = std::max(0.0, (window.height() - (s + columnSpacing + texts)) / 2);
    const double cx = window.width() / 2;
    l.stage = QRectF(cx - 0.8 * s, top, 1.6 * s, s);
    const QPointF centre = l.stage.center();
    l.sleeve = QRectF(centre.x() - 0.28 * s - s / 2, centre.y() - s / 2, s, s);
    const double disc = 0.96 * s;
    l.discIn = QRectF(centre.x() - 0.28 * s - disc / 2, centre.y() - disc / 2, disc, disc);

    double y = l.stage.bottom() + columnSpacing;
    const double textWidth = std::min(titleWidth, window.width());
    l.facts = QRectF(cx - window.width() / 2, y, window.width(), heights.facts);
    y += heights.facts + textSpacing;
    l.title = QRectF(cx - textWidth / 2, y, textWidth, heights.title);
    y += heights.title + textSpacing;
    l.artist = QRectF(cx - window.width() / 2, y, window.width(), heights.artist);
    y += heights.artist + artistPadding + textSpacing;
    l.buttonsTop = y;
    return l;
}

} // namespace velloran::pullout
