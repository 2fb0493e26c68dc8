#include "scenes/sleeveback/FlowRow.h"

#include <QWidget>

#include <algorithm>
#include <cmath>
#include <limits>

namespace velloran {

FlowRowPlan FlowRowPlan::make(const QList<QSizeF> &sizes, std::optional<double> width, double spacing)
{
    const double available = width.value_or(std::numeric_limits<double>::infinity());
    struct Row {
        QList<qsizetype> items;
        double width = 0;
        double height = 0;
    };
    QList<Row> rows;
    Row row;
    for (qsizetype i = 0; i < sizes.size(); ++i) {
        const QSizeF size = sizes[i];
        if (!row.items.isEmpty() && row.width + spacing + size.width() > available) {
            rows.append(row);
            row = Row{{i}, size.width(), size.height()};
            continue;
        }
        row.width = row.items.isEmpty() ? size.width() : row.width + spacing + size.width();
        row.height = std::max(row.height, size.height());
        row.items.append(i);
    }
    if (!row.items.isEmpty())
        rows.append(row);

    FlowRowPlan plan;
    plan.frames.resize(sizes.size());
    double y = 0;
    double widest = 0;
    for (const Row &r : rows) {
        double x = 0;
        for (const qsizetype i : r.items) {
            plan.frames[i] = QRectF(QPointF(x, y), sizes[i]);
            x += sizes[i].width() + spacing;
        }
        y += r.height + spacing;
        widest = std::max(widest, r.width);
    }
    const double height = rows.isEmpty() ? 0 : y - spacing;
    plan.size = QSizeF(width.value_or(widest), height);
    return plan;
}

FlowRowLayout::FlowRowLayout(double spacing, QWidget *parent)
    : QLayout(parent)
    , m_spacing(spacing)
{
    setContentsMargins(0, 0, 0, 0);
}

FlowRowLayout::~FlowRowLayout()
{
    qDeleteAll(m_items);
}

void FlowRowLayout::addItem(QLayoutItem *item)
{
    m_items.append(item);
    invalidate();
}

QLayoutItem *FlowRowLayout::takeAt(int index)
{
    if (index < 0 || index >= m_items.size())
        return nullptr;
    QLayoutItem *item = m_items.takeAt(index);
    invalidate();
    return item;
}

FlowRowPlan FlowRowLayout::plan(std::optional<double> width) const
{
    QList<QSizeF> sizes;
    for (QLayoutItem *item : m_items)
        sizes.append(item->isEmpty() ? QSizeF(0, 0) : QSizeF(item->sizeHint()));
    // Hidden items take no place.
    QList<QSizeF> shown;
    QList<qsizetype> index;
    for (qsizetype i = 0; i < sizes.size(); ++i) {
        if (!m_items[i]->isEmpty()) {
            shown.append(sizes[i]);
            index.append(i);
        }
    }
    FlowRowPlan compact = FlowRowPlan::make(shown, width, m_spacing);
    FlowRowPlan plan;
    plan.size = compact.size;
    plan.frames.resize(sizes.size());
    for (qsizetype i = 0; i < index.size(); ++i)
        plan.frames[index[i]] = compact.frames[i];
    return plan;
}

QSize FlowRowLayout::sizeHint() const
{
    const QSizeF size = plan(std::nullopt).size;
    return {int(std::ceil(size.width())), int(std::ceil(size.height()))};
}

QSize FlowRowLayout::minimumSize() const
{
    QSize smallest;
    for (QLayoutItem *item : m_items)
        if (!item->isEmpty())
            smallest = smallest.expandedTo(item->minimumSize());
    return smallest;
}

int FlowRowLayout::heightForWidth(int width) const
{
    return int(std::ceil(plan(double(width)).size.height()));
}

void FlowRowLayout::setGeometry(const QRect &rect)
{
    QLayout::setGeometry(rect);
    const FlowRowPlan p = plan(double(rect.width()));
    for (qsizetype i = 0; i < m_items.size(); ++i) {
        if (m_items[i]->isEmpty())
            continue;
        m_items[i]->setGeometry(p.frames[i].translated(rect.topLeft()).toRect());
    }
}

} // namespace velloran
