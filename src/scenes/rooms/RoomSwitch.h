#pragma once

#include "model/Navigation.h"

#include <QList>
#include <QRectF>
#include <QWidget>

#include <optional>

namespace velloran {

// The three rooms' switch on its glass plate: "Shelf", "Crates", "Turntable". Pressing one
// shows its room at once; the current one is lit.
class RoomSwitch : public QWidget {
    Q_OBJECT

public:
    struct Room {
        QString title;
        Navigation::Screen screen;
    };
    static const QList<Room> &rooms();

    explicit RoomSwitch(Navigation &navigation, QWidget *parent = nullptr);

    // Each room's button, in the switch's points.
    QRectF buttonRect(qsizetype index) const { return m_buttons.value(index); }
    QSize sizeHint() const override { return m_size; }
    // Draws the switch with its top-left corner at the origin.
    void paintSwitch(QPainter &painter) const;

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void leaveEvent(QEvent *event) override;

private:
    std::optional<qsizetype> buttonAt(QPointF point) const;

    Navigation &m_navigation;
    QList<QRectF> m_buttons;
    QSize m_size;
    std::optional<qsizetype> m_hovered;
};

} // namespace velloran
