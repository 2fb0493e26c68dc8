#pragma once

#include "ScriptedLibrary.h"
#include "TestSettings.h"

#include "core/ManualClock.h"

#include "scenes/browse/GlassSegments.h"
#include "scenes/shelf/ShelfView.h"

#include <QDir>
#include <QImage>
#include <QPainter>
#include <QString>

#include <cmath>

namespace velloran::test {

// A made-up cover of a given hue: a field of colour, a band and a sun, so covers differ and
// the colour order has something to order.
inline QImage shelfCover(double hue, int seed, int size = 320)
{
    QImage image(size, size, QImage::Format_RGB32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const double saturation = 0.35 + 0.5 * std::fmod(seed * 0.37, 1.0);
    const double value = 0.35 + 0.55 * std::fmod(seed * 0.61, 1.0);
    const QColor ground = QColor::fromHsvF(float(std::fmod(hue, 1.0)), float(saturation), float(value));
    const QColor accent = QColor::fromHsvF(float(std::fmod(hue + 0.5, 1.0)), 0.5f, 0.9f);
    p.fillRect(image.rect(), ground);
    p.setPen(Qt::NoPen);
    p.setBrush(accent);
    switch (seed % 3) {
    case 0: p.drawEllipse(QPointF(size * 0.62, size * 0.38), size * 0.16, size * 0.16); break;
    case 1: p.drawRect(QRectF(0, size * 0.64, size, size * 0.1)); break;
    default: p.drawEllipse(QPointF(size * 0.5, size * 0.5), size * 0.3, size * 0.3);
    }
    p.setBrush(ground.darker(140));
    p.drawRect(QRectF(0, size * 0.8, size, size * 0.2));
    return image;
}

// A collection of `albums` albums and `playlists` playlists, their covers written as files
// into `folder` (every `coverEvery`-th entry shares a cover with the previous one; none
// when `coverEvery` is 0).
inline void fillShelfLibrary(ScriptedLibrary &library, const QString &folder, int albums, int playlists,
                             bool writeCovers = true)
{
    using namespace Qt::StringLiterals;
    static const QStringList words{u"Harbour"_s, u"Lights"_s, u"Orchard"_s, u"Dusk"_s, u"Tidewater"_s, u"Ember"_s,
                                   u"Lantern"_s, u"Street"_s, u"Copper"_s, u"Rain"_s, u"Nightjar"_s, u"Elms"_s,
                                   u"Slow"_s, u"Field"_s, u"Glass"_s, u"Weather"_s, u"Paper"_s, u"Moon"_s};
    static const QStringList artists{u"The Quiet Hours"_s, u"Mara Lind"_s, u"Orchid Quartet"_s, u"The Blue Ferns"_s,
                                     u"Ada Kestrel"_s, u"Northern Rooms"_s, u"Tomas Vey"_s, u"Lumen"_s};
    QList<ShelfEntry> entries;
    for (int i = 0; i < albums + playlists; ++i) {
        const bool isPlaylist = i >= albums;
        ShelfEntry e;
        const QString id = (isPlaylist ? u"p%1"_s : u"a%1"_s).arg(i);
        e.item = isPlaylist ? LibraryItem::playlist(id) : LibraryItem::album(id);
        e.title = words.at((i * 7) % words.size()) + u' ' + words.at((i * 5 + 3) % words.size());
        e.artist = isPlaylist ? u"Mara"_s : artists.at(i % artists.size());
        if (!isPlaylist)
            e.year = QString::number(1958 + (i * 13) % 64);
        if (i % 4 != 3)
            e.addedAt = fromReferenceSeconds(7.0e8 - i * 86400.0 * 3);
        e.order = i;
        const QString file = QDir(folder).filePath(id + u".png"_s);
        if (writeCovers && !QFileInfo::exists(file))
            shelfCover(std::fmod(i * 0.137, 1.0), i).save(file);
        e.artworkURL = QUrl::fromLocalFile(file);
        entries.append(e);
    }
    library.setEntries(entries);
}

// The view drawn into an image at a pixel ratio: the wall, its floating controls and the
// pull-out when one is out.
inline QImage drawShelfView(ShelfView &view, qreal dpr)
{
    QImage image(view.size() * dpr, QImage::Format_RGB32);
    image.setDevicePixelRatio(dpr);
    QPainter p(&image);
    view.paintWall(p, dpr, view.rect());
    for (GlassSegments *control : view.findChildren<GlassSegments *>()) {
        p.save();
        p.translate(control->pos());
        QList<QString> titles;
        for (const auto &option : control->options())
            titles.append(option.title);
        GlassSegments::paint(p, GlassSegments::layoutFor(titles), control->options(), control->selection());
        p.restore();
    }
    if (PullOut *pullOut = view.pullOut())
        pullOut->paintScene(p, dpr, view.rect());
    return image;
}

} // namespace velloran::test
