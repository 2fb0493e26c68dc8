#include "artwork/ArtworkImage.h"
#include "artwork/ArtworkStore.h"
#include "artwork/CoverPainting.h"
#include "artwork/RecordCover.h"
#include "model/AtomicFile.h"
#include "paint/FontRegistration.h"

#include "core/ManualClock.h"

#include "ArtworkTestSupport.h"
#include "AwaitTask.h"
#include "CoverServer.h"
#include "TemporaryHome.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLinearGradient>
#include <QNetworkAccessManager>
#include <QPainter>
#include <QTest>
#include <QThreadPool>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using namespace velloran;

namespace {

// A label artwork with a clear structure: a warm gradient with a dark bar.
QImage sampleArtwork(int side)
{
    QImage image(side, side, QImage::Format_ARGB32_Premultiplied);
    QPainter painter(&image);
    QLinearGradient gradient(0, 0, side, side);
    gradient.setColorAt(0, QColor(220, 70, 60));
    gradient.setColorAt(1, QColor(250, 190, 60));
    painter.fillRect(image.rect(), gradient);
    painter.fillRect(QRectF(0, side * 0.62, side, side * 0.12), QColor(30, 40, 70));
    return image;
}

QImage render(const ShelfEntry &entry, int side, const std::optional<QImage> &artwork)
{
    QImage image(side, side, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::magenta);
    QPainter painter(&image);
    cover::paintRecordCover(painter, side, entry, artwork);
    return image;
}

void saveRender(const QImage &image, const QString &name)
{
    const QString folder = QStringLiteral(QT_TESTCASE_BUILDDIR) + u"/renders"_s;
    QDir().mkpath(folder);
    image.save(folder + u'/' + name);
}

bool near(QColor actual, QColor expected, int tolerance = 3)
{
    return std::abs(actual.red() - expected.red()) <= tolerance && std::abs(actual.green() - expected.green()) <= tolerance
        && std::abs(actual.blue() - expected.blue()) <= tolerance;
}

const ShelfEntry playlistEntry{LibraryItem::playlist(u"p1"_s), u"Sunday Morning Kitchen Radio Favourites"_s,
                               u"marta vesper"_s, QUrl(u"https://covers.test/p1"_s), std::nullopt, std::nullopt, 3};
const ShelfEntry albumEntry{LibraryItem::album(u"a1"_s), u"Blue Hour"_s, u"The Orchids"_s,
                            QUrl(u"https://covers.test/a1"_s), u"1991"_s, std::nullopt, 0};

} // namespace

TEST(CoverPainting, PlaylistSleeveShowsPaperDiscLabelAndSpindle)
{
    fonts::registerBundledFonts();
    for (int side : {160, 600}) {
        const QImage image = render(playlistEntry, side, sampleArtwork(300));
        saveRender(image, u"playlist-sleeve-%1.png"_s.arg(side));
        const qreal c = side / 2.0;
        EXPECT_TRUE(near(image.pixelColor(2, 2), cover::paper)) << side;
        EXPECT_TRUE(near(image.pixelColor(int(c + 0.19 * side), int(c)), cover::disc)) << side;
        EXPECT_TRUE(near(image.pixelColor(int(c), int(c)), cover::spindle)) << side;
        // Inside the label: the artwork, not the placeholder.
        const QColor label = image.pixelColor(int(c - 0.08 * side), int(c - 0.08 * side));
        EXPECT_GT(label.red(), 200) << side;
        EXPECT_FALSE(near(label, cover::labelPlaceholder, 10)) << side;
        // The frame line darkens the paper a little at its inset.
        const QColor frame = image.pixelColor(int(0.03 * side + 0.5), int(c));
        EXPECT_LT(frame.red(), cover::paper.red() - 10) << side;
        EXPECT_GT(frame.red(), 150) << side;
    }

    const QImage bare = render(playlistEntry, 160, std::nullopt);
    EXPECT_TRUE(near(bare.pixelColor(80 - 15, 80 - 15), cover::labelPlaceholder));
}

