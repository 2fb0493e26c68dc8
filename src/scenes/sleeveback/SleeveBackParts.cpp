#include "scenes/sleeveback/SleeveBackParts.h"

#include "paint/Fonts.h"
#include "paint/FractionText.h"
#include "scenes/sleeveback/PanelColours.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

#include <cmath>

namespace velloran {

namespace {

QFont pillFont()
{
    return fonts::font(fonts::sans(), 13, QFont::Medium);
}

QColor white(double alpha)
{
    return {255, 255, 255, qRound(255 * alpha)};
}

} // namespace

QLabel *panelLabel(const QString &text, const QFont &font, const QColor &colour, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    label->setFont(font);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, colour);
    label->setPalette(palette);
    label->setTextFormat(Qt::PlainText);
    label->setAttribute(Qt::WA_TransparentForMouseEvents);
    return label;
}

FractionLabel::FractionLabel(const QString &text, const QFont &font, const QColor &colour, QWidget *parent)
    : QWidget(parent)
    , m_text(text)
    , m_colour(colour)
{
    setFont(font);
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

QSize FractionLabel::sizeHint() const
{
    return {int(std::ceil(fractions::width(m_text, font()))), int(std::ceil(QFontMetricsF(font()).height()))};
}

void FractionLabel::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.setPen(m_colour);
    fractions::draw(p, {0, QFontMetricsF(font()).ascent()}, m_text, font());
}

// Pill.

PillButton::PillButton(const QString &title, bool primary, QWidget *parent)
    : QAbstractButton(parent)
    , m_primary(primary)
{
    setText(title);
    setCursor(Qt::PointingHandCursor);
    setFont(pillFont());
}

QSize PillButton::sizeHint() const
{
    const QFontMetricsF metrics(font());
    return {int(std::ceil(metrics.horizontalAdvance(text()))) + 28, 30};
}

void PillButton::enterEvent(QEnterEvent *event)
{
    m_hovered = true;
    update();
    QAbstractButton::enterEvent(event);
}

void PillButton::leaveEvent(QEvent *event)
{
    m_hovered = false;
    update();
    QAbstractButton::leaveEvent(event);
}

void PillButton::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF box = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    QPainterPath shape;
    shape.addRoundedRect(box, box.height() / 2, box.height() / 2);
    if (m_primary) {
        QColor fill = panel::cream();
        if (isDown())
            fill = fill.darker(112);
        else if (m_hovered)
            fill = fill.lighter(104);
        p.fillPath(shape, fill);
        p.setPen(panel::ink());
    } else {
        p.fillPath(shape, white(isDown() ? 0.18 : m_hovered ? 0.13 : 0.08));
        p.strokePath(shape, QPen(white(0.14), 1));
        p.setPen(panel::bright());
    }
    p.setFont(font());
    p.drawText(QRectF(rect()), Qt::AlignCenter, text());
}

// Notice.

Notice::Notice(const QString &text, const QString &button, QWidget *parent)
    : QFrame(parent)
{
    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(14, 10, 10, 10);
    row->setSpacing(10);
    m_label = panelLabel(text, fonts::font(fonts::sans(), 13), panel::bright(), this);
    m_label->setWordWrap(true);
    row->addWidget(m_label, 1);
    if (!button.isEmpty()) {
        m_button = new PillButton(button, true, this);
        connect(m_button, &QAbstractButton::clicked, this, &Notice::performed);
        row->addWidget(m_button, 0, Qt::AlignVCenter);
    }
}

QString Notice::text() const
{
    return m_label->text();
}

void Notice::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath shape;
    shape.addRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), 12, 12);
    p.fillPath(shape, panel::ember(30));
    p.strokePath(shape, QPen(panel::ember(90), 1));
}

// Segmented.

Segmented::Segmented(QStringList options, int selection, QWidget *parent)
    : QWidget(parent)
    , m_options(std::move(options))
    , m_selection(selection)
{
    setFont(fonts::font(fonts::sans(), 12, QFont::Medium));
    setCursor(Qt::PointingHandCursor);
}

void Segmented::setSelection(int index)
{
    if (index == m_selection)
        return;
    m_selection = index;
    update();
}

QSize Segmented::sizeHint() const
{
    const QFontMetricsF metrics(font());
    double widest = 0;
    for (const QString &option : m_options)
        widest = std::max(widest, metrics.horizontalAdvance(option));
    return {int(std::ceil((widest + 24) * double(m_options.size()))) + 4, 28};
}

QRectF Segmented::segment(int index) const
{
    const double each = (width() - 4.0) / double(std::max<qsizetype>(m_options.size(), 1));
    return {2 + index * each, 2, each, height() - 4.0};
}

