#include "scenes/rooms/RoomSwitch.h"

#include "paint/Fonts.h"
#include "paint/Palette.h"

#include <QFontMetricsF>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

#include <cmath>

namespace velloran {

using namespace Qt::StringLiterals;

namespace {

constexpr double padX = 10;
constexpr double padY = 4;
constexpr double spacing = 2;
constexpr double platePadding = 3;
constexpr double buttonRadius = 7;
constexpr double plateRadius = 10;

QFont titleFont()
{
    return fonts::font(fonts::sans(), 12, QFont::Medium);
}

} // namespace

const QList<RoomSwitch::Room> &RoomSwitch::rooms()
{
    static const QList<Room> list{{u"Shelf"_s, Navigation::Screen::shelf},
                                  {u"Crates"_s, Navigation::Screen::crates},
                                  {u"Turntable"_s, Navigation::Screen::turntable}};
    return list;
}

RoomSwitch::RoomSwitch(Navigation &navigation, QWidget *parent)
    : QWidget(parent)
    , m_navigation(navigation)
{
    setAttribute(Qt::WA_TranslucentBackground);
    setMouseTracking(true);
    setCursor(Qt::PointingHandCursor);
    const QFontMetricsF metrics(titleFont());
    double x = platePadding;
    const double height = std::ceil(metrics.height()) + 2 * padY;
    for (const Room &room : rooms()) {
        const double width = std::ceil(metrics.horizontalAdvance(room.title)) + 2 * padX;
        m_buttons.append(QRectF(x, platePadding, width, height));
        x += width + spacing;
    }
    m_size = QSize(int(std::ceil(x - spacing + platePadding)), int(std::ceil(height + 2 * platePadding)));
    resize(m_size);
    connect(&m_navigation, &Navigation::screenChanged, this, qOverload<>(&QWidget::update));
}

void RoomSwitch::paintSwitch(QPainter &p) const
{
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF plate(QPointF(0, 0), QSizeF(m_size));
    QPainterPath glass;
    glass.addRoundedRect(plate, plateRadius, plateRadius);
    p.fillPath(glass, QColor(20, 22, 26, int(255 * 0.74)));
    QPainterPath rim;
    rim.addRoundedRect(plate.adjusted(0.5, 0.5, -0.5, -0.5), plateRadius - 0.5, plateRadius - 0.5);
    p.strokePath(rim, QPen(QColor(255, 255, 255, int(255 * 0.12)), 1));
    p.setFont(titleFont());
    for (qsizetype i = 0; i < rooms().size(); ++i) {
        const bool current = rooms()[i].screen == m_navigation.screen();
        const QRectF button = m_buttons[i];
        if (current || m_hovered == i) {
            QPainterPath lit;
            lit.addRoundedRect(button, buttonRadius, buttonRadius);
            p.fillPath(lit, QColor(255, 255, 255, current ? int(255 * 0.12) : 14));
        }
        p.setPen(current ? QColor(244, 242, 238) : QColor(183, 188, 192));
        p.drawText(button, Qt::AlignCenter, rooms()[i].title);
    }
}

void RoomSwitch::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    paintSwitch(p);
}

std::optional<qsizetype> RoomSwitch::buttonAt(QPointF point) const
{
    for (qsizetype i = 0; i < m_buttons.size(); ++i)
        if (m_buttons[i].contains(point))
            return i;
    return std::nullopt;
}

void RoomSwitch::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return;
    if (const std::optional<qsizetype> index = buttonAt(event->position()))
        m_navigation.setScreen(rooms()[*index].screen);
}

void RoomSwitch::mouseMoveEvent(QMouseEvent *event)
{
    const std::optional<qsizetype> hovered = buttonAt(event->position());
    if (hovered != m_hovered) {
        m_hovered = hovered;
        update();
    }
}

void RoomSwitch::leaveEvent(QEvent *event)
{
    QWidget::leaveEvent(event);
    m_hovered.reset();
    update();
}

} // namespace velloran
