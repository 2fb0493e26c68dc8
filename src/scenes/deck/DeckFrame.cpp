#include "scenes/deck/DeckFrame.h"

#include "scenes/deck/DeckGeometry.h"

#include <cmath>

namespace velloran {

namespace {

// What each part of the live layer covers, in stage points, with room for its shadow or glow.
constexpr double reach = 12.0;
constexpr QRectF grown(QRectF r, double by = reach)
{
    return r.adjusted(-by, -by, by, by);
}
constexpr QRectF knobArea = grown(deck::powerButtonFrame);
constexpr QRectF powerLampArea = grown(deck::powerLampFrame);
constexpr QRectF startStopArea = grown(deck::startStopFrame);
const QRectF speedArea = grown(deck::lamp33Frame.united(deck::button33Frame).united(deck::lamp45Frame).united(deck::button45Frame));
constexpr QRectF cueLeverArea = grown(deck::cueLeverFrame);
const QRectF pitchArea = grown(deck::pitchFaderFrame.united(deck::centredFrame(deck::pitchLabelCentre, {110, 20})));
const QRectF targetArea = grown(deck::targetLightFrame).united(grown(deck::centredFrame(deck::targetGlowCentre, TargetGlowRenderer::size), 2));
// The disc with its shadow, and the label that turns on it.
constexpr QRectF discArea = deck::centredFrame(deck::platterCentre, {2 * (deck::discRadius + 24), 2 * (deck::discRadius + 24)});
constexpr QRectF labelArea = deck::centredFrame(deck::platterCentre, {DiscFaceRenderer::labelSize + 4, DiscFaceRenderer::labelSize + 4});

bool shows(const QPainter &painter, const QRegion *exposed, const QRectF &area)
{
    return !exposed || exposed->intersects(painter.transform().mapRect(area).toAlignedRect().adjusted(-1, -1, 1, 1));
}

} // namespace

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

void DeckFramePainter::paintControls(QPainter &painter, const DeckFrameState &state, qreal dpr,
                                     const QRegion *exposed)
{
    if (shows(painter, exposed, knobArea)) {
        painter.save();
        painter.translate(deck::powerButtonFrame.center());
        m_powerKnob.paint(painter, state.knobAngle, dpr);
        painter.restore();
    }
    if (shows(painter, exposed, powerLampArea))
        m_powerLamp.paint(painter, deck::powerLampFrame.center(), deck::powerLampFrame.width(), state.powerLamp, dpr);

    if (shows(painter, exposed, startStopArea))
        paintButton(painter, deck::startStopFrame, startStopStyle(state.motor),
                    state.pressed == DeckButton::startStop, dpr, m_startStop);
    if (shows(painter, exposed, speedArea)) {
        m_speedLamp.paint(painter, deck::lamp33Frame.center(), deck::lamp33Frame.width(), state.at45 ? 0.0 : 1.0, dpr);
        paintButton(painter, deck::button33Frame, speedStyle(state.at45, false),
                    state.pressed == DeckButton::speed33, dpr, m_speed33);
        m_speedLamp.paint(painter, deck::lamp45Frame.center(), deck::lamp45Frame.width(), state.at45 ? 1.0 : 0.0, dpr);
        paintButton(painter, deck::button45Frame, speedStyle(state.at45, true),
                    state.pressed == DeckButton::speed45, dpr, m_speed45);
    }

    if (shows(painter, exposed, cueLeverArea)) {
        painter.save();
        painter.translate(deck::cueLeverFrame.topLeft());
        m_cueLever.paint(painter, state.lift, dpr);
        painter.restore();
    }

    if (shows(painter, exposed, pitchArea)) {
        painter.save();
        painter.translate(deck::pitchFaderFrame.topLeft());
        m_pitchFader.paint(painter, state.pitch, dpr);
        painter.restore();
        m_pitchLabel.sprite(pitchLabelText(state.pitch), dpr).draw(painter, deck::pitchLabelCentre);
    }

    if (shows(painter, exposed, targetArea)) {
        painter.save();
        painter.translate(deck::targetLightFrame.topLeft());
        m_targetLight.paint(painter, state.targetLight, dpr);
        painter.restore();
        m_targetGlow.paint(painter, deck::targetGlowCentre, state.targetLight, dpr);
    }
}

void DeckFramePainter::paint(QPainter &painter, const DeckFrameState &state, qreal dpr, const QRegion *exposed)
{
    if (state.face && shows(painter, exposed, discArea))
        paintDisc(painter, deck::platterCentre, state.rotation, *state.face, state.labelArtwork, dpr);
    paintControls(painter, state, dpr, exposed);
    bool armShows = !exposed;
    if (exposed)
        for (const QRectF &area : m_tonearm.footprint(deck::tonearmPivot, state.arm, state.lift, dpr))
            if ((armShows = shows(painter, exposed, area)))
                break;
    if (armShows)
        m_tonearm.paint(painter, deck::tonearmPivot, state.arm, state.lift, dpr);
}

QList<QRectF> DeckFramePainter::changedAreas(const DeckFrameState &a, const DeckFrameState &b, qreal dpr)
{
    QList<QRectF> areas;
    const bool sameDisc = a.face == b.face && a.labelArtwork.cacheKey() == b.labelArtwork.cacheKey();
    if (!sameDisc)
        areas.append(discArea);
    else if (a.face && a.rotation != b.rotation)
        areas.append(labelArea);
    if (a.arm != b.arm || a.lift != b.lift) {
        areas.append(m_tonearm.footprint(deck::tonearmPivot, a.arm, a.lift, dpr));
        areas.append(m_tonearm.footprint(deck::tonearmPivot, b.arm, b.lift, dpr));
        areas.append(cueLeverArea);
    }
    if (a.knobAngle != b.knobAngle)
        areas.append(knobArea);
    if (a.powerLamp != b.powerLamp)
        areas.append(powerLampArea);
    if (a.motor != b.motor || a.pressed != b.pressed)
        areas.append(startStopArea);
    if (a.at45 != b.at45 || a.pressed != b.pressed)
        areas.append(speedArea);
    if (a.pitch != b.pitch)
        areas.append(pitchArea);
    if (a.targetLight != b.targetLight)
        areas.append(targetArea);
    return areas;
}

} // namespace velloran
