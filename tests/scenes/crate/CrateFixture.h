#pragma once

#include "TestSettings.h"
#include "scenes/turntable/ScreenFixture.h"

#include "artwork/ArtworkStore.h"
#include "core/Clock.h"
#include "scenes/crate/CrateItems.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLinearGradient>
#include <QNetworkAccessManager>
#include <QPainter>
#include <QWidget>

namespace velloran::test {

// A made-up cover: a sky in two colours, a sun and the title.
inline QImage makeCover(const QString &title, QColor top, QColor bottom, int size = 400)
{
    QImage image(size, size, QImage::Format_RGB32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 0, size);
    sky.setColorAt(0, top);
    sky.setColorAt(1, bottom);
    p.fillRect(image.rect(), sky);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 228, 180, 220));
    p.drawEllipse(QPointF(size * 0.64, size * 0.4), size * 0.16, size * 0.16);
    p.setPen(QColor(250, 244, 232));
    QFont font(QStringLiteral("Instrument Serif"));
    font.setPixelSize(size / 11);
    p.setFont(font);
    p.drawText(QRectF(size * 0.06, size * 0.05, size * 0.88, size * 0.3), Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap,
               title);
    return image;
}

// A small library of albums and playlists with covers on disk, for the crate and the rooms.
struct CrateFixture {
    explicit CrateFixture(const QString &coverFolder)
    {
        const struct {
            const char *title;
            const char *artist;
            const char *year;
            QColor top, bottom;
            bool playlist;
        } catalogue[] = {
            {"Harbour Lights", "Ada Marsh", "1978", {38, 74, 110}, {196, 98, 60}, false},
            {"Orchard at Dusk", "Ada Marsh", "1981", {92, 60, 110}, {230, 160, 80}, false},
            {"Tidewater", "The Boatmen", "1969", {20, 90, 96}, {210, 200, 160}, false},
            {"Copper Rain", "Bellwether", "1974", {120, 60, 30}, {230, 180, 110}, false},
            {"Slow Harbour", "Birch & Vale", "1990", {40, 50, 70}, {160, 170, 190}, false},
            {"Ember & Ash", "Cinder Row", "2003", {40, 30, 30}, {200, 80, 40}, false},
            {"Nightjar", "Corvid", "2011", {16, 22, 40}, {90, 110, 160}, false},
            {"Lantern Street", "Dell Harper", "1985", {60, 40, 20}, {240, 200, 120}, false},
            {"The Long Field", "Elm Parade", "1972", {60, 90, 40}, {220, 210, 140}, false},
            {"Under the Elms", "Fenwick", "1999", {30, 60, 50}, {180, 200, 170}, false},
            {"Paper Moons", "Gull Island", "2016", {70, 50, 90}, {240, 190, 200}, false},
            {"Sunday Kitchen", "Robin", "", {150, 60, 50}, {240, 190, 120}, true},
            {"Late Drive", "Robin", "", {30, 40, 80}, {200, 120, 90}, true},
        };
        int order = 0;
        for (const auto &item : catalogue) {
            const QString title = QString::fromUtf8(item.title);
            const QString id = QStringLiteral("r%1").arg(order);
            const QString file = coverFolder + QStringLiteral("/%1.png").arg(id);
            makeCover(title, item.top, item.bottom).save(file);
            QList<Track> tracks;
            for (int i = 0; i < 6; ++i)
                tracks.append({QStringLiteral("spotify:track:%1-%2").arg(id).arg(i), QStringLiteral("Song %1").arg(i),
                               QString::fromUtf8(item.artist), 580'000});
            const QString year = QString::fromUtf8(item.year);
            const Record record = Record::make(
                id, (item.playlist ? QStringLiteral("spotify:playlist:") : QStringLiteral("spotify:album:")) + id,
                item.playlist ? Record::Kind::playlist : Record::Kind::album, title, QString::fromUtf8(item.artist),
                QUrl::fromLocalFile(file), year.isEmpty() ? std::nullopt : std::optional(year), tracks);
            library.add(record);
            records.append(record);
            ++order;
        }
    }

    // Lets the covers load from disk.
    void waitForArtwork(QWidget &view, int ms = 600)
    {
        QElapsedTimer timer;
        timer.start();
        while (timer.elapsed() < ms)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        view.update();
    }

    static qsizetype firstDividerAfter(const QList<crate::CrateItem> &items, qsizetype from)
    {
        for (qsizetype i = from; i < items.size(); ++i)
            if (items[i].isDivider())
                return i;
        return 0;
    }

    ManualClock clock;
    TestSettings settings;
    ScriptedLibrary library;
    QList<Record> records;
    QNetworkAccessManager network;
    ArtworkStore store{&network, SystemClock::shared()};
};

} // namespace velloran::test
