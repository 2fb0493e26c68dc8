#pragma once

#include "scenes/deck/CueLever.h"
#include "scenes/deck/DeckButton.h"
#include "scenes/deck/HardwareLabel.h"
#include "scenes/deck/Led.h"
#include "scenes/deck/PitchFader.h"
#include "scenes/deck/PowerKnob.h"
#include "scenes/deck/TargetLight.h"
#include "scenes/deck/Tonearm.h"
#include "scenes/vinyl/DiscFace.h"

#include <QImage>
#include <QList>
#include <QPainter>
#include <QRegion>

#include <optional>

namespace velloran {

// The deck's push buttons.
enum class DeckButton { startStop, speed33, speed45 };

// Everything the live deck layer shows in one frame.
struct DeckFrameState {
    // The record on the platter, if any, with its label artwork.
    std::optional<DiscFace> face;
    QImage labelArtwork;
    // From the deck motion.
    double rotation = 0.0;
    double arm = -4.0;
    double lift = 0.0;
    // Controls; the amounts animate a lamp between off (0) and on (1).
    double knobAngle = 0.0;
    double powerLamp = 0.0;
    bool motor = false;
    bool at45 = false;
    double pitch = 0.0;
    double targetLight = 0.0;
    // The button held down under the pointer, if any.
    std::optional<DeckButton> pressed;
};

// Paints the deck's live layer over its body, in stage points: the spinning disc with its
// fixed sheen, the controls and the tonearm. Every part comes from a drawing rendered once;
// a frame only places, rotates and blends them.
class DeckFramePainter {
public:
    // With `exposed` (in the coordinates the painter started in), parts that lie wholly outside
    // it are not drawn at all; the painter's clip does the rest.
    void paint(QPainter &painter, const DeckFrameState &state, qreal devicePixelRatio,
               const QRegion *exposed = nullptr);

    // The stage rectangles whose pixels can differ between two frames: the turned label, the
    // arm where it was and where it is, a control whose look changed. Empty when the two
    // frames look the same.
    QList<QRectF> changedAreas(const DeckFrameState &before, const DeckFrameState &after, qreal devicePixelRatio);

    // Everything the live layer can draw lies in this stage rectangle: the disc with its
    // shadow, the tonearm over its whole travel, the controls with their glows and shadows.
    static constexpr QRectF bounds{560.0, 226.0, 690.0, 566.0};

    // The disc face alone, centred at `centre` and turned by `rotation` degrees, with its
    // shadow and sheen.
    void paintDisc(QPainter &painter, QPointF centre, double rotation, const DiscFace &face,
                   const QImage &labelArtwork, qreal devicePixelRatio);
    void paintControls(QPainter &painter, const DeckFrameState &state, qreal devicePixelRatio,
                       const QRegion *exposed = nullptr);

    const DiscFaceRenderer &discFace() const { return m_face; }
    DiscFaceRenderer &discFace() { return m_face; }

    static DeckButtonStyle startStopStyle(bool motor);
    static DeckButtonStyle speedStyle(bool at45, bool is45);

private:
    void paintButton(QPainter &painter, const QRectF &frame, const DeckButtonStyle &style, bool pressed,
                     qreal devicePixelRatio, DeckButtonRenderer &renderer);

    DiscFaceRenderer m_face;
    TonearmRenderer m_tonearm;
    CueLeverRenderer m_cueLever;
    PitchFaderRenderer m_pitchFader;
    HardwareLabelRenderer m_pitchLabel;
    TargetLightRenderer m_targetLight;
    TargetGlowRenderer m_targetGlow;
    PowerKnobRenderer m_powerKnob;
    LedRenderer m_powerLamp;
    LedRenderer m_speedLamp;
    DeckButtonRenderer m_startStop;
    DeckButtonRenderer m_speed33;
    DeckButtonRenderer m_speed45;
};

} // namespace velloran
