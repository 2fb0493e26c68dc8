// Writes the library snapshot, the play history and the cover colours in bursts, for ever,
// so that a test can kill it at any moment and look at what is left on disk.

#include "artwork/ArtworkStore.h"
#include "core/ManualClock.h"
#include "model/AtomicFile.h"
#include "model/Library.h"
#include "model/PlayHistory.h"
#include "spotify/SpotifyAPI.h"
#include "standin/StandinServer.h"

#include "ArtworkTestSupport.h"

#include <QGuiApplication>
#include <QNetworkAccessManager>
#include <QStandardPaths>
#include <QTimer>

#include <cstdio>

using namespace Qt::StringLiterals;
using namespace velloran;

namespace {

struct Writers {
    standin::StandinServer &server;
    Library &library;
    PlayHistory &history;
    ArtworkStore &store;
    ManualClock &clock;
};

QCoro::Task<> writeForEver(Writers w)
{
    const qsizetype albums = w.server.catalogue().albums.size();
    for (int i = 0;; ++i) {
        w.history.record(Record::make(u"record%1"_s.arg(i % 80), u"spotify:album:x"_s, Record::Kind::album, u"Title"_s,
                                      u"Artist"_s, std::nullopt, std::nullopt, {}));

        // A cover already in the disk cache, so that its colour needs no network.
        const QUrl cover(u"http://127.0.0.1:1/cover/%1"_s.arg(i));
        writeFileAtomically(ArtworkStore::artworkDirectory() + u'/' + ArtworkStore::cacheFileName(cover),
                            test::encodedImage({32, 32}, QColor::fromHsv(i * 7 % 360, 200, 200)));
        co_await w.store.colour(cover);

        co_await w.library.load();
        const QString albumId = w.server.catalogue().albums.at(i % albums).value("id"_L1).toString();
        try {
            co_await w.library.record(LibraryItem::album(albumId));
        } catch (const std::exception &) {
        }
        w.clock.advanceSeconds(1.1);
    }
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QStandardPaths::setTestModeEnabled(true);
    QGuiApplication app(argc, argv);

    standin::StandinServer server(standin::Catalogue::generate({300, 60, 5}));
    for (standin::Catalogue::Playlist &playlist : server.catalogue().playlists)
        playlist.readable = true;
    if (!server.listenOnLoopback())
        return 2;
    const QString token = server.accounts().issueTokens().access;
    QNetworkAccessManager network;
    ManualClock clock;
    SpotifyAPI api([token](bool) -> QCoro::Task<QString> { co_return token; }, server.urlFor(u"/v1/"_s), &network,
                   SystemClock::shared());
    Library library(api, clock);
    PlayHistory history(clock);
    ArtworkStore store(&network, clock);

    std::fputs("ready\n", stdout);
    std::fflush(stdout);
    QTimer::singleShot(0, [&] { writeForEver({server, library, history, store, clock}); });
    return app.exec();
}
