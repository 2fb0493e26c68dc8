#pragma once

#include "core/Clock.h"
#include "paint/Sprite.h"
#include "scenes/deck/DeckDrawings.h"
#include "scenes/deck/DeckFrame.h"
#include "scenes/deck/DeckMotion.h"
#include "scenes/deck/PitchFader.h"
#include "scenes/deck/PowerKnob.h"
#include "scenes/turntable/OakTable.h"
#include "scenes/turntable/Pile.h"
#include "scenes/turntable/StageFit.h"
#include "scenes/turntable/StagePoses.h"
#include "paint/Tween.h"
#include "scenes/vinyl/CoverArt.h"
#include "scenes/vinyl/Sleeve.h"

#include <QFuture>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <optional>

namespace velloran {

class ArtworkStore;
class LibraryAccess;
class PlaybackController;
class Turntable;

// The tabletop: the 1600 x 1000 stage fitted into the widget, with the mug, the pile of
// sleeves, the cables, the deck, the record's sleeve and the disc, and the deck's live
// parts driven frame by frame from the turntable and the player. Every gesture on the deck
// ends in an operation of the turntable. The frame loop runs only while something moves.
class TabletopStage : public QWidget {
    Q_OBJECT

public:
    // The deck's hit targets.
    enum class Control { power, startStop, speed33, speed45, cueLever, pitchFader, targetLight, tonearm };
    Q_ENUM(Control)

    TabletopStage(Turntable &turntable, LibraryAccess &library, Clock &clock, ArtworkStore *store = nullptr,
                  QWidget *parent = nullptr);
    ~TabletopStage() override;

    const StageFit &fit() const { return m_fit; }
    const DeckMotion &motion() const { return m_motion; }
    Pile &pile() { return m_pile; }
    // The frame loop is paused: the deck is at rest.
    bool isStill() const { return m_still; }
    int frameCount() const { return m_frames; }

    // One frame of the loop: aim and step the deck's motion, move the animations, redraw.
    void advanceFrame();
    // Draws the whole stage as it is now, in widget points; with `exposed`, only what lies
    // in that part of the widget.
    void paintStage(QPainter &painter, qreal devicePixelRatio, const QRegion *exposed = nullptr);
    // Makes the stage's drawings for a window of `windowSize` at `devicePixelRatio` on the
    // drawing thread, from what is drawn already; the next frame takes them over. Before anything is
    // drawn, a frame that comes before they are done waits for them rather than make them a
    // second time; later (a resize), frames go on with the drawings they have until then.
    void prepareDrawings(QSize windowSize, qreal devicePixelRatio);
    // Drawings are being made on a worker thread.
    bool isPreparingDrawings() const { return m_preparing.isValid(); }
    // Waits for drawings being made ahead and takes them over.
    void waitForDrawings();
    // The deck's drawings and the table the stage holds now.
    const DeckDrawings &deckDrawings() const { return m_drawings.deck; }
    const OakTable &table() const { return m_drawings.table; }
    // The widget area the last frame asked to repaint.
    const QRegion &lastDamage() const { return m_lastDamage; }

    // The control at a stage point, topmost first.
    std::optional<Control> controlAt(QPointF stagePoint) const;
    static QString toolTip(Control control);

Q_SIGNALS:
    // A tap anywhere on the table, alongside whatever the tap does there.
    void tapped();

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void leaveEvent(QEvent *event) override;
    bool event(QEvent *event) override;

private Q_SLOTS:
    void wakeFromModel();

private:
    double now() const;
    void wake();
    void confirmStill();
    bool animationsRunning(double t) const;
    void followFlipping(bool flipping);
    void followRecord();
    void updateCursor(std::optional<QPointF> stagePoint);
    void invalidateBack();

    // The sleeve beside the deck, while it lies still with nothing moving under it, is laid into
    // the back layer (what it covered there kept, to take it out again), so a frame of the whole
    // stage copies it rather than draw it turned.
    struct LaidSleeve {
        SleeveLook look;
        qint64 cover = 0;
        qreal ratio = 0;
        bool operator==(const LaidSleeve &) const = default;
    };
    void paintBack(QPainter &painter, qreal dpr, const std::optional<LaidSleeve> &sleeve);
    void laySleeve(const std::optional<LaidSleeve> &sleeve);
    void paintDisc(QPainter &painter, const StageDiscPose &pose, double t, qreal dpr);
    std::optional<SleeveLook> sleeveLook(double t) const;
    // Sleeve points (its centre at the origin) to widget points.
    QTransform sleevePlacement(const SleeveLook &look) const;
    void drawSleeve(QPainter &painter, const SleeveLook &look, qreal dpr);
    QRectF sleeveBounds(const SleeveLook &look, qreal dpr);
    DeckFrameState frameState(double t);
    // The live layer's state, with the disc when it lies seated on the platter.
    DeckFrameState liveState(double t, const std::optional<StageDiscPose> &pose);

    Turntable &m_turntable;
    PlaybackController &m_controller;
    LibraryAccess &m_library;
    Clock &m_clock;
    Instant m_epoch;

    StageFit m_fit;
    DeckMotion m_motion;
    bool m_still = false;
    bool m_stillCheckPosted = false;
    QTimer m_frameTimer;
    int m_frames = 0;
    std::optional<Instant> m_flipStart;

    // Drawings. Those that do not depend on the record can be made ahead, off the main thread.
    struct DiscShadows {
        Sprite near;
        Sprite far;
    };
    struct Drawings {
        OakTable table;
        DeckDrawings deck;
        // The disc's shadow close to the table and lifted off it.
        RenderCache<NoKey, DiscShadows> discShadows;
        // The pile's paper edges, made ahead for the pile to take.
        std::optional<Sprite> pileEdges;
        // What they are made for.
        qreal spriteRatio = 0;
    };
    static const DiscShadows &discShadows(Drawings &drawings, qreal dpr);
    void takePreparedDrawings(bool wait);
    // The pixel ratio the stage's drawings are rendered at in a window of this pixel ratio: the
    // one they were last drawn at while new ones for a resized window are being made.
    qreal spriteRatio(qreal dpr) const;
    // Has the drawings a resized window wants made on a worker thread, if those held do not suit it.
    void followSize();
    Drawings m_drawings;
    QFuture<Drawings> m_preparing;
    // The pixel ratio the last frame drew the stage's drawings at, and the window's it drew for.
    std::optional<qreal> m_drawnRatio;
    qreal m_drawnForRatio = 1;
    SleeveRenderer m_sleeve;
    QImage m_back;
    bool m_backValid = false;
    struct Laid {
        LaidSleeve sleeve;
        QPoint at; // device pixels of the back layer
        QImage under;
    };
    std::optional<Laid> m_laid;
    Pile m_pile;
    CoverArt m_sleeveArt;

    // Animated looks.
    Tween m_sleeveTween;
    SleeveLook m_sleeveFrom;
    SleeveLook m_sleeveTo;
    Tween m_powerLamp;
    Tween m_targetLight;
    Tween m_targetGlow;
    PowerKnobMotion m_knob;
    std::optional<double> m_lastFrame;
    // What the last frame showed of the live layer, and whether the whole stage was redrawn.
    std::optional<DeckFrameState> m_shown;
    bool m_shownWhole = true;
    QRegion m_lastDamage;

    // Gestures.
    std::optional<Control> m_pressed;
    QPointF m_pressStage;
    bool m_armDragging = false;
    PitchFaderDrag m_faderDrag;
    std::optional<ShelfEntry> m_pressedSleeve;
    bool m_moved = false;
};

} // namespace velloran
