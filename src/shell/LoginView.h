#pragma once

#include <QCoroTask>
#include <QImage>
#include <QPointer>
#include <QWidget>

#include <optional>

class QLabel;

namespace velloran {

class ConnectButton;
class LoginDisc;
class SpotifyAuth;

// The welcome card shown while the program is not connected: a turning record, the name,
// the connect button and what the user needs to know when a login fails.
class LoginView : public QWidget {
    Q_OBJECT

public:
    explicit LoginView(SpotifyAuth &auth, QWidget *parent = nullptr);
    ~LoginView() override;

    bool isBusy() const { return m_busy; }
    const std::optional<QString> &error() const { return m_error; }

    // Starts a login, or cancels the pending one; what the button and Return do.
    void activate();

protected:
    void paintEvent(QPaintEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    QCoro::Task<> login();
    void setBusy(bool busy);
    void setError(std::optional<QString> error);
    QRectF cardRect() const;

    SpotifyAuth &m_auth;
    QWidget *m_card;
    LoginDisc *m_disc;
    ConnectButton *m_button;
    QLabel *m_errorLabel;
    bool m_busy = false;
    std::optional<QString> m_error;
    QImage m_cardShadow;
    QPointF m_cardShadowOrigin;
    QSizeF m_cardShadowSize;
    qreal m_cardShadowDpr = 0;
};

} // namespace velloran
