// Start-up with a login saved in a real keyring (gnome-keyring-daemon on a private session
// bus): the window goes straight to the connected content, never past the login card.

#include "AwaitTask.h"
#include "PrivateKeyring.h"

#include "core/ManualClock.h"
#include "shell/LoginView.h"
#include "shell/RootView.h"
#include "spotify/AuthorizationOpener.h"
#include "spotify/KeychainTokenStore.h"
#include "spotify/SpotifyAuth.h"

#include <QLabel>
#include <QNetworkAccessManager>
#include <QPointer>
#include <QTest>

#include <gtest/gtest.h>

using namespace velloran;
using namespace velloran::test;
using namespace Qt::StringLiterals;

namespace {

class NoBrowser final : public AuthorizationOpener {
public:
    bool open(const QUrl &) override { return true; }
};

class StoredLoginTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { keyring = new PrivateKeyring; }
    static void TearDownTestSuite()
    {
        delete keyring;
        keyring = nullptr;
    }

    void SetUp() override
    {
        ASSERT_TRUE(keyring && keyring->isRunning()) << "gnome-keyring-daemon did not start";
        ASSERT_TRUE(PrivateKeyring::isAnswering());
    }

    // What the window shows, turn by turn, from its start until the wait ends.
    struct Start {
        bool loginSeen = false;
        bool contentShown = false;
        int connections = 0;
    };

    Start startWindow()
    {
        Start start;
        SpotifyAuth auth(SpotifyConfig::forServer(QUrl(u"http://127.0.0.1:9"_s)), &network, clock, store, browser);
        // As the program starts: the stored tokens are asked for, then the window is built.
        auth.restoreTokens();
        RootView root(
            auth, [](QWidget *parent) { return new QLabel(u"rooms"_s, parent); }, [&] { ++start.connections; });
        root.resize(900, 600);
        root.show();
        const auto look = [&] {
            start.loginSeen = start.loginSeen || root.findChild<LoginView *>() != nullptr;
            start.contentShown = root.connectedContent() && root.connectedContent()->isVisible();
            return !auth.isRestoring();
        };
        look();
        (void)QTest::qWaitFor(look, 10'000);
        QTest::qWait(100);
        look();
        EXPECT_FALSE(root.isTransitioning());
        return start;
    }

    static inline PrivateKeyring *keyring = nullptr;
    ManualClock clock;
    QNetworkAccessManager network;
    NoBrowser browser;
    KeychainTokenStore store;
};

TEST_F(StoredLoginTest, SavedLoginGoesStraightToTheContentAndConnectsOnce)
{
    const Tokens saved{u"access"_s, u"refresh"_s, clock.now() + std::chrono::hours(1)};
    await(store.save(saved.toJson()));
    const Start start = startWindow();
    EXPECT_FALSE(start.loginSeen);
    EXPECT_TRUE(start.contentShown);
    EXPECT_EQ(start.connections, 1);
}

TEST_F(StoredLoginTest, WithoutASavedLoginTheCardShowsOnceTheKeyringHasAnswered)
{
    await(store.remove());
    const Start start = startWindow();
    EXPECT_TRUE(start.loginSeen);
    EXPECT_FALSE(start.contentShown);
    EXPECT_EQ(start.connections, 0);
}

} // namespace