TEST(CoverPainting, AlbumCoverIsItsArtworkOrThePlaceholder)
{
    for (int side : {160, 600}) {
        const QImage image = render(albumEntry, side, sampleArtwork(640));
        saveRender(image, u"album-sleeve-%1.png"_s.arg(side));
        EXPECT_TRUE(near(image.pixelColor(side / 2, int(side * 0.68)), QColor(30, 40, 70), 6)) << side;
    }
    EXPECT_TRUE(near(render(albumEntry, 100, std::nullopt).pixelColor(50, 50), cover::albumPlaceholder));

    EXPECT_EQ(cover::artworkPixels(LibraryItem::Kind::album, 160), 160);
    EXPECT_EQ(cover::artworkPixels(LibraryItem::Kind::playlist, 700), 350);
    EXPECT_EQ(cover::artworkPixels(LibraryItem::Kind::playlist, 240), 120);
    EXPECT_EQ(cover::artworkPixels(LibraryItem::Kind::playlist, 160), 120);
}

namespace {

class CoverViewTest : public ::testing::Test {
protected:
    ~CoverViewTest() override { fileWriterPool().waitForDone(); }

    static QColor centre(QWidget &view) { return view.grab().toImage().pixelColor(view.width() / 2, view.height() / 2); }

    test::TemporaryHome home;
    test::CoverServer server;
    ManualClock clock;
    QNetworkAccessManager network;
    ArtworkStore store{&network, clock};
};

} // namespace

TEST_F(CoverViewTest, ArtworkImageShowsThePlaceholderThenTheImageAndReloadsForANewUrl)
{
    server.serve(u"/green"_s, {200, test::encodedImage({64, 64}, Qt::green)});
    server.serve(u"/blue"_s, {200, test::encodedImage({64, 64}, Qt::blue)});
    ArtworkImage view(server.url(u"/green"_s), 160, QColor(42, 39, 36), nullptr, &store);
    view.resize(40, 40);
    EXPECT_TRUE(near(centre(view), QColor(42, 39, 36)));

    view.show();
    ASSERT_TRUE(QTest::qWaitFor([&] { return view.shownImage().has_value(); }));
    EXPECT_TRUE(near(centre(view), Qt::green));

    view.setUrl(server.url(u"/blue"_s));
    ASSERT_TRUE(QTest::qWaitFor([&] { return near(centre(view), Qt::blue); }));

    view.setUrl(std::nullopt);
    EXPECT_TRUE(near(centre(view), QColor(42, 39, 36)));
}

TEST_F(CoverViewTest, AFallbackSizeShowsAtOnceAndStaysWhenTheLoadFails)
{
    const QUrl url = server.url(u"/cover"_s);
    server.serve(u"/cover"_s, {200, test::encodedImage({800, 800}, Qt::red)});
    ASSERT_TRUE(test::await(store.image(url, 160)));
    // The store keeps a download's bytes until it hears the file is written; that news is a
    // posted event, and without it the store would answer from memory instead of the network.
    fileWriterPool().waitForDone();
    QCoreApplication::sendPostedEvents();
    ASSERT_TRUE(QDir(ArtworkStore::artworkDirectory()).remove(ArtworkStore::cacheFileName(url)));
    server.serve(u"/cover"_s, {404, {}});

    ArtworkImage view(url, 700, Qt::black, nullptr, &store);
    view.resize(50, 50);
    view.show();
    ASSERT_TRUE(view.shownImage());
    EXPECT_EQ(view.shownImage()->width(), 160);
    ASSERT_TRUE(QTest::qWaitFor([&] { return server.requests(u"/cover"_s) == 2; }, 20000));
    QTest::qWait(50);
    ASSERT_TRUE(view.shownImage());
    EXPECT_EQ(view.shownImage()->width(), 160);
    EXPECT_TRUE(near(centre(view), Qt::red));
}

TEST_F(CoverViewTest, RecordCoverLoadsTheLabelAtHalfTheSize)
{
    server.serve(u"/label"_s, {200, test::encodedImage({640, 640}, Qt::yellow)});
    ShelfEntry entry = playlistEntry;
    entry.artworkURL = server.url(u"/label"_s);
    RecordCover view(entry, 600, nullptr, &store);
    view.resize(200, 200);
    view.show();
    ASSERT_TRUE(QTest::qWaitFor([&] { return store.cachedImage(entry.artworkURL, 300).has_value(); }));
    EXPECT_EQ(store.cachedImage(entry.artworkURL, 300)->width(), 300);
    ASSERT_TRUE(QTest::qWaitFor([&] { return near(view.grab().toImage().pixelColor(85, 85), Qt::yellow); }));
}
