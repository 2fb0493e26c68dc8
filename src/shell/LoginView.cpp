#include "shell/LoginView.h"

#include "shell/ShellColours.h"

#include "paint/Fonts.h"
#include "paint/SoftShadow.h"
#include "paint/Sprite.h"
#include "scenes/vinyl/DiscFace.h"
#include "shell/PressableButton.h"
#include "shell/ShellColours.h"
#include "shell/SpotifyLogo.h"
#include "spotify/AuthError.h"
#include "spotify/SpotifyAuth.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QVBoxLayout>
#include <QVariantAnimation>

using namespace Qt::StringLiterals;

namespace velloran {

namespace {

constexpr qreal cardRadius = 28;
constexpr int maxErrorWidth = 420;

} // namespace

// The record on the card, turning once every 1.8 s while a login runs.
class LoginDisc : public QWidget {
public:
    explicit LoginDisc(QWidget *parent)
        : QWidget(parent)
    {
        setFixedSize(210, 210);
        m_turn.setStartValue(0.0);
        m_turn.setEndValue(360.0);
        m_turn.setDuration(1800);
        m_turn.setLoopCount(-1);
        connect(&m_turn, &QVariantAnimation::valueChanged, this, [this](const QVariant &angle) {
            m_angle = angle.toReal();
            update();
        });
    }

    void setSpinning(bool spinning)
    {
        if (spinning == (m_turn.state() == QAbstractAnimation::Running))
            return;
        if (spinning) {
            m_turn.setStartValue(m_angle);
            m_turn.setEndValue(m_angle + 360.0);
            m_turn.start();
        } else {
            m_turn.stop();
        }
    }
    bool isSpinning() const { return m_turn.state() == QAbstractAnimation::Running; }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        const QPointF centre(width() / 2.0, height() / 2.0);
        painter.translate(centre);
        painter.rotate(m_angle);
        // The face is drawn at its own 420-point size and shown at half.
        const QImage &face = m_renderer.image(DiscFace{}, QImage(), devicePixelRatioF());
        painter.drawImage(QRectF(-105, -105, 210, 210), face);
        painter.setPen(Qt::NoPen);
        painter.setBrush(shell::label());
        painter.drawEllipse(QRectF(-35, -35, 70, 70));
        // A fine printed ring on the label, so its turning can be seen.
        painter.setBrush(Qt::NoBrush);
        painter.setPen(QPen(shell::labelRing(), 0.8));
        painter.drawEllipse(QRectF(-26, -26, 52, 52));
        painter.drawArc(QRectF(-30, -30, 60, 60), 30 * 16, 70 * 16);
        painter.setPen(Qt::NoPen);
        painter.setBrush(shell::spindle());
        painter.drawEllipse(QRectF(-4, -4, 8, 8));
    }

private:
    DiscFaceRenderer m_renderer;
    QVariantAnimation m_turn;
    qreal m_angle = 0;
};

// "Connect your Spotify account" on a green capsule, with the mark or a spinner.
class ConnectButton : public PressableButton {
public:
    explicit ConnectButton(QWidget *parent)
        : PressableButton(parent)
    {
        setText(u"Connect your Spotify account"_s);
        setFont(fonts::font(fonts::sans(), 15, QFont::Bold));
        setCursor(Qt::PointingHandCursor);
        setFocusPolicy(Qt::StrongFocus);
        m_spinner.setStartValue(0.0);
        m_spinner.setEndValue(360.0);
        m_spinner.setDuration(900);
        m_spinner.setLoopCount(-1);
        connect(&m_spinner, &QVariantAnimation::valueChanged, this, [this] { update(); });
        const QFontMetricsF metrics(font());
        const qreal width = 20 + 22 + 10 + metrics.horizontalAdvance(text()) + 26;
        const qreal height = 13 + std::max<qreal>(22, metrics.height()) + 13;
        // Room around the capsule for its shadow.
        setFixedSize(QSizeF(width + 2 * shadowMargin, height + 2 * shadowMargin).toSize());
    }

    void setBusy(bool busy)
    {
        m_busy = busy;
        if (busy)
            m_spinner.start();
        else
            m_spinner.stop();
        update();
    }