void Segmented::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath track;
    track.addRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), 8, 8);
    p.fillPath(track, white(0.07));
    p.strokePath(track, QPen(white(0.1), 1));
    p.setFont(font());
    for (int i = 0; i < int(m_options.size()); ++i) {
        const QRectF box = segment(i);
        if (i == m_selection) {
            QPainterPath chosen;
            chosen.addRoundedRect(box, 6, 6);
            p.fillPath(chosen, white(0.16));
        }
        p.setPen(i == m_selection ? panel::bright() : panel::dim());
        p.drawText(box, Qt::AlignCenter, m_options[i]);
    }
}

void Segmented::mouseReleaseEvent(QMouseEvent *event)
{
    for (int i = 0; i < int(m_options.size()); ++i) {
        if (segment(i).contains(event->position())) {
            setSelection(i);
            Q_EMIT chosen(i);
            return;
        }
    }
}

// Row.

RowButton::RowButton(bool highlighted, QWidget *parent)
    : QAbstractButton(parent)
    , m_highlighted(highlighted)
{
    setCursor(Qt::PointingHandCursor);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
}

QSize RowButton::sizeHint() const
{
    return layout() ? layout()->sizeHint() : QSize(100, 32);
}

QSize RowButton::minimumSizeHint() const
{
    return layout() ? layout()->minimumSize() : QSize(0, 32);
}

void RowButton::enterEvent(QEnterEvent *event)
{
    m_hovered = true;
    update();
    QAbstractButton::enterEvent(event);
}

void RowButton::leaveEvent(QEvent *event)
{
    m_hovered = false;
    update();
    QAbstractButton::leaveEvent(event);
}

void RowButton::paintEvent(QPaintEvent *)
{
    if (!m_highlighted && !m_hovered && !isDown())
        return;
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath shape;
    shape.addRoundedRect(QRectF(rect()), 8, 8);
    p.fillPath(shape, isDown() ? white(0.14) : m_highlighted ? panel::ember(38) : white(0.06));
}

// Glass icon button.

GlassIconButton::GlassIconButton(Icon icon, bool on, const QString &tip, QWidget *parent)
    : QAbstractButton(parent)
    , m_icon(icon)
    , m_on(on)
{
    setToolTip(tip);
    setCursor(Qt::PointingHandCursor);
    setFixedSize(28, 28);
}

void GlassIconButton::enterEvent(QEnterEvent *event)
{
    m_hovered = true;
    update();
    QAbstractButton::enterEvent(event);
}

void GlassIconButton::leaveEvent(QEvent *event)
{
    m_hovered = false;
    update();
    QAbstractButton::leaveEvent(event);
}

void GlassIconButton::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF box = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    const double alpha = !isEnabled() ? 0.04 : isDown() ? 0.22 : m_on ? 0.2 : m_hovered ? 0.14 : 0.08;
    p.setPen(QPen(white(0.14), 1));
    p.setBrush(white(alpha));
    p.drawEllipse(box);

    const QColor ink = !isEnabled() ? panel::faint() : m_on ? panel::ember() : panel::bright();
    QPen pen(ink, 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    p.translate(box.center());
    QPainterPath path;
    switch (m_icon) {
    case Icon::chevronLeft:
        path.moveTo(2, -5);
        path.lineTo(-3, 0);
        path.lineTo(2, 5);
        p.drawPath(path);
        break;
    case Icon::chevronRight:
        path.moveTo(-2, -5);
        path.lineTo(3, 0);
        path.lineTo(-2, 5);
        p.drawPath(path);
        break;
    case Icon::reload: {
        const QRectF arc(-5.5, -5.5, 11, 11);
        path.arcMoveTo(arc, 60);
        path.arcTo(arc, 60, 270);
        p.drawPath(path);
        QPainterPath head;
        const QPointF tip(2.75 + 0.2, -4.76);
        head.moveTo(tip + QPointF(-3.2, -1.6));
        head.lineTo(tip);
        head.lineTo(tip + QPointF(-0.6, 3.4));
        p.drawPath(head);
        break;
    }
    case Icon::pin:
    case Icon::pinFill: {
        // A drawing pin seen from the side, leaning a little.
        p.rotate(35);
        QPainterPath body;
        body.moveTo(-3.2, -6);
        body.lineTo(3.2, -6);
        body.lineTo(2.2, -1.2);
        body.lineTo(4.6, 1.4);
        body.lineTo(-4.6, 1.4);
        body.lineTo(-2.2, -1.2);
        body.closeSubpath();
        if (m_icon == Icon::pinFill)
            p.setBrush(ink);
        p.drawPath(body);
        p.drawLine(QPointF(0, 1.4), QPointF(0, 7));
        break;
    }
    }
}

} // namespace velloran
