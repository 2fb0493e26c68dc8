#pragma once

#include <QLayout>
#include <QList>
#include <QRectF>
#include <QSizeF>

#include <optional>

namespace velloran {

// A wrapping row: items at their ideal sizes left to right, a new row whenever the next one
// would overflow the width. A row never starts empty, so an item wider than the width sits
// alone on its row.
struct FlowRowPlan {
    QSizeF size;
    QList<QRectF> frames;

    // `width` none means unlimited.
    static FlowRowPlan make(const QList<QSizeF> &sizes, std::optional<double> width, double spacing);
};

// The same rule as a widget layout.
class FlowRowLayout : public QLayout {
public:
    explicit FlowRowLayout(double spacing, QWidget *parent = nullptr);
    ~FlowRowLayout() override;

    void addItem(QLayoutItem *item) override;
    int count() const override { return int(m_items.size()); }
    QLayoutItem *itemAt(int index) const override { return m_items.value(index); }
    QLayoutItem *takeAt(int index) override;
    QSize sizeHint() const override;
    QSize minimumSize() const override;
    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;
    Qt::Orientations expandingDirections() const override { return {}; }
    void setGeometry(const QRect &rect) override;

private:
    FlowRowPlan plan(std::optional<double> width) const;

    double m_spacing;
    QList<QLayoutItem *> m_items;
};

} // namespace velloran
