// Where the Widevine CDM is looked for, in a folder tree of the test's own.

#include "webplayer/PlaybackCheck.h"
#include "webplayer/WebEngineSetup.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

using namespace velloran;
using namespace Qt::StringLiterals;

namespace {

class WidevineLookup : public ::testing::Test {
protected:
    QString place(const QString &relative)
    {
        const QString path = dir.filePath(relative);
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile file(path);
        (void)file.open(QIODevice::WriteOnly);
        file.write("ELF");
        return QFileInfo(path).absoluteFilePath();
    }

    WidevineSearch search(QString overridePath = {}) const
    {
        return {std::move(overridePath), dir.filePath(u"home"_s), dir.filePath(u"root"_s)};
    }

    QTemporaryDir dir;
};

} // namespace

TEST_F(WidevineLookup, FindsNothingInAnEmptySystem)
{
    EXPECT_FALSE(findWidevine(search()));
    EXPECT_FALSE(findWidevine(search(dir.filePath(u"missing.so"_s))));
}

TEST_F(WidevineLookup, TheOverrideComesFirstAsAFileOrAFolder)
{
    place(u"root/opt/google/chrome/WidevineCdm/_platform_specific/linux_x64/libwidevinecdm.so"_s);
    const QString own = place(u"mine/libwidevinecdm.so"_s);
    EXPECT_EQ(findWidevine(search(own)), own);
    EXPECT_EQ(findWidevine(search(dir.filePath(u"mine"_s))), own);
}

TEST_F(WidevineLookup, ChromeThenChromiumThenFirefoxNewestVersionFirst)
{
    const QString firefox = place(u"home/.mozilla/firefox/ab12.default/gmp-widevinecdm/4.10.2557.0/libwidevinecdm.so"_s);
    EXPECT_EQ(findWidevine(search()), firefox);

    place(u"home/.config/chromium/WidevineCdm/4.10.2557.0/_platform_specific/linux_x64/libwidevinecdm.so"_s);
    const QString chromium =
        place(u"home/.config/chromium/WidevineCdm/4.10.2710.0/_platform_specific/linux_x64/libwidevinecdm.so"_s);
    EXPECT_EQ(findWidevine(search()), chromium);

    const QString chromeProfile =
        place(u"home/.config/google-chrome/WidevineCdm/4.10.2662.3/_platform_specific/linux_x64/libwidevinecdm.so"_s);
    EXPECT_EQ(findWidevine(search()), chromeProfile);

    const QString chrome = place(u"root/opt/google/chrome/WidevineCdm/_platform_specific/linux_x64/libwidevinecdm.so"_s);
    EXPECT_EQ(findWidevine(search()), chrome);
}

TEST_F(WidevineLookup, TheFoundLibraryIsHandedToTheWebEngine)
{
    const QStringList flags = playerChromiumFlags(u"/some/libwidevinecdm.so"_s);
    EXPECT_TRUE(flags.contains(u"--widevine-path=/some/libwidevinecdm.so"_s));
    EXPECT_TRUE(flags.contains(u"--disable-features=HardwareMediaKeyHandling"_s));
    EXPECT_EQ(playerChromiumFlags(std::nullopt), QStringList{u"--disable-features=HardwareMediaKeyHandling"_s});
}

TEST(PlaybackCheck, ThePageEngineReportsItsCodecsAndKeySystems)
{
    std::optional<std::optional<PlaybackSupport>> result;
    [](std::optional<std::optional<PlaybackSupport>> &out) -> QCoro::Task<> {
        out = co_await probePlaybackSupport();
    }(result);
    ASSERT_TRUE(QTest::qWaitFor([&] { return result.has_value(); }, 30000));
    ASSERT_TRUE(*result);
    const PlaybackSupport &support = **result;
    // Debian's Qt WebEngine plays AAC through Media Source Extensions.
    EXPECT_FALSE(support.aac.isEmpty());
    EXPECT_TRUE(support.mediaSourceAac);
    EXPECT_TRUE(support.webAudio);
    EXPECT_EQ(support.widevine, support.widevineProblem.isEmpty());

    const QString report = playbackReport(support, WebEngineSetup{});
    EXPECT_TRUE(report.contains("Media Source Extensions:"_L1));
    EXPECT_EQ(report.contains("needs the Widevine content decryption module"_L1), !support.widevine)
        << report.toStdString();
    EXPECT_TRUE(playbackReport(std::nullopt, WebEngineSetup{}).contains("did not answer"_L1));
}
