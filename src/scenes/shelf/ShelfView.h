#pragma once

#include "core/Clock.h"
#include "paint/RenderCache.h"
#include "paint/Spring.h"
#include "paint/Sprite.h"
#include "scenes/browse/ShelfOrder.h"
#include "scenes/pullout/PullOut.h"
#include "scenes/shelf/CoverColours.h"
#include "scenes/shelf/ShelfLists.h"
#include "scenes/shelf/LedgeCover.h"
#include "scenes/shelf/Spines.h"
#include "scenes/shelf/WallPainters.h"
#include "scenes/vinyl/CoverArt.h"
#include "paint/Tween.h"

#include <QHash>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <memory>
#include <optional>
#include <unordered_map>
#include <vector>

class QSettings;

namespace velloran {

class ArtworkStore;
class GlassSegments;
class LibraryAccess;
class PlayHistory;

// The wall of records: the ledge of records played lately (or added lately) face-out, and the
// whole collection spine-out on oak shelves below it, filtered and ordered by the two stored
// shelf settings chosen with the glass controls at the top right. Clicking a spine or a cover
// pulls that record out over the wall. Only the shelves in view are painted, each spine from
// a bounded cache of drawings; the frame loop runs only while something moves.
class ShelfView : public QWidget {
    Q_OBJECT

public:
    struct Services {
        LibraryAccess &library;
        PlayHistory &history;
        QSettings &settings;
        Clock &clock;
        PullOut::PutOnTurntable putOnTurntable;
        ArtworkStore *store = nullptr;
    };

    explicit ShelfView(Services services, QWidget *parent = nullptr);
    ~ShelfView() override;

    ShelfKind kind() const { return m_kind; }
    ShelfSort sort() const { return m_sort; }
    // Chooses and stores a setting, as its control does.
    void setKind(ShelfKind kind);
    void setSort(ShelfSort sort);
    int colourPass() const { return m_colourPass; }

    const shelf::ShelfLists &lists() const { return m_lists; }
    const shelf::WallLayout &wallLayout() const { return m_layout; }
    // The shelves block's identity; a change cross-fades it.
    QString shelvesIdentity() const;

    double scrollOffset() const { return m_scroll; }
    double maxScroll() const;
    void setScrollOffset(double offset);

    const std::optional<ShelfEntry> &pulled() const { return m_pulled; }
    PullOut *pullOut() const { return m_pullOut; }
    // Pulls a record out over the wall, as a click on its spine or cover does.
    void pull(const ShelfEntry &entry);

    // Hovers a spine or a ledge cover by its index, as the pointer does (nothing: none).
    void hoverSpine(std::optional<qsizetype> index);
    void hoverCover(std::optional<qsizetype> index);
    // The spine and cover under a point of the view.
    std::optional<qsizetype> spineAt(QPointF point) const;
    std::optional<qsizetype> coverAt(QPointF point) const;
    QString toolTipAt(QPointF point) const;

    // One frame of the loop; `isStill` once nothing moves.
    void advanceFrame();
    bool isStill() const { return !m_frameTimer.isActive(); }
    // Jumps every animation to its end (for still pictures).
    void settle();

    // Draws the wall as it is now, in widget points; only `exposed` is worked on.
    void paintWall(QPainter &painter, qreal devicePixelRatio, const QRectF &exposed);

    // What the caches hold, for the measurements.
    const shelf::SpineRenderer &spines() const { return m_spines; }
    const shelf::WallBackground &wall() const { return m_wall; }
    const shelf::OakShelfRenderer &boards() const { return m_boards; }
    // The wall and the boards of a resized window are being made on the drawing thread; till
    // then frames stretch those of the window before.
    bool isMakingWall() const { return m_makingWall; }
    qsizetype cachedBytes() const;

Q_SIGNALS:
    void kindChanged(velloran::ShelfKind kind);
    void sortChanged(velloran::ShelfSort sort);
    void colourPassChanged(int pass);
    void rebuilt();

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void leaveEvent(QEvent *event) override;
    bool event(QEvent *event) override;

private:
    struct Lift {
        DampedSpring spring;
        bool target = false;
    };

    double now() const;
    void wake();
    void rebuild();
    void relayout();
    void beginCrossFade();
    void startColourPass();
    QCoro::Task<> runColourPass(quint64 generation);
    void placeControls();
    // Has the wall and the boards a resized window wants made on the drawing thread.
    void followSize();
    QCoro::Task<> makeWall(QSize size, double clearRight, double boardWidth, qreal dpr);
    QRectF wallPixels(const QImage &wall, const QRectF &area, qreal dpr) const;
    void setLift(std::unordered_map<qsizetype, Lift> &lifts, std::optional<qsizetype> &current,
                 std::optional<qsizetype> index, double response);
    double liftOf(const std::unordered_map<qsizetype, Lift> &lifts, qsizetype index) const;
    bool isLifting(const std::unordered_map<qsizetype, Lift> &lifts, qsizetype index) const;
    shelf::SpineLook spineLook(const ShelfEntry &entry, int thickness);
    void paintHeaders(QPainter &painter, const QRectF &visible);
    void paintLedge(QPainter &painter, const QRectF &visible, qreal dpr);
    void paintShelves(QPainter &painter, const QRectF &visible, qreal dpr);
    void paintScrollIndicator(QPainter &painter);
    const Sprite &coverShadow(qreal dpr);
    QImage renderFrame(qreal dpr);

    Services m_services;
    Instant m_epoch;
    ShelfKind m_kind;
    ShelfSort m_sort;
    int m_colourPass = 0;
    quint64 m_colourPassGeneration = 0;
    std::optional<ShelfEntry> m_pulled;
    QPointer<PullOut> m_pullOut;

    shelf::ShelfLists m_lists;
    shelf::WallLayout m_layout;
    double m_scroll = 0;

    shelf::CoverColours m_colours;
    GlassSegments *m_kindControl = nullptr;
    GlassSegments *m_sortControl = nullptr;

    // Motion.
    QTimer m_frameTimer;
    std::optional<double> m_lastFrame;
    std::unordered_map<qsizetype, Lift> m_spineLifts;
    std::unordered_map<qsizetype, Lift> m_coverLifts;
    std::optional<qsizetype> m_hoveredSpine;
    std::optional<qsizetype> m_hoveredCover;
    std::optional<qsizetype> m_pressedSpine;
    std::optional<qsizetype> m_pressedCover;
    QImage m_fadeFrom;
    Tween m_fade;

    // Drawings.
    // The pixel ratio of the last frame, none before the first.
    std::optional<qreal> m_drawnRatio;
    bool m_makingWall = false;
    shelf::WallBackground m_wall;
    shelf::OakShelfRenderer m_boards;
    shelf::BookEndRenderer m_bookEnd;
    shelf::SpineRenderer m_spines;
    shelf::SpineRunShadow m_runShadow;
    std::vector<std::unique_ptr<CoverArt>> m_ledgeArt;
    std::vector<shelf::LedgeCover> m_ledgeCovers;
    RenderCache<NoKey, Sprite> m_coverShadow;
};

} // namespace velloran