    static constexpr qreal shadowMargin = 22;

protected:
    // The focus ring shows only when the keyboard brought the focus here.
    void focusInEvent(QFocusEvent *event) override
    {
        m_keyboardFocus = event->reason() == Qt::TabFocusReason || event->reason() == Qt::BacktabFocusReason;
        PressableButton::focusInEvent(event);
    }

    void paintFace(QPainter &painter, const QRectF &all) override
    {
        const QRectF capsule = all.adjusted(shadowMargin, shadowMargin, -shadowMargin, -shadowMargin);
        QPainterPath shape;
        shape.addRoundedRect(capsule, capsule.height() / 2, capsule.height() / 2);
        if (m_shadow.isNull() || m_shadowSize != capsule.size() || m_shadowDpr != devicePixelRatioF()) {
            QPainterPath local;
            local.addRoundedRect(QRectF(QPointF(0, 0), capsule.size()), capsule.height() / 2, capsule.height() / 2);
            m_shadow = softShadow(local, 14, shell::cardShadow(), QPointF(0, 6), devicePixelRatioF());
            m_shadowSize = capsule.size();
            m_shadowDpr = devicePixelRatioF();
        }
        m_shadow.draw(painter, capsule.topLeft());
        painter.setPen(Qt::NoPen);
        painter.setBrush(shell::connect());
        painter.drawPath(shape);
        if (hasFocus() && m_keyboardFocus) {
            painter.setPen(QPen(shell::focusRing(), 1.5));
            painter.setBrush(Qt::NoBrush);
            painter.drawRoundedRect(capsule.adjusted(-3, -3, 3, 3), capsule.height() / 2 + 3, capsule.height() / 2 + 3);
        }

        const QRectF icon(capsule.left() + 20, capsule.center().y() - 11, 22, 22);
        if (m_busy) {
            painter.save();
            painter.translate(icon.center());
            painter.rotate(m_spinner.currentValue().toReal());
            for (int i = 0; i < 8; ++i) {
                painter.setPen(QPen(shell::spinnerTick(i), 2.4, Qt::SolidLine, Qt::RoundCap));
                painter.drawLine(QPointF(0, -5), QPointF(0, -9.5));
                painter.rotate(45);
            }
            painter.restore();
        } else {
            paintSpotifyLogo(painter, icon, Qt::black);
        }
        painter.setPen(Qt::black);
        painter.setFont(font());
        painter.drawText(QRectF(icon.right() + 10, capsule.top(), capsule.right() - icon.right() - 10, capsule.height()),
                         Qt::AlignVCenter | Qt::AlignLeft, text());
    }

private:
    bool m_busy = false;
    bool m_keyboardFocus = false;
    QVariantAnimation m_spinner;
    Sprite m_shadow;
    QSizeF m_shadowSize;
    qreal m_shadowDpr = 0;
};

LoginView::LoginView(SpotifyAuth &auth, QWidget *parent)
    : QWidget(parent)
    , m_auth(auth)
    , m_card(new QWidget(this))
    , m_disc(new LoginDisc(m_card))
    , m_button(new ConnectButton(m_card))
    , m_errorLabel(new QLabel(m_card))
{
    setFocusPolicy(Qt::StrongFocus);
    auto *column = new QVBoxLayout(m_card);
    column->setContentsMargins(44, 40, 44, 40);
    column->setSpacing(0);
    column->addWidget(m_disc, 0, Qt::AlignHCenter);
    column->addSpacing(34);

    auto *title = new QLabel(u"Velloran"_s, m_card);
    title->setFont(fonts::font(fonts::serif(), 54));
    title->setStyleSheet(shell::titleStyle());
    title->setAlignment(Qt::AlignHCenter);
    column->addWidget(title, 0, Qt::AlignHCenter);
    column->addSpacing(26 - ConnectButton::shadowMargin);

    column->addWidget(m_button, 0, Qt::AlignHCenter);
    column->addSpacing(16 - ConnectButton::shadowMargin);

    auto *caption = new QLabel(u"Needs Spotify Premium"_s, m_card);
    QFont captionFont = fonts::font(fonts::mono(), 10);
    captionFont.setLetterSpacing(QFont::AbsoluteSpacing, 1.4);
    caption->setFont(captionFont);
    caption->setStyleSheet(shell::captionStyle());
    caption->setAlignment(Qt::AlignHCenter);
    column->addWidget(caption, 0, Qt::AlignHCenter);

    m_errorLabel->setFont(fonts::font(fonts::sans(), 13));
    m_errorLabel->setStyleSheet(shell::errorStyle());
    m_errorLabel->setWordWrap(true);
    m_errorLabel->setAlignment(Qt::AlignHCenter);
    m_errorLabel->setContentsMargins(0, 14, 0, 0);
    m_errorLabel->hide();
    column->addWidget(m_errorLabel, 0, Qt::AlignHCenter);

    connect(m_button, &QAbstractButton::clicked, this, &LoginView::activate);
    m_button->setFocus();
}

