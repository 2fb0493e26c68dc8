#include "scenes/browse/GlassSegments.h"

#include "paint/Fonts.h"
#include "paint/Palette.h"
#include "paint/Sprite.h"

#include <QFontMetricsF>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

namespace velloran {

namespace {

constexpr double platePadding = 2;
constexpr double labelPaddingX = 10;
constexpr double labelPaddingY = 4;
constexpr double segmentRadius = 6;
constexpr double plateRadius = 8;
const QColor plateFill(20, 22, 26, 189);
const QColor chosenInk(244, 242, 238);
const QColor otherInk(183, 188, 192);

QFont labelFont()
{
    return fonts::font(fonts::sans(), 12);
}

} // namespace

GlassSegments::Geometry GlassSegments::layoutFor(const QList<QString> &titles)
{
    const QFontMetricsF metrics(labelFont());
    Geometry g;
    double x = platePadding;
    const double height = std::ceil(metrics.height()) + 2 * labelPaddingY;
    for (const QString &title : titles) {
        const double width = std::ceil(metrics.horizontalAdvance(title)) + 2 * labelPaddingX;
        g.segments.append(QRectF(x, platePadding, width, height));
        x += width;
    }
    g.size = QSizeF(x + platePadding, height + 2 * platePadding);
    return g;
}

GlassSegments::GlassSegments(QList<Option> options, QWidget *parent)
    : QWidget(parent)
    , m_options(std::move(options))
{
    QList<QString> titles;
    for (const Option &option : m_options)
        titles.append(option.title);
    m_geometry = layoutFor(titles);
    if (!m_options.isEmpty())
        m_selection = m_options.front().value;
    setMouseTracking(true);
    setAttribute(Qt::WA_TranslucentBackground);
    setCursor(Qt::PointingHandCursor);
    resize(sizeHint());
}

void GlassSegments::setSelection(const QString &value)
{
    if (value == m_selection)
        return;
    m_selection = value;
    update();
}

QRectF GlassSegments::segmentRect(qsizetype index) const
{
    return index >= 0 && index < m_geometry.segments.size() ? m_geometry.segments.at(index) : QRectF();
}

QSize GlassSegments::sizeHint() const
{
    return m_geometry.size.toSize();
}

void GlassSegments::paint(QPainter &painter, const Geometry &geometry, const QList<Option> &options,
                          const QString &selection, std::optional<qsizetype> hovered)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    const QRectF plate(QPointF(0, 0), geometry.size);
    painter.setPen(Qt::NoPen);
    painter.setBrush(plateFill);
    painter.drawRoundedRect(plate, plateRadius, plateRadius);
    // The glass's lit rim, drawn inside its edge.
    painter.setPen(QPen(QColor(255, 255, 255, 31), 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawRoundedRect(plate.adjusted(0.5, 0.5, -0.5, -0.5), plateRadius - 0.5, plateRadius - 0.5);

    painter.setFont(labelFont());
    for (qsizetype i = 0; i < options.size() && i < geometry.segments.size(); ++i) {
        const QRectF segment = geometry.segments.at(i);
        const bool chosen = options.at(i).value == selection;
        if (chosen || hovered == i) {
            painter.setPen(Qt::NoPen);
            painter.setBrush(QColor(255, 255, 255, chosen ? 31 : 12));
            painter.drawRoundedRect(segment, segmentRadius, segmentRadius);
        }
        painter.setPen(chosen ? chosenInk : otherInk);
        painter.drawText(segment, Qt::AlignCenter, options.at(i).title);
    }
    painter.restore();
}

void GlassSegments::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    paint(painter, m_geometry, m_options, m_selection, m_hovered);
}

std::optional<qsizetype> GlassSegments::segmentAt(QPointF point) const
{
    for (qsizetype i = 0; i < m_geometry.segments.size(); ++i)
        if (m_geometry.segments.at(i).contains(point))
            return i;
    return std::nullopt;
}

void GlassSegments::mousePressEvent(QMouseEvent *event)
{
    const std::optional<qsizetype> hit = segmentAt(event->position());
    if (!hit || event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    const QString &value = m_options.at(*hit).value;
    if (value == m_selection)
        return;
    m_selection = value;
    update();
    Q_EMIT selectionChanged(value);
}

void GlassSegments::mouseMoveEvent(QMouseEvent *event)
{
    const std::optional<qsizetype> hit = segmentAt(event->position());
    if (hit != m_hovered) {
        m_hovered = hit;
        update();
    }
}

void GlassSegments::leaveEvent(QEvent *)
{
    if (m_hovered) {
        m_hovered.reset();
        update();
    }
}

} // namespace velloran
