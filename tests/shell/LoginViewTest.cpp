#include "core/ManualClock.h"
#include "paint/FontRegistration.h"
#include "shell/LoginView.h"
#include "shell/RootView.h"
#include "spotify/AuthorizationOpener.h"
#include "spotify/SpotifyAuth.h"
#include "spotify/TokenStore.h"
#include "standin/StandinServer.h"

#include <QCoreApplication>
#include <QDir>
#include <QLabel>
#include <QNetworkAccessManager>
#include <QTest>
#include <QUrlQuery>

#include <gtest/gtest.h>

using namespace velloran;
using namespace Qt::StringLiterals;

namespace {

class RecordingOpener final : public AuthorizationOpener {
public:
    bool open(const QUrl &url) override
    {
        opened.append(url);
        return true;
    }
    QList<QUrl> opened;
};

class LoginViewTest : public ::testing::Test {
protected:
    LoginViewTest() { fonts::registerBundledFonts(); }

    QString visibleError(const LoginView &view) const
    {
        for (const QLabel *label : view.findChildren<QLabel *>())
            if (label->isVisible() && label->text() != u"Velloran"_s && label->text() != u"Needs Spotify Premium"_s)
                return label->text();
        return {};
    }

    ManualClock clock;
    QNetworkAccessManager network;
    MemoryTokenStore store;
    RecordingOpener opener;
    SpotifyAuth auth{SpotifyConfig::forServer(QUrl(u"http://127.0.0.1:9"_s)), &network, clock, store, opener};
};

} // namespace

TEST_F(LoginViewTest, ReturnStartsTheLoginAndEscapeCancelsItSilently)
{
    LoginView view(auth);
    view.resize(1000, 700);
    view.show();
    QTest::keyClick(&view, Qt::Key_Return);
    EXPECT_TRUE(view.isBusy());
    EXPECT_EQ(opener.opened.size(), 1);
    EXPECT_TRUE(auth.isLoginPending());

    QTest::keyClick(&view, Qt::Key_Escape);
    QCoreApplication::processEvents();
    EXPECT_FALSE(view.isBusy());
    EXPECT_FALSE(view.error());
    EXPECT_EQ(visibleError(view), QString());
}

TEST_F(LoginViewTest, AFailedLoginShowsItsMessageUntilTheNextAttempt)
{
    LoginView view(auth);
    view.resize(1000, 700);
    view.show();
    view.activate();
    ASSERT_EQ(opener.opened.size(), 1);
    const QString state = QUrlQuery(opener.opened.first()).queryItemValue(u"state"_s);
    EXPECT_TRUE(auth.deliverCallback(QUrl(u"cobbleden://callback?error=access_denied&state="_s + state)));
    QCoreApplication::processEvents();
    EXPECT_FALSE(view.isBusy());
    EXPECT_EQ(view.error(), u"Spotify didn't return an authorization code."_s);
    EXPECT_EQ(visibleError(view), u"Spotify didn't return an authorization code."_s);

    view.activate(); // a new attempt clears the message
    EXPECT_FALSE(view.error());
    auth.cancelLogin();
}

TEST_F(LoginViewTest, AnErrorIsShownInFullAndTheCardGrowsToHoldIt)
{
    // Logins against the stand-in that fail with a short message and with the longest one.
    standin::StandinServer server{standin::Catalogue::sample(), clock};
    ASSERT_TRUE(server.listenOnLoopback());
    DirectAuthorizationOpener browser(&network);
    SpotifyAuth standinAuth(SpotifyConfig::forServer(server.baseUrl()), &network, clock, store, browser);
    QObject::connect(&browser, &DirectAuthorizationOpener::redirected, &standinAuth, &SpotifyAuth::deliverCallback);
    const QString folder = QCoreApplication::applicationDirPath() + u"/../renders"_s;
    QDir().mkpath(folder);

    const QList<std::pair<std::function<void()>, QString>> failures{
        {[&] { server.accounts().denyAuthorization = true; }, u"Spotify didn't return an authorization code."_s},
        {[&] { server.accounts().onAllowList = false; },
         u"This Spotify account isn't on Velloran's tester list yet. Ask whoever shared the app to add the email of your Spotify account."_s},
    };
    for (const QSize size : {QSize(1280, 820), QSize(820, 560)}) {
        for (const auto &[script, message] : failures) {
            SCOPED_TRACE(message.toStdString());
            server.accounts().resetBehaviour();
            script();
            LoginView view(standinAuth);
            view.resize(size);
            view.show();
            view.activate();
            ASSERT_TRUE(QTest::qWaitFor([&] { return !view.isBusy(); }, 10'000));
            ASSERT_EQ(view.error(), message);
            QCoreApplication::processEvents();

            QLabel *label = nullptr;
            for (QLabel *candidate : view.findChildren<QLabel *>())
                if (candidate->isVisible() && candidate->text() == message)
                    label = candidate;
            ASSERT_TRUE(label);
            const QWidget *card = label->parentWidget();
            // Wrapped at most 420 points wide, every line inside the label, the label inside
            // the card above its bottom padding, and the card inside the window.
            EXPECT_LE(label->width(), 420);
            const QRect lines = label->fontMetrics().boundingRect(label->contentsRect(), Qt::TextWordWrap | Qt::AlignHCenter,
                                                                  label->text());
            EXPECT_TRUE(label->contentsRect().contains(lines)) << lines.height() << " > " << label->contentsRect().height();
            EXPECT_LE(label->geometry().bottom(), card->height() - 40);
            EXPECT_TRUE(view.rect().contains(card->geometry()));
            EXPECT_TRUE(view.grab().toImage().save(
                folder + u"/login-error-%1-%2x%3.png"_s.arg(message.size()).arg(size.width()).arg(size.height())));
        }
    }
}

TEST_F(LoginViewTest, RendersTheCardAtTwoSizes)
{
    const QString folder = QCoreApplication::applicationDirPath() + u"/../renders"_s;
    QDir().mkpath(folder);
    for (const QSize size : {QSize(1280, 820), QSize(820, 560)}) {
        LoginView view(auth);
        view.resize(size);
        view.show();
        QCoreApplication::processEvents();
        const QImage picture = view.grab().toImage();
        ASSERT_EQ(picture.size(), size);
        EXPECT_TRUE(picture.save(folder + u"/login-%1x%2.png"_s.arg(size.width()).arg(size.height())));
        // The connect button's green sits below the middle of the card.
        bool green = false;
        for (int y = size.height() / 2; y < size.height() && !green; y += 2)
            for (int x = size.width() / 3; x < size.width() * 2 / 3 && !green; x += 2) {
                const QColor c = picture.pixelColor(x, y);
                green = c.green() > 190 && c.red() < 60 && c.blue() < 120;
            }
        EXPECT_TRUE(green);
    }
}

TEST_F(LoginViewTest, RootViewSwitchesToTheContentWhenConnected)
{
    int connections = 0;
    RootView root(
        auth, [](QWidget *parent) { return new QLabel(u"rooms"_s, parent); }, [&] { ++connections; });
    root.resize(900, 600);
    root.show();
    EXPECT_TRUE(root.showsLogin());
    EXPECT_EQ(connections, 0);
}
