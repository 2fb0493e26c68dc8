#include "scenes/deck/DeckFrame.h"

#include "scenes/deck/DeckGeometry.h"


namespace velloran {

DeckButtonStyle DeckFramePainter::startStopStyle(bool motor)
{
    return {QStringLiteral("START\u00B7STOP"), deck::startStopFrame.size(), QFont::Medium, motor};
}

DeckButtonStyle DeckFramePainter::speedStyle(bool at45, bool is45)
{
    return {is45 ? QStringLiteral("45") : QStringLiteral("33"), deck::button33Frame.size(), QFont::Normal,
            is45 == at45};
}

void DeckFramePainter::paintDisc(QPainter &painter, QPointF centre, double rotation, const DiscFace &face,
                                 const QImage &labelArtwork, qreal dpr)
{
    const DiscFaceRenderer::Images &images = m_face.images(face, labelArtwork, dpr);
    images.platter.draw(painter, centre);

    // The label's edge lies inside its image, so its frame needs no edge antialiasing.
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.translate(centre);
    painter.rotate(rotation);
    const double half = DiscFaceRenderer::labelSize / 2;
    painter.drawImage(QPointF(-half, -half), images.label);
    painter.restore();
}

void DeckFramePainter::paintButton(QPainter &painter, const QRectF &frame, const DeckButtonStyle &style,
                                   bool pressed, qreal dpr, DeckButtonRenderer &renderer)
{
    renderer.sprite(style, style.isDown(pressed), dpr).draw(painter, frame.topLeft());
}

void DeckFramePainter::paintControls(QPainter &painter, const DeckFrameState &state, qreal dpr)
{
    painter.save();
    painter.translate(deck::powerButtonFrame.center());
    m_powerKnob.paint(painter, state.knobAngle, dpr);
    painter.restore();
    m_powerLamp.paint(painter, deck::powerLampFrame.center(), deck::powerLampFrame.width(), state.powerLamp, dpr);

    paintButton(painter, deck::startStopFrame, startStopStyle(state.motor),
                state.pressed == DeckButton::startStop, dpr, m_startStop);
    m_speedLamp.paint(painter, deck::lamp33Frame.center(), deck::lamp33Frame.width(), state.at45 ? 0.0 : 1.0, dpr);
    paintButton(painter, deck::button33Frame, speedStyle(state.at45, false), state.pressed == DeckButton::speed33,
                dpr, m_speed33);
    m_speedLamp.paint(painter, deck::lamp45Frame.center(), deck::lamp45Frame.width(), state.at45 ? 1.0 : 0.0, dpr);
    paintButton(painter, deck::button45Frame, speedStyle(state.at45, true), state.pressed == DeckButton::speed45,
                dpr, m_speed45);

    painter.save();
    painter.translate(deck::cueLeverFrame.topLeft());
    m_cueLever.paint(painter, state.lift, dpr);
    painter.restore();

    painter.save();
    painter.translate(deck::pitchFaderFrame.topLeft());
    m_pitchFader.paint(painter, state.pitch, dpr);
    painter.restore();
    m_pitchLabel.sprite(pitchLabelText(state.pitch), dpr).draw(painter, deck::pitchLabelCentre);

    painter.save();
    painter.translate(deck::targetLightFrame.topLeft());
    m_targetLight.paint(painter, state.targetLight, dpr);
    painter.restore();
    m_targetGlow.paint(painter, deck::targetGlowCentre, state.targetLight, dpr);
}

void DeckFramePainter::paint(QPainter &painter, const DeckFrameState &state, qreal dpr)
{
    if (state.face)
        paintDisc(painter, deck::platterCentre, state.rotation, *state.face, state.labelArtwork, dpr);
    paintControls(painter, state, dpr);
    m_tonearm.paint(painter, deck::tonearmPivot, state.arm, state.lift, dpr);
}

} // namespace velloran
