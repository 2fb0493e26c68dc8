#include "ScreenFixture.h"

#include "AwaitTask.h"
#include "TemporaryHome.h"

#include "model/Library.h"
#include "paint/FontRegistration.h"
#include "scenes/sleeveback/Drawer.h"
#include "scenes/sleeveback/SleeveBack.h"
#include "scenes/sleeveback/SleeveBackParts.h"
#include "scenes/turntable/TurntableScreen.h"
#include "spotify/SpotifyAPI.h"
#include "standin/StandinServer.h"

#include <QNetworkAccessManager>
#include <QTest>
#include "model/AtomicFile.h"

#include <QThreadPool>

#include <gtest/gtest.h>

using namespace velloran;
using namespace velloran::test;
using namespace Qt::StringLiterals;

// The chooser over the real library against the Spotify stand-in: pick a record, put it on.
TEST(ScreenEndToEnd, ChooserFetchesARecordFromTheStandInAndPlaysIt)
{
    fonts::registerBundledFonts();
    TemporaryHome home;
    DeckHarness deck;
    standin::StandinServer server{standin::Catalogue::generate({3, 1, 8})};
    server.listenOnLoopback();
    QNetworkAccessManager network;
    const QString token = server.accounts().issueTokens().access;
    SpotifyAPI api([token](bool) -> QCoro::Task<QString> { co_return token; }, server.urlFor(u"/v1/"_s), &network,
                   SystemClock::shared());
    {
        Library library(api, deck.clock);
        await(library.load());
        const QList<ShelfEntry> entries = library.entries();
        ASSERT_GE(entries.size(), 2);

        TurntableScreen screen(deck.turntable, library, deck.clock);
        screen.resize(1600, 1000);
        screen.show();
        screen.drawer().clickTab();
        screen.sleeveBack().rebuildNow();
        auto *row = screen.sleeveBack().findChild<RowButton *>(u"entry-"_s + entries[1].id());
        ASSERT_TRUE(row);
        row->click();
        const bool placed = QTest::qWaitFor(
            [&] {
                deck.advance(0.1);
                return deck.turntable.record().has_value();
            },
            15000);
        ASSERT_TRUE(placed);
        EXPECT_EQ(deck.turntable.record()->id, entries[1].item.id);
        deck.advance(2);
        QCoreApplication::processEvents();
        ASSERT_EQ(screen.sleeveBack().face(), sleeveback::Face::record);

        PillButton *putItOn = nullptr;
        for (auto *pill : screen.sleeveBack().findChildren<PillButton *>())
            if (pill->text() == u"Put it on"_s)
                putItOn = pill;
        ASSERT_TRUE(putItOn);
        putItOn->click();
        deck.advance(3);
        ASSERT_FALSE(deck.engine.plays.empty());
        const Record &record = *deck.turntable.record();
        QStringList side;
        for (const Track &track : record.sides[0].tracks)
            side << track.uri;
        EXPECT_EQ(deck.engine.plays.back().uris, side);
    }
    fileWriterPool().waitForDone();
}
