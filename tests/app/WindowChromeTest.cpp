// The window's chrome over the room: the menu bar, an open menu and a tooltip take the
// scene's dark glass and stay legible. Rendered at two window sizes for a look.

#include "TemporaryHome.h"
#include "TestSettings.h"
#include "ScriptedEngine.h"

#include "app/MainWindow.h"
#include "app/ProgramServices.h"
#include "appmodel/AppModel.h"
#include "core/ManualClock.h"
#include "paint/FontRegistration.h"
#include "shell/GlassChrome.h"
#include "spotify/AuthorizationOpener.h"
#include "spotify/TokenStore.h"
#include "spotify/Tokens.h"

#include <QApplication>
#include <QDir>
#include <QMenu>
#include <QMenuBar>
#include <QNetworkAccessManager>
#include <QPainter>
#include <QPointer>
#include <QTest>
#include <QToolTip>

#include <gtest/gtest.h>

#include <algorithm>
#include <map>

using namespace velloran;
using namespace velloran::test;
using namespace Qt::StringLiterals;

namespace {

class NoBrowser final : public AuthorizationOpener {
public:
    bool open(const QUrl &) override { return true; }
};

double luminance(QColor c)
{
    const auto channel = [](double v) { return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); };
    return 0.2126 * channel(c.redF()) + 0.7152 * channel(c.greenF()) + 0.0722 * channel(c.blueF());
}

// The commonest colour of a picture (its ground) and the contrast of its lightest pixels
// (its text) against it.
struct Look {
    QColor ground;
    double contrast = 0;
};

Look lookAt(const QImage &picture)
{
    std::map<QRgb, int> counts;
    double lightest = 0;
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x) {
            const QRgb pixel = picture.pixel(x, y);
            ++counts[pixel];
            lightest = std::max(lightest, luminance(QColor(pixel)));
        }
    const QColor ground(std::max_element(counts.begin(), counts.end(), [](const auto &a, const auto &b) {
                            return a.second < b.second;
                        })->first);
    return {ground, (lightest + 0.05) / (luminance(ground) + 0.05)};
}

QWidget *visibleToolTip()
{
    for (QWidget *widget : QApplication::topLevelWidgets())
        if (widget->inherits("QTipLabel") && widget->isVisible())
            return widget;
    return nullptr;
}

} // namespace

TEST(WindowChrome, MenusMenuBarAndTooltipsAreDarkGlassAndLegible)
{
    TemporaryHome home;
    fonts::registerBundledFonts();
    applyGlassChrome();

    ManualClock clock;
    TestSettings settings;
    QNetworkAccessManager network;
    MemoryTokenStore tokens;
    tokens.setData(Tokens{u"access"_s, u"refresh"_s, clock.now() + std::chrono::hours(1)}.toJson());
    NoBrowser opener;
    AppModel model(AppModel::Services{clock, *settings, &network, tokens, opener,
                                      SpotifyConfig::forServer(QUrl(u"http://127.0.0.1:9"_s)),
                                      [](SpotifyAuth &, SpotifyAPI &, Clock &c) { return std::make_unique<ScriptedEngine>(c); },
                                      {}});
    const QString folder = QCoreApplication::applicationDirPath() + u"/../renders"_s;
    QDir().mkpath(folder);

    for (const QSize size : {QSize(1280, 820), QSize(820, 580)}) {
        SCOPED_TRACE(size.width());
        const std::unique_ptr<MainWindow> window = makeMainWindow(model);
        window->resize(size);
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
        QTest::qWait(50);

        QMenuBar *bar = window->menuBar();
        QMenu *playback = bar->actions().at(1)->menu();
        ASSERT_TRUE(playback);
        bar->setActiveAction(bar->actions().at(1));
        ASSERT_TRUE(QTest::qWaitFor([&] { return playback->isVisible(); }, 3000));
        playback->setActiveAction(playback->actions().at(1));
        QTest::qWait(50);
        const QImage barPicture = bar->grab().toImage();
        const QImage menuPicture = playback->grab().toImage();
        const QPoint menuAt = window->mapFromGlobal(playback->mapToGlobal(QPoint(0, 0)));

        const QPoint tipAt = window->mapToGlobal(QPoint(size.width() / 2, size.height() * 3 / 4));
        QToolTip::showText(tipAt, u"Power"_s, window.get(), {}, 60'000);
        ASSERT_TRUE(QTest::qWaitFor([] { return visibleToolTip() != nullptr; }, 3000));
        QPointer<QWidget> tip = visibleToolTip();
        const QImage tipPicture = tip->grab().toImage();
        const QPoint tipAtInWindow = window->mapFromGlobal(tip->mapToGlobal(QPoint(0, 0)));

        // Each part: a dark ground and text that stands out from it by 7:1 or more.
        for (const auto &[part, picture] : {std::pair{"menu bar", barPicture}, std::pair{"menu", menuPicture},
                                            std::pair{"tooltip", tipPicture}}) {
            const Look look = lookAt(picture);
            EXPECT_LT(luminance(look.ground), 0.03) << part << ": " << look.ground.name().toStdString();
            EXPECT_GE(look.contrast, 7.0) << part;
        }

        // The window as the user sees it, popups included.
        QImage picture = window->grab().toImage();
        QPainter painter(&picture);
        painter.drawImage(menuAt, menuPicture);
        painter.drawImage(tipAtInWindow, tipPicture);
        painter.end();
        EXPECT_TRUE(picture.save(folder + u"/window-chrome-%1x%2.png"_s.arg(size.width()).arg(size.height())));

        QToolTip::hideText();
        playback->hide();
    }
}
