#include "artwork/ArtworkDecoding.h"
#include "artwork/ArtworkStore.h"
#include "model/AtomicFile.h"

#include "core/ManualClock.h"

#include "ArtworkTestSupport.h"
#include "AwaitTask.h"
#include "CoverServer.h"
#include "TemporaryHome.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkAccessManager>
#include <QThreadPool>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using namespace velloran;

namespace {

class ArtworkStoreTest : public ::testing::Test {
protected:
    ~ArtworkStoreTest() override { fileWriterPool().waitForDone(); }

    QStringList cacheFiles() const
    {
        fileWriterPool().waitForDone();
        return QDir(ArtworkStore::artworkDirectory()).entryList(QDir::Files);
    }

    QJsonObject coloursFile() const
    {
        fileWriterPool().waitForDone();
        QFile file(ArtworkStore::artworkDirectory() + u"/colours.json"_s);
        return file.open(QIODevice::ReadOnly) ? QJsonDocument::fromJson(file.readAll()).object() : QJsonObject();
    }

    test::TemporaryHome home;
    test::CoverServer server;
    ManualClock clock;
    QNetworkAccessManager network;
    std::unique_ptr<ArtworkStore> store = std::make_unique<ArtworkStore>(&network, clock);
};

} // namespace

TEST_F(ArtworkStoreTest, ViewsAskingAtOnceShareOneDownloadAndOneDecode)
{
    server.serve(u"/cover"_s, {200, test::encodedImage({800, 400}, Qt::red)});
    const QUrl url = server.url(u"/cover"_s);

    auto first = store->image(url, 340);
    auto second = store->image(url, 340);
    const std::optional<QImage> a = test::await(std::move(first));
    const std::optional<QImage> b = test::await(std::move(second));

    ASSERT_TRUE(a && b);
    EXPECT_EQ(server.requests(u"/cover"_s), 1);
    EXPECT_EQ(a->cacheKey(), b->cacheKey());
    EXPECT_EQ(a->size(), QSize(340, 170));
    EXPECT_EQ(a->pixelColor(10, 10), QColor(Qt::red));
    EXPECT_EQ(cacheFiles(), QStringList{ArtworkStore::cacheFileName(url)});

    // Another size decodes the same bytes from the disk cache.
    const std::optional<QImage> small = test::await(store->image(url, 160));
    ASSERT_TRUE(small);
    EXPECT_EQ(small->size(), QSize(160, 80));
    EXPECT_EQ(server.requests(u"/cover"_s), 1);
}

TEST_F(ArtworkStoreTest, MemoryLookupFallsBackToAnotherCachedSize)
{
    server.serve(u"/big"_s, {200, test::encodedImage({900, 900}, Qt::blue)});
    const QUrl url = server.url(u"/big"_s);
    EXPECT_FALSE(store->cachedImage(url, 700));
    EXPECT_FALSE(store->cachedImage(std::nullopt, 700));

    ASSERT_TRUE(test::await(store->image(url, 160)));
    std::optional<QImage> shown = store->cachedImage(url, 700);
    ASSERT_TRUE(shown);
    EXPECT_EQ(shown->width(), 160);

    ASSERT_TRUE(test::await(store->image(url, 700)));
    EXPECT_EQ(store->cachedImage(url, 700)->width(), 700);
    EXPECT_EQ(store->cachedImage(url, 160)->width(), 160);
    EXPECT_EQ(store->cachedImage(url, 340)->width(), 700);
}

TEST_F(ArtworkStoreTest, FailedAnswersLeaveNoFileAndNoImage)
{
    server.serve(u"/missing"_s, {404, "gone"});
    server.serve(u"/moved"_s, {301, "elsewhere"});
    server.serve(u"/broken"_s, {500, test::encodedImage({10, 10}, Qt::green)});
    server.serve(u"/garbage"_s, {200, "this is not an image"});
    for (const QString &path : {u"/missing"_s, u"/moved"_s, u"/broken"_s})
        EXPECT_FALSE(test::await(store->image(server.url(path), 160))) << path.toStdString();
    EXPECT_TRUE(cacheFiles().isEmpty());

    EXPECT_FALSE(test::await(store->image(server.url(u"/garbage"_s), 160)));
    EXPECT_FALSE(test::await(store->colour(server.url(u"/garbage"_s))));
    EXPECT_FALSE(store->knownColour(server.url(u"/garbage"_s)));
    // An unreachable server is as absent as a missing cover.
    EXPECT_FALSE(test::await(store->image(QUrl(u"http://127.0.0.1:1/x"_s), 160)));
    EXPECT_FALSE(test::await(store->image(std::nullopt, 160)));
}

TEST_F(ArtworkStoreTest, ACoverCrossesTheNetworkOnce)
{
    server.serve(u"/once"_s, {200, test::encodedImage({300, 300}, Qt::yellow, "JPEG")});
    const QUrl url = server.url(u"/once"_s);
    ASSERT_TRUE(test::await(store->image(url, 160)));
    fileWriterPool().waitForDone();

    ArtworkStore restarted(&network, clock);
    EXPECT_FALSE(restarted.cachedImage(url, 160));
    ASSERT_TRUE(test::await(restarted.image(url, 160)));
    ASSERT_TRUE(test::await(restarted.colour(url)));
    EXPECT_EQ(server.requests(u"/once"_s), 1);

    const QString name = ArtworkStore::cacheFileName(url);
    EXPECT_EQ(name.size(), 32);
    EXPECT_TRUE(QRegularExpression(u"\\A[0-9a-f]{32}\\z"_s).match(name).hasMatch());
}

