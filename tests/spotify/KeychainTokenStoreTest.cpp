// The keyring store against a real Secret Service: a private D-Bus session bus of this
// test process, and a gnome-keyring-daemon on it with a fresh, unlocked login keyring.

#include "Loopback.h"
#include "PrivateKeyring.h"

#include "spotify/AuthorizationOpener.h"
#include "spotify/KeychainTokenStore.h"
#include "spotify/SpotifyAuth.h"

using namespace Qt::StringLiterals;
using namespace velloran;
using namespace velloran::test;

namespace {

class NoKeyringTest : public Loopback {
protected:
    void SetUp() override
    {
        Loopback::SetUp();
        ASSERT_TRUE(PrivateSessionBus::instance().isRunning());
    }
};

TEST_F(NoKeyringTest, WithoutSecretServiceStoringFailsSilentlyAndLoginHoldsForTheRun)
{
    KeychainTokenStore store;
    EXPECT_FALSE(await(store.load())->value.value_or(std::nullopt));
    EXPECT_FALSE(await(store.save("data"))->error);
    EXPECT_FALSE(await(store.remove())->error);

    DirectAuthorizationOpener opener(&network);
    SpotifyAuth auth(config, &network, clock, store, opener);
    QObject::connect(&opener, &DirectAuthorizationOpener::redirected, &auth, &SpotifyAuth::deliverCallback);
    const auto outcome = await(auth.login());
    EXPECT_FALSE(outcome->error) << outcome->errorOf<UserFacingError>().toStdString();
    EXPECT_TRUE(auth.tokens());
    EXPECT_TRUE(await(auth.accessToken(false))->value);
}

class KeyringTest : public Loopback {
protected:
    static void SetUpTestSuite() { keyring = new PrivateKeyring; }

    static void TearDownTestSuite()
    {
        delete keyring;
        keyring = nullptr;
    }

    void SetUp() override
    {
        Loopback::SetUp();
        ASSERT_TRUE(keyring && keyring->isRunning()) << "gnome-keyring-daemon did not start";
        ASSERT_TRUE(PrivateKeyring::isAnswering());
    }

    static inline PrivateKeyring *keyring = nullptr;
};

TEST_F(KeyringTest, StoresReplacesAndRemovesTheItem)
{
    KeychainTokenStore store;
    ASSERT_FALSE(await(store.save("first"))->error);
    EXPECT_EQ(await(store.load())->value, std::optional<QByteArray>("first"));
    ASSERT_FALSE(await(store.save("second"))->error);
    EXPECT_EQ(await(KeychainTokenStore().load())->value, std::optional<QByteArray>("second"));
    // Another item does not see it.
    EXPECT_EQ(await(KeychainTokenStore(u"app.velloran.spotify"_s, u"other"_s).load())->value,
              std::make_optional(std::optional<QByteArray>()));
    ASSERT_FALSE(await(store.remove())->error);
    EXPECT_EQ(await(store.load())->value, std::make_optional(std::optional<QByteArray>()));
}

TEST_F(KeyringTest, WholeLoginStoresTheTokensForTheNextRun)
{
    KeychainTokenStore store;
    DirectAuthorizationOpener opener(&network);
    SpotifyAuth auth(config, &network, clock, store, opener);
    QObject::connect(&opener, &DirectAuthorizationOpener::redirected, &auth, &SpotifyAuth::deliverCallback);
    const auto outcome = await(auth.login());
    ASSERT_FALSE(outcome->error) << outcome->errorOf<UserFacingError>().toStdString();
    ASSERT_TRUE(auth.tokens());

    // The next run finds them in the keyring. (The keychain runs its jobs in order, so a
    // load started now sees the save the login started.)
    const auto stored = [] { return await(KeychainTokenStore().load())->value.value_or(std::nullopt); };
    EXPECT_EQ(Tokens::fromJson(stored().value_or(QByteArray())), auth.tokens());
    SpotifyAuth nextRun(config, &network, clock, store, opener);
    await(nextRun.restoreTokens());
    EXPECT_EQ(nextRun.tokens(), auth.tokens());

    // A refresh replaces them; a logout removes them.
    ASSERT_TRUE(await(nextRun.accessToken(true))->value);
    EXPECT_NE(nextRun.tokens(), auth.tokens());
    EXPECT_EQ(Tokens::fromJson(stored().value_or(QByteArray())), nextRun.tokens());
    nextRun.logOut();
    EXPECT_FALSE(stored());
}

TEST_F(KeyringTest, UnreadableItemStartsLoggedOut)
{
    KeychainTokenStore store;
    ASSERT_FALSE(await(store.save("{not tokens"))->error);
    DirectAuthorizationOpener opener(&network);
    SpotifyAuth auth(config, &network, clock, store, opener);
    await(auth.restoreTokens());
    EXPECT_FALSE(auth.tokens());
    EXPECT_EQ(await(store.load())->value, std::optional<QByteArray>("{not tokens"));
}

} // namespace
