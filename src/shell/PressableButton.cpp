#include "shell/PressableButton.h"

#include "paint/TimingCurves.h"

#include <QPainter>

namespace velloran {

PressableButton::PressableButton(QWidget *parent)
    : QAbstractButton(parent)
{
    m_animation.setDuration(120);
    m_animation.setEasingCurve(timing::easeOut());
    connect(&m_animation, &QVariantAnimation::valueChanged, this, [this](const QVariant &value) {
        m_press = value.toReal();
        update();
    });
    connect(this, &QAbstractButton::pressed, this, [this] { animateTo(1); });
    connect(this, &QAbstractButton::released, this, [this] { animateTo(0); });
}

void PressableButton::animateTo(qreal target)
{
    m_animation.stop();
    m_animation.setStartValue(m_press);
    m_animation.setEndValue(target);
    m_animation.start();
}

void PressableButton::paintEvent(QPaintEvent *)
{
    // The face goes into a layer of its own, so that darkening it touches only the face.
    const qreal dpr = devicePixelRatioF();
    QImage layer((QSizeF(size()) * dpr).toSize(), QImage::Format_ARGB32_Premultiplied);
    layer.setDevicePixelRatio(dpr);
    layer.fill(Qt::transparent);
    {
        QPainter face(&layer);
        face.setRenderHint(QPainter::Antialiasing);
        face.setRenderHint(QPainter::TextAntialiasing);
        paintFace(face, QRectF(rect()));
        if (m_press > 0) {
            face.setCompositionMode(QPainter::CompositionMode_SourceAtop);
            face.fillRect(rect(), QColor(0, 0, 0, int(255 * 0.04 * m_press)));
        }
    }
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    const QPointF centre = QRectF(rect()).center();
    const qreal scale = 1.0 - 0.03 * m_press;
    painter.translate(centre);
    painter.scale(scale, scale);
    painter.translate(-centre);
    painter.drawImage(QPointF(0, 0), layer);
}

} // namespace velloran