TEST_F(ArtworkStoreTest, ColoursWithinOneSecondAreWrittenOnce)
{
    server.serve(u"/red"_s, {200, test::encodedImage({50, 50}, Qt::red)});
    server.serve(u"/clear"_s, {200, test::encodedImage({50, 50}, Qt::transparent)});
    const QUrl red = server.url(u"/red"_s), clear = server.url(u"/clear"_s);

    EXPECT_EQ(test::await(store->colour(red)), (CodableColour{1, 0, 0}));
    clock.advanceSeconds(0.6);
    EXPECT_EQ(test::await(store->colour(clear)), (CodableColour{0, 0, 0}));
    clock.advanceSeconds(0.6);
    EXPECT_TRUE(coloursFile().isEmpty());
    clock.advanceSeconds(0.5);

    const QJsonObject stored = coloursFile();
    EXPECT_EQ(stored.size(), 2);
    EXPECT_EQ(stored.value(ArtworkStore::colourKey(red)).toObject(), (CodableColour{1, 0, 0}.toJson()));

    ArtworkStore restarted(&network, clock);
    EXPECT_EQ(restarted.knownColour(clear), (CodableColour{0, 0, 0}));
    EXPECT_EQ(test::await(restarted.colour(red)), (CodableColour{1, 0, 0}));
    EXPECT_EQ(server.requests(u"/red"_s), 1);
}

TEST_F(ArtworkStoreTest, AnUnreadableColoursFileStartsEmpty)
{
    for (const QByteArray &bytes : {QByteArray("{"), QByteArray("[]"), QByteArray(R"({"u":{"red":2,"green":0,"blue":0}})"),
                                    QByteArray(R"({"u":{"red":0.5}})")}) {
        QFile file(ArtworkStore::artworkDirectory() + u"/colours.json"_s);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        file.close();
        ArtworkStore reread(&network, clock);
        EXPECT_FALSE(reread.knownColour(QUrl(u"u"_s))) << bytes.constData();
    }
}

TEST(ArtworkDecoding, VividPixelsOutweighGreyOnes)
{
    struct Case {
        QList<QColor> pixels;
        CodableColour expected;
    };
    const double grey = 128 / 255.0;
    const double redWeight = 2.15, greyWeight = 0.15;
    const Case cases[] = {
        {{Qt::red}, {1, 0, 0}},
        {{Qt::transparent, Qt::transparent}, {0, 0, 0}},
        {{QColor(128, 128, 128)}, {grey, grey, grey}},
        {{Qt::red, QColor(128, 128, 128)},
         {(redWeight + grey * greyWeight) / (redWeight + greyWeight), grey * greyWeight / (redWeight + greyWeight),
          grey * greyWeight / (redWeight + greyWeight)}},
    };
    for (const Case &c : cases) {
        QImage image(int(c.pixels.size()), 1, QImage::Format_ARGB32);
        for (int x = 0; x < image.width(); ++x)
            image.setPixelColor(x, 0, c.pixels.at(x));
        const std::optional<CodableColour> colour = representativeColour(image);
        ASSERT_TRUE(colour);
        EXPECT_NEAR(colour->red, c.expected.red, 1e-12);
        EXPECT_NEAR(colour->green, c.expected.green, 1e-12);
        EXPECT_NEAR(colour->blue, c.expected.blue, 1e-12);
    }
    EXPECT_FALSE(representativeColour(QByteArray("\x89PNG broken")));
}

TEST(ArtworkDecoding, DecodesToTheSizeWithTheOrientationApplied)
{
    const QByteArray upright = test::encodedImage({400, 200}, Qt::red, "JPEG", QImageIOHandler::TransformationRotate90);
    const std::optional<QImage> image = decodeThumbnail(upright, 100);
    ASSERT_TRUE(image);
    EXPECT_EQ(image->size(), QSize(50, 100));

    // Smaller images are not enlarged.
    EXPECT_EQ(decodeThumbnail(test::encodedImage({30, 20}, Qt::red), 160)->size(), QSize(30, 20));
    EXPECT_FALSE(decodeThumbnail(QByteArray(), 160));
}

TEST_F(ArtworkStoreTest, MemoryHoldsAtMostSixHundredImages)
{
    server.serve(u"/many"_s, {200, test::encodedImage({64, 64}, Qt::cyan)});
    const QUrl url = server.url(u"/many"_s);
    for (int pixels = 1; pixels <= 650; ++pixels)
        ASSERT_TRUE(test::await(store->image(url, pixels)));
    EXPECT_EQ(store->memoryCacheCount(), ArtworkStore::memoryCacheLimit);
    EXPECT_EQ(server.requests(u"/many"_s), 1);
}
