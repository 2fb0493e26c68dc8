#pragma once

#include <QAbstractButton>
#include <QVariantAnimation>

namespace velloran {

// A button that shrinks to 97 % and darkens slightly while pressed, easing out over 0.12 s.
// Subclasses paint their face in paintFace(); the press is applied around it.
class PressableButton : public QAbstractButton {
    Q_OBJECT

public:
    explicit PressableButton(QWidget *parent = nullptr);

    // 0 at rest, 1 fully pressed.
    qreal pressAmount() const { return m_press; }

protected:
    virtual void paintFace(QPainter &painter, const QRectF &face) = 0;
    void paintEvent(QPaintEvent *event) override;

private:
    void animateTo(qreal target);

    QVariantAnimation m_animation;
    qreal m_press = 0;
};

} // namespace velloran
