#pragma once

#include <QPixmap>
#include <QPointer>
#include <QVariantAnimation>
#include <QWidget>

#include <functional>

namespace velloran {

class LoginView;
class SpotifyAuth;

// The window's content: the login card until the user is connected, then the connected
// content, cross-faded over 0.7 s whenever that changes. While the stored login is being
// read at start-up it shows neither, and then the one that applies without a fade.
class RootView : public QWidget {
    Q_OBJECT

public:
    using ContentFactory = std::function<QWidget *(QWidget *parent)>;

    // `whenConnected` runs each time the user becomes connected, and once at the start when
    // the user already is: it starts the engine and refreshes the library.
    RootView(SpotifyAuth &auth, ContentFactory makeConnectedContent, std::function<void()> whenConnected,
             QWidget *parent = nullptr);
    ~RootView() override;

    bool showsLogin() const;
    LoginView *loginView() const;
    QWidget *connectedContent() const { return m_content; }
    bool isTransitioning() const { return m_transition.state() == QAbstractAnimation::Running; }

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    class Crossfade;

    void followAuth(bool animated);
    void showConnected(bool connected, bool animated);

    SpotifyAuth &m_auth;
    ContentFactory m_makeContent;
    std::function<void()> m_whenConnected;
    QPointer<LoginView> m_login;
    QPointer<QWidget> m_content;
    Crossfade *m_crossfade;
    QVariantAnimation m_transition;
    std::optional<bool> m_connected;
};

} // namespace velloran
