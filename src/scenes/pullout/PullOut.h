#pragma once

#include "core/Clock.h"
#include "model/Record.h"
#include "model/ShelfEntry.h"
#include "paint/RenderCache.h"
#include "paint/Spring.h"
#include "paint/Sprite.h"
#include "scenes/pullout/LooseDisc.h"
#include "scenes/pullout/PullOutRules.h"
#include "scenes/vinyl/CoverArt.h"
#include "paint/Tween.h"

#include "artwork/ArtworkLoader.h"

#include <QImage>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <optional>

namespace velloran {

class ArtworkStore;
class LibraryAccess;

// A record pulled out over the scene it was picked in: its sleeve large in the middle, the
// disc sliding out to the right and turning slowly, the facts, title and artist beneath, and
// "Play" and "Put it back". Lies over its parent, filling it; the parent behind shows as a
// dark blur. Every request after the first "Play" or "Put it back" is ignored, and `close`
// is called once when the scene is done; the owner then removes it (see `disappear`).
class PullOut : public QWidget {
    Q_OBJECT

public:
    // Hands the record to the turntable; `from` is the sleeve's rectangle in window
    // coordinates, where its flight begins.
    using PutOnTurntable = std::function<void(const ShelfEntry &entry, const Record &record, const QRectF &from)>;

    struct Actions {
        std::function<void()> close;
        PutOnTurntable putOnTurntable;
    };

    PullOut(ShelfEntry entry, LibraryAccess &library, Clock &clock, Actions actions, QWidget *parent,
            ArtworkStore *store = nullptr);
    ~PullOut() override;

    // Comes forward over the parent: takes the parent's picture once for the backdrop, then
    // fades in and runs the arrival (the disc slides out after a short pause).
    void open();
    // Fades away and deletes itself; what the owner calls from `close`.
    void disappear();

    void play();
    void putBack();

    const ShelfEntry &entry() const { return m_entry; }
    const std::optional<Record> &record() const { return m_record; }
    bool isShown() const { return m_shown; }
    bool isDiscOut() const { return m_discOut; }
    bool isClosing() const { return m_closing; }
    bool canPlay() const { return m_record.has_value() && !m_closing; }
    // Where the sleeve stands, in window coordinates.
    QRectF sleeveFrame() const { return m_sleeveFrame; }
    QString factsText() const { return pullout::factsLine(m_entry, m_record); }
    QRectF playButtonRect() const;
    QRectF putBackButtonRect() const;
    // The frame loop is paused: nothing moves.
    bool isStill() const { return !m_frameTimer.isActive(); }

    // One frame: moves the animations on to the clock's time and asks for the parts that change.
    void advanceFrame();
    // Draws the scene as it is now, in widget points; `exposed` limits the work to a part.
    void paintScene(QPainter &painter, qreal devicePixelRatio, const QRectF &exposed);
    // The disc's square now, in widget points.
    QRectF discRect() const;
    // What changes from frame to frame while the disc only turns: its label (the vinyl's
    // grooves, light and shadow look the same at every angle).
    QRect turningRect() const;

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    enum class Button { play, putBack };

    double now() const;
    void wake();
    void relayout();
    void setShown(bool shown);
    void slideDisc(bool out);
    double shownValue() const;
    double stageScale() const;
    double discAngle() const;
    void updateSleeveFrame();
    std::optional<Button> buttonAt(QPointF point) const;
    bool isOnScene(QPointF point) const;
    void takeBackdrop();
    const QImage &backdrop(qreal dpr);
    const Sprite &sleeveSprite(qreal dpr);

    QCoro::Task<> arrive();
    QCoro::Task<> finishPutBack();
    QCoro::Task<> finishPlay(Record record);

    ShelfEntry m_entry;
    LibraryAccess &m_library;
    Clock &m_clock;
    Actions m_actions;
    Instant m_epoch;

    // The scene's state.
    std::optional<Record> m_record;
    bool m_shown = false;
    bool m_discOut = false;
    Instant m_spinFrom;
    bool m_closing = false;
    QRectF m_sleeveFrame;

    // Its motion.
    DampedSpring m_showSpring{0.5, 0.82};
    std::optional<Tween> m_hide;
    Tween m_slide{pullout::slideOutSeconds, pullout::slideOutCurve()};
    double m_angleAtSlideIn = 0;
    Tween m_presence{pullout::fadeSeconds, QEasingCurve(QEasingCurve::InOutCubic)};
    bool m_disappearing = false;
    std::optional<double> m_lastFrame;
    QTimer m_frameTimer;

    // Its drawings.
    pullout::Layout m_layout;
    QStringList m_titleLines;
    CoverArt m_sleeveArt;
    ArtworkLoader m_labelArt;
    LooseDiscRenderer m_disc;
    struct SleeveKey {
        double size = 0;
        qint64 cover = 0;
        bool operator==(const SleeveKey &) const = default;
    };
    RenderCache<SleeveKey, Sprite> m_sleeve;
    QImage m_blurred;
    QImage m_backdrop;
    std::optional<Button> m_hovered;
    std::optional<Button> m_pressed;
};

} // namespace velloran