LoginView::~LoginView() = default;

QRectF LoginView::cardRect() const
{
    return QRectF(m_card->geometry());
}

void LoginView::resizeEvent(QResizeEvent *)
{
    m_card->adjustSize();
    const QSize size = m_card->sizeHint();
    m_card->setGeometry(QRect(QPoint((width() - size.width()) / 2, (height() - size.height()) / 2), size));
}

void LoginView::activate()
{
    if (m_busy) {
        m_auth.cancelLogin();
        return;
    }
    login();
}

QCoro::Task<> LoginView::login()
{
    QPointer<LoginView> self(this);
    setBusy(true);
    setError(std::nullopt);
    std::optional<QString> failure;
    try {
        co_await m_auth.login();
    } catch (const LoginCancelled &) {
    } catch (...) {
        failure = userFacingText(std::current_exception(), u"The login failed."_s);
    }
    if (!self)
        co_return;
    setBusy(false);
    setError(failure);
}

void LoginView::setBusy(bool busy)
{
    m_busy = busy;
    m_button->setBusy(busy);
    m_disc->setSpinning(busy);
}

void LoginView::setError(std::optional<QString> error)
{
    m_error = std::move(error);
    m_errorLabel->setText(m_error.value_or(QString()));
    if (m_error) {
        // The column lays a wrapped label out at a guessed width and height; the message is
        // given its own: its natural width up to 420 points, and the height of its lines.
        const int natural = QFontMetrics(m_errorLabel->font()).horizontalAdvance(*m_error) + 1;
        const int width = std::min(maxErrorWidth, natural);
        m_errorLabel->setFixedSize(width, m_errorLabel->heightForWidth(width));
    }
    m_errorLabel->setVisible(m_error.has_value());
    resizeEvent(nullptr);
    update();
}

void LoginView::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        activate();
        return;
    case Qt::Key_Escape:
        if (m_busy) {
            m_auth.cancelLogin();
            return;
        }
        break;
    default:
        break;
    }
    QWidget::keyPressEvent(event);
}

void LoginView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    // Dusk over the oak table: a warm dark ground behind the card.
    QRadialGradient ground(QPointF(width() * 0.5, height() * 0.38), std::max(width(), height()) * 0.8);
    ground.setColorAt(0, shell::groundCentre());
    ground.setColorAt(0.55, shell::groundMiddle());
    ground.setColorAt(1, shell::groundEdge());
    painter.fillRect(rect(), ground);

    const QRectF card = cardRect();
    if (m_cardShadow.isNull() || m_cardShadowSize != card.size() || m_cardShadowDpr != devicePixelRatioF()) {
        QPainterPath local;
        local.addRoundedRect(QRectF(QPointF(0, 0), card.size()), cardRadius, cardRadius);
        const Sprite shadow = softShadow(local, 40, shell::cardShadow(), QPointF(0, 24), devicePixelRatioF());
        m_cardShadow = shadow.image;
        m_cardShadowOrigin = shadow.origin;
        m_cardShadowSize = card.size();
        m_cardShadowDpr = devicePixelRatioF();
    }
    painter.drawImage(card.topLeft() + m_cardShadowOrigin, m_cardShadow);

    QPainterPath shape;
    shape.addRoundedRect(card, cardRadius, cardRadius);
    // A thin, barely tinted pane: the most transparent of materials.
    QLinearGradient pane(card.topLeft(), card.bottomLeft());
    pane.setColorAt(0, shell::paneTop());
    pane.setColorAt(1, shell::paneBottom());
    painter.fillPath(shape, shell::cardTint());
    painter.fillPath(shape, pane);
    painter.setPen(QPen(shell::cardBorder(), 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawRoundedRect(card.adjusted(0.5, 0.5, -0.5, -0.5), cardRadius - 0.5, cardRadius - 0.5);
}

} // namespace velloran
