#pragma once

#include <QList>
#include <QRectF>
#include <QString>
#include <QWidget>

#include <optional>

class QPainter;

namespace velloran {

// The segmented control the browsing scenes float over their rooms: a row of titles on a
// dark glass plate, the chosen one lit. Each option carries a value (a setting's raw value);
// pressing a segment chooses its value.
class GlassSegments : public QWidget {
    Q_OBJECT

public:
    struct Option {
        QString title;
        QString value;
        bool operator==(const Option &) const = default;
    };

    // Where the plate and each segment lie, in the control's points, for these titles.
    struct Geometry {
        QSizeF size;
        QList<QRectF> segments;
    };
    static Geometry layoutFor(const QList<QString> &titles);

    explicit GlassSegments(QList<Option> options, QWidget *parent = nullptr);

    const QList<Option> &options() const { return m_options; }
    const QString &selection() const { return m_selection; }
    // Chooses a value without telling anyone (the setting it shows changed elsewhere).
    void setSelection(const QString &value);
    // The segment of an option, in the control's points.
    QRectF segmentRect(qsizetype index) const;

    QSize sizeHint() const override;

    // Draws the control as it looks with `selection` chosen, its top-left corner at the origin.
    static void paint(QPainter &painter, const Geometry &geometry, const QList<Option> &options,
                      const QString &selection, std::optional<qsizetype> hovered = std::nullopt);

Q_SIGNALS:
    // The user chose another value.
    void selectionChanged(const QString &value);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void leaveEvent(QEvent *event) override;

private:
    std::optional<qsizetype> segmentAt(QPointF point) const;

    QList<Option> m_options;
    Geometry m_geometry;
    QString m_selection;
    std::optional<qsizetype> m_hovered;
};

} // namespace velloran
