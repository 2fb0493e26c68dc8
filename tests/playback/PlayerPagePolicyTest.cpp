// What the hidden player page may run and frame, as plain rules; the sound tests show the
// web engine keeping to them.

#include "playback/PlayerPagePolicy.h"

#include <QCryptographicHash>

#include <gtest/gtest.h>

using namespace velloran;
using namespace Qt::StringLiterals;

TEST(PlayerPagePolicy, FramesComeOnlyFromTheSdksOrigin)
{
    const PlayerPagePolicy real = PlayerPagePolicy::forSdk(QString());
    EXPECT_EQ(real.sdkUrl, u"https://sdk.scdn.co/spotify-player.js"_s);
    EXPECT_EQ(real.sdkOrigin, u"https://sdk.scdn.co"_s);
    const PlayerPagePolicy standin = PlayerPagePolicy::forSdk(u"http://127.0.0.1:4567/standin/sdk/spotify-player.js"_s);
    EXPECT_EQ(standin.sdkOrigin, u"http://127.0.0.1:4567"_s);

    const QList<std::pair<const char *, bool>> frames{
        {"https://sdk.scdn.co/embedded/index.html?id=1", true},
        {"https://SDK.scdn.co/embedded/index.html", true},
        {"about:blank", true},
        {"about:srcdoc", true},
        {"http://sdk.scdn.co/embedded/index.html", false},
        {"https://sdk.scdn.co:8443/embedded/index.html", false},
        {"https://evil.example/sdk.scdn.co", false},
        {"https://sdk.scdn.co.evil.example/", false},
        {"https://127.0.0.1/", false},
        {"data:text/html,hi", false},
        {"javascript:alert(1)", false},
        {"about:config", false},
    };
    for (const auto &[url, allowed] : frames)
        EXPECT_EQ(real.allowsFrame(QUrl(QString::fromLatin1(url))), allowed) << url;
    EXPECT_TRUE(standin.allowsFrame(QUrl(u"http://127.0.0.1:4567/x"_s)));
    EXPECT_FALSE(standin.allowsFrame(QUrl(u"http://127.0.0.1:4568/x"_s)));
    EXPECT_FALSE(standin.allowsFrame(QUrl(u"http://localhost:4567/x"_s)));
    EXPECT_FALSE(PlayerPagePolicy::forSdk(u"about:blank"_s).allowsFrame(QUrl(u"https://sdk.scdn.co/"_s)));
}

TEST(PlayerPagePolicy, ThePageAllowsItsOwnScriptsByHashAndTheSdksOrigin)
{
    const QString page = u"<meta http-equiv=\"Content-Security-Policy\" content=\"@CSP@\">"
                         u"<script>const sdkUrl = @SDK_URL@;</script><p>x</p><script>\nrun();\n</script>"_s;
    const QString html = playerPageHtml(page, PlayerPagePolicy::forSdk(QString()));
    const auto hash = [](const QString &script) -> QString {
        return u"'sha256-"_s + QString::fromLatin1(QCryptographicHash::hash(script.toUtf8(), QCryptographicHash::Sha256).toBase64())
               + u'\'';
    };
    EXPECT_TRUE(html.contains(u"<script>const sdkUrl = \"https://sdk.scdn.co/spotify-player.js\";</script>"_s));
    EXPECT_TRUE(html.contains(u"script-src "_s + hash(u"const sdkUrl = \"https://sdk.scdn.co/spotify-player.js\";"_s) + u' '
                              + hash(u"\nrun();\n"_s) + u" https://sdk.scdn.co;"_s))
        << html.toStdString();
    EXPECT_TRUE(html.contains(u"frame-src https://sdk.scdn.co;"_s));
    EXPECT_TRUE(html.contains(u"default-src 'none';"_s));
    EXPECT_FALSE(html.contains(u"unsafe-inline' https"_s));
    EXPECT_FALSE(html.contains(u"@"_s));

    // Without an SDK origin nothing but the page's own scripts runs, and nothing is framed.
    const QString bare = playerPageHtml(page, PlayerPagePolicy::forSdk(u"about:blank"_s));
    EXPECT_TRUE(bare.contains(u"frame-src 'none';"_s)) << bare.toStdString();
    EXPECT_TRUE(bare.contains(u"\"about:blank\""_s));
}
