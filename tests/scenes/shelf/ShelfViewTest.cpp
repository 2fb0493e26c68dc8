#include "scenes/shelf/ShelfView.h"

#include "ScriptedLibrary.h"
#include "TemporaryHome.h"
#include "TestSettings.h"
#include "artwork/CoverServer.h"

#include "artwork/ArtworkStore.h"
#include "core/ManualClock.h"
#include "model/PlayHistory.h"
#include "paint/DrawingThread.h"
#include "scenes/browse/GlassSegments.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QNetworkAccessManager>
#include <QPainter>
#include <QSemaphore>
#include <QTest>

#include <gtest/gtest.h>

using namespace velloran;
using namespace velloran::test;
using namespace Qt::StringLiterals;

namespace {

QByteArray png(QColor colour)
{
    QImage image(32, 32, QImage::Format_RGB32);
    image.fill(colour);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

// Runs the colour pass of `colours` and writes how many it asked for into `asked`.
QCoro::Task<> completeInto(shelf::CoverColours *colours, QList<ShelfEntry> entries, int *asked)
{
    auto task = colours->completeAll(std::move(entries));
    *asked = co_await std::move(task);
}

class ShelfViewTest : public ::testing::Test {
protected:
    ShelfViewTest() { ArtworkStore::setShared(&store); }
    ~ShelfViewTest() override { ArtworkStore::setShared(nullptr); }

    std::unique_ptr<ShelfView> makeView()
    {
        auto view = std::make_unique<ShelfView>(
            ShelfView::Services{library, history, *settings, clock,
                                [this](const ShelfEntry &, const Record &r, const QRectF &) { played.append(r.id); },
                                &store});
        view->resize(1600, 1000);
        return view;
    }

    TemporaryHome home;
    ManualClock clock;
    QNetworkAccessManager network;
    ArtworkStore store{&network, clock};
    TestSettings settings;
    PlayHistory history{clock};
    ScriptedLibrary library;
    QStringList played;
};

} // namespace

TEST_F(ShelfViewTest, SettingsLastAcrossARestart)
{
    {
        auto view = makeView();
        EXPECT_EQ(view->kind(), ShelfKind::all);
        EXPECT_EQ(view->sort(), ShelfSort::recent);
        view->setKind(ShelfKind::playlist);
        view->setSort(ShelfSort::year);
    }
    auto again = makeView();
    EXPECT_EQ(again->kind(), ShelfKind::playlist);
    EXPECT_EQ(again->sort(), ShelfSort::year);
    const auto controls = again->findChildren<GlassSegments *>();
    ASSERT_EQ(controls.size(), 2);
    EXPECT_EQ(controls[0]->selection(), u"playlist"_s);
    EXPECT_EQ(controls[1]->selection(), u"year"_s);

    // Pressing a segment chooses and stores its value.
    QTest::mouseClick(controls[0], Qt::LeftButton, {}, controls[0]->segmentRect(1).center().toPoint());
    EXPECT_EQ(again->kind(), ShelfKind::album);
    EXPECT_EQ(settings->value(u"shelfKind"_s).toString(), u"album"_s);
}

TEST_F(ShelfViewTest, ColourPassComputesEachMissingColourOnceAndBumpsThePass)
{
    CoverServer server;
    server.serve(u"/red.png"_s, {200, png(QColor(220, 30, 30))});
    server.serve(u"/blue.png"_s, {200, png(QColor(30, 40, 220))});
    server.serve(u"/green.png"_s, {200, png(QColor(30, 200, 60))});
    server.serve(u"/broken.png"_s, {404, {}});
    const struct {
        QString id;
        QString path;
    } covers[] = {{u"r"_s, u"/red.png"_s},     {u"b"_s, u"/blue.png"_s}, {u"g"_s, u"/green.png"_s},
                  {u"r2"_s, u"/red.png"_s},    // the same cover twice
                  {u"x"_s, u"/broken.png"_s}, {u"n"_s, QString()}};
    for (const auto &c : covers)
        library.add(sampleRecord(c.id, u"Record "_s + c.id), c.path.isEmpty() ? std::nullopt : std::optional(server.url(c.path)));

    auto view = makeView();
    // Another order asks for nothing.
    view->setSort(ShelfSort::artist);
    QTest::qWait(200);
    EXPECT_FALSE(store.knownColour(server.url(u"/red.png"_s)));
    EXPECT_EQ(view->colourPass(), 0);

    view->setSort(ShelfSort::colour);
    ASSERT_TRUE(QTest::qWaitFor([&] { return view->colourPass() == 1; }, 10'000));
    for (const char *path : {"/red.png", "/blue.png", "/green.png"})
        EXPECT_TRUE(store.knownColour(server.url(QString::fromLatin1(path)))) << path;
    QStringList order;
    for (const ShelfEntry &e : view->lists().shown)
        order.append(e.item.id);
    // Hues: red, green, blue; then the records without a colour, by their order.
    EXPECT_EQ(order, (QStringList{u"r"_s, u"r2"_s, u"g"_s, u"b"_s, u"x"_s, u"n"_s}));
    EXPECT_EQ(view->shelvesIdentity(), u"all-colour-1"_s);
    // The colours are kept: colours.json is written a second after the last one.
    const QString coloursFile = ArtworkStore::artworkDirectory() + u"/colours.json"_s;
    clock.advanceSeconds(1.1);
    ASSERT_TRUE(QTest::qWaitFor([&] { return QFileInfo(coloursFile).size() > 0; }, 5'000));
    QFile file(coloursFile);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(file.readAll().contains("/green.png"));

    // Coming back to the colour order runs the pass again; it finds nothing to ask for.
    view->setSort(ShelfSort::recent);
    view->setSort(ShelfSort::colour);
    ASSERT_TRUE(QTest::qWaitFor([&] { return view->colourPass() == 2; }, 10'000));
}

TEST_F(ShelfViewTest, EachCoverColourIsAskedForOnce)
{
    CoverServer server;
    server.serve(u"/red.png"_s, {200, png(QColor(220, 30, 30))});
    server.serve(u"/blue.png"_s, {200, png(QColor(30, 40, 220))});
    server.serve(u"/broken.png"_s, {404, {}});
    QList<ShelfEntry> entries;
    for (const QString &path : {u"/red.png"_s, u"/red.png"_s, u"/blue.png"_s, u"/broken.png"_s, QString()}) {
        ShelfEntry e;
        e.item = LibraryItem::album(QString::number(entries.size()));
        if (!path.isEmpty())
            e.artworkURL = server.url(path);
        entries.append(e);
    }
    shelf::CoverColours colours(&store);
    // A spine in view asks first; the pass waits for that one instead of asking again.
    colours.request(server.url(u"/red.png"_s));
    colours.request(server.url(u"/red.png"_s));
    int asked = -1;
    completeInto(&colours, entries, &asked);
    ASSERT_TRUE(QTest::qWaitFor([&] { return asked >= 0; }, 10'000));
    EXPECT_EQ(asked, 2); // blue and the broken one
    EXPECT_EQ(server.requests(u"/red.png"_s), 1);
    EXPECT_EQ(server.requests(u"/blue.png"_s), 1);
    EXPECT_EQ(server.requests(u"/broken.png"_s), 1);
    EXPECT_TRUE(colours.known(server.url(u"/red.png"_s)));

    // Known colours and covers that gave none are not asked again.
    asked = -1;
    completeInto(&colours, entries, &asked);
    ASSERT_TRUE(QTest::qWaitFor([&] { return asked >= 0; }, 10'000));
    EXPECT_EQ(asked, 0);
    colours.request(server.url(u"/broken.png"_s));
    QTest::qWait(100);
    EXPECT_EQ(server.requests(u"/broken.png"_s), 1);
}

TEST_F(ShelfViewTest, ClickingASpinePullsItsRecordOut)
{
    for (int i = 0; i < 30; ++i)
        library.add(sampleRecord(u"rec%1"_s.arg(i), u"Record %1"_s.arg(i)));
    auto view = makeView();
    view->show();
    const shelf::WallLayout &layout = view->wallLayout();
    ASSERT_FALSE(layout.rows.isEmpty());
    view->setScrollOffset(layout.shelvesTop - 100);
    const QRectF spine = layout.spineRect(0, 3).translated(0, -view->scrollOffset());
    EXPECT_EQ(view->toolTipAt(spine.center()), view->lists().shown.at(3).title + u" \u2014 The Quiet Hours"_s);

    QTest::mouseClick(view.get(), Qt::LeftButton, {}, spine.center().toPoint());
    ASSERT_TRUE(view->pulled());
    EXPECT_EQ(*view->pulled(), view->lists().shown.at(3));
    ASSERT_TRUE(view->pullOut());
    // While it is out, the wall takes no clicks.
    EXPECT_FALSE(view->spineAt(spine.center()));

    view->pullOut()->putBack();
    for (int i = 0; i < 80; ++i) {
        clock.advanceSeconds(1.0 / 60);
        if (view->pullOut())
            view->pullOut()->advanceFrame();
    }
    clock.settle();
    EXPECT_FALSE(view->pulled());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(view->pullOut());
}

TEST_F(ShelfViewTest, AwkwardLibrariesStillLayOut)
{
    auto view = makeView();
    view->show();
    // Empty: both headers, no shelves.
    EXPECT_TRUE(view->wallLayout().rows.isEmpty());
    EXPECT_TRUE(view->lists().caption.isEmpty());
    EXPECT_EQ(view->lists().ledgeTitle, u"Just added"_s);
    QImage frame(view->size(), QImage::Format_RGB32);
    {
        QPainter p(&frame);
        view->paintWall(p, 1.0, view->rect());
    }

    QList<ShelfEntry> entries;
    const QString strange[] = {QString(), QString(u"x"_s).repeated(500),
                               u"\u05E9\u05D9\u05E8\u05D9\u05DD \u05E9\u05DC \u05DC\u05D9\u05DC\u05D4"_s,
                               u"Cafe\u0301 Mu\u0308sic"_s};
    for (int i = 0; i < 40; ++i) {
        ShelfEntry e;
        e.item = i % 3 ? LibraryItem::album(QString::number(i)) : LibraryItem::playlist(QString::number(i));
        e.title = strange[i % 4];
        e.artist = strange[(i + 1) % 4];
        e.artworkURL = QUrl(u"http://127.0.0.1:1/missing.png"_s);
        e.order = i;
        entries.append(e);
    }
    library.setEntries(entries);
    EXPECT_EQ(view->lists().shown.size(), 40);
    EXPECT_FALSE(view->wallLayout().rows.isEmpty());
    for (double scroll : {0.0, 600.0, 1e9}) {
        view->setScrollOffset(scroll);
        QPainter p(&frame);
        view->paintWall(p, 1.0, view->rect());
    }
    EXPECT_EQ(view->scrollOffset(), view->maxScroll());
}

// A resized window's wall and boards are made on the drawing thread; till then its frames
// stretch the last ones, and then they show exactly what a fresh view shows.
TEST_F(ShelfViewTest, AResizedWindowStretchesTheLastWallUntilItsOwnIsMade)
{
    for (int i = 0; i < 30; ++i)
        library.add(sampleRecord(u"rec%1"_s.arg(i), u"Record %1"_s.arg(i)));
    const auto paint = [](ShelfView &view) {
        QImage frame(view.size(), QImage::Format_RGB32);
        QPainter p(&frame);
        view.paintWall(p, 1.0, view.rect());
        return frame;
    };
    auto view = makeView();
    view->show();
    paint(*view);
    const int walls = view->wall().renderCount();
    const int boards = view->boards().renderCount();

    // The drawing thread held, so that the frame after the resize surely comes first.
    QSemaphore held;
    drawingThread().start([&] { held.acquire(); });
    const QSize larger(1700, 1060);
    view->resize(larger);
    ASSERT_TRUE(view->isMakingWall());
    const QImage makeshift = paint(*view);
    EXPECT_EQ(makeshift.size(), larger);
    EXPECT_EQ(view->wall().renderCount(), walls);
    EXPECT_EQ(view->boards().renderCount(), boards);

    held.release();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !view->isMakingWall(); }));
    auto fresh = makeView();
    fresh->resize(larger);
    fresh->show();
    EXPECT_TRUE(paint(*view) == paint(*fresh));
}
