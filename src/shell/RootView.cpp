#include "shell/RootView.h"

#include "paint/TimingCurves.h"
#include "shell/LoginView.h"
#include "shell/ShellColours.h"
#include "spotify/SpotifyAuth.h"

#include <QPainter>

namespace velloran {

// Paints the leaving content fading out over the arriving one, which grows in from 103 %.
class RootView::Crossfade : public QWidget {
public:
    explicit Crossfade(QWidget *parent)
        : QWidget(parent)
    {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        hide();
    }

    void begin(QPixmap leaving, QPixmap arriving, bool arrivingGrows)
    {
        m_leaving = std::move(leaving);
        m_arriving = std::move(arriving);
        m_grows = arrivingGrows;
        m_progress = 0;
        setGeometry(parentWidget()->rect());
        raise();
        show();
        QWidget::update();
    }
    void setProgress(qreal progress)
    {
        m_progress = progress;
        QWidget::update();
    }
    void end()
    {
        hide();
        m_leaving = {};
        m_arriving = {};
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.fillRect(rect(), shell::groundEdge());
        painter.setOpacity(1 - m_progress);
        painter.drawPixmap(rect(), m_leaving);
        painter.setOpacity(m_progress);
        if (m_grows) {
            const qreal scale = 1.03 - 0.03 * m_progress;
            painter.translate(QRectF(rect()).center());
            painter.scale(scale, scale);
            painter.translate(-QRectF(rect()).center());
        }
        painter.drawPixmap(rect(), m_arriving);
    }

private:
    QPixmap m_leaving;
    QPixmap m_arriving;
    bool m_grows = false;
    qreal m_progress = 0;
};

RootView::RootView(SpotifyAuth &auth, ContentFactory makeConnectedContent, std::function<void()> whenConnected,
                   QWidget *parent)
    : QWidget(parent)
    , m_auth(auth)
    , m_makeContent(std::move(makeConnectedContent))
    , m_whenConnected(std::move(whenConnected))
    , m_crossfade(new Crossfade(this))
{
    m_transition.setDuration(700);
    m_transition.setEasingCurve(timing::easeInOut());
    m_transition.setStartValue(0.0);
    m_transition.setEndValue(1.0);
    connect(&m_transition, &QVariantAnimation::valueChanged, this,
            [this](const QVariant &value) { m_crossfade->setProgress(value.toReal()); });
    connect(&m_transition, &QVariantAnimation::finished, this, [this] { m_crossfade->end(); });

    connect(&m_auth, &SpotifyAuth::tokensChanged, this, [this] { followAuth(isVisible()); });
    connect(&m_auth, &SpotifyAuth::restoringChanged, this, [this] { followAuth(isVisible()); });
    followAuth(false);
}

RootView::~RootView() = default;

bool RootView::showsLogin() const
{
    return m_login != nullptr;
}

LoginView *RootView::loginView() const
{
    return m_login.data();
}

void RootView::followAuth(bool animated)
{
    // While the stored login is still being read, neither the card nor the content shows:
    // a saved login goes straight to the content, without a Connect button on the way.
    if (m_auth.isLoggedIn())
        showConnected(true, animated);
    else if (!m_auth.isRestoring())
        showConnected(false, animated);
}

void RootView::showConnected(bool connected, bool animated)
{
    if (m_connected == connected)
        return;
    const bool first = !m_connected.has_value();
    m_connected = connected;

    QPointer<QWidget> leaving = connected ? static_cast<QWidget *>(m_login.data()) : m_content.data();
    QPixmap leavingPicture;
    if (animated && leaving && leaving->isVisible())
        leavingPicture = leaving->grab();

    QWidget *arriving = nullptr;
    if (connected) {
        if (!m_content)
            m_content = m_makeContent(this);
        arriving = m_content;
    } else {
        // A new card each time, starting without an error.
        m_login = new LoginView(m_auth, this);
        arriving = m_login;
    }
    arriving->setGeometry(rect());
    arriving->show();
    arriving->lower();
    if (connected) {
        delete m_login.data();
    } else if (m_content) {
        m_content->hide();
    }
    arriving->setFocus();

    if (animated && !first && !leavingPicture.isNull()) {
        m_transition.stop();
        m_crossfade->begin(leavingPicture, arriving->grab(), connected);
        m_transition.start();
    }

    if (connected && m_whenConnected)
        m_whenConnected();
}

void RootView::paintEvent(QPaintEvent *)
{
    if (m_login || m_content)
        return;
    QPainter(this).fillRect(rect(), shell::groundEdge());
}

void RootView::resizeEvent(QResizeEvent *)
{
    if (m_login)
        m_login->setGeometry(rect());
    if (m_content)
        m_content->setGeometry(rect());
    m_crossfade->setGeometry(rect());
}

} // namespace velloran
