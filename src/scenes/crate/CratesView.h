#pragma once

#include "core/Clock.h"
#include "paint/Spring.h"
#include "scenes/browse/ShelfOrder.h"
#include "scenes/crate/CardPose.h"
#include "scenes/crate/CrateGeometry.h"
#include "scenes/crate/CrateItems.h"
#include "scenes/crate/RowProjection.h"
#include "scenes/pullout/PullOut.h"

#include <QHash>
#include <QImage>
#include <QPointer>
#include <QRegion>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <memory>
#include <optional>

class QSettings;

namespace velloran {

class ArtworkLoader;
class ArtworkStore;
class GlassSegments;
class LibraryAccess;
class PillButton;

namespace crate {
class ScrollWheel;
}

// The crate: the records of the library upright as cards, one behind the other, with
// alphabetical dividers between the sections. One card is current; the arrow keys, the
// scroll wheel, a drag or a click flip through them, and Return or a click on the current
// card pulls its record out, over the crate.
class CratesView : public QWidget {
    Q_OBJECT

public:
    struct Services {
        LibraryAccess &library;
        QSettings &settings;
        Clock &clock;
        PullOut::PutOnTurntable putOnTurntable;
        ArtworkStore *store = nullptr;
    };

    static constexpr int coverPixels = 700;
    static constexpr std::size_t cardImageBound = 32;

    explicit CratesView(Services services, QWidget *parent = nullptr);
    ~CratesView() override;

    const QList<crate::CrateItem> &items() const { return m_items; }
    qsizetype current() const { return m_current; }
    const std::optional<ShelfEntry> &pulled() const { return m_pulled; }
    ShelfKind kind() const { return m_kind; }
    const crate::CrateGeometry &geometry() const { return m_geometry; }

    // Goes to an item by the crate's rule (dividers are skipped in the direction of travel).
    void go(qsizetype index);
    // Makes an item current as it is, divider or not, without animating.
    void showItem(qsizetype index);
    void setKind(ShelfKind kind);
    // Pulls a record out over the crate; nothing while one is out already.
    void pull(const ShelfEntry &entry);
    // What the pull-out's close action does: the record goes back, the pull-out fades away.
    void closePullOut();
    PullOut *pullOut() const { return m_pullOut; }
    GlassSegments &kindControl() const { return *m_kindControl; }
    PillButton &pullButton() const { return *m_pullButton; }

    // The card shown at a point, topmost first.
    std::optional<qsizetype> cardAt(QPointF point) const;
    // The pose a card has now, on its way to its place.
    crate::CardPose displayedPose(qsizetype index) const;

    // One frame of the loop: move the cards on, and redraw.
    void advanceFrame();
    bool isStill() const { return !m_frameTimer.isActive(); }
    // Ends every animation at once.
    void settle();
    // Draws the crate as it is now, in widget points; only `exposed` is worked on (all of it
    // when empty).
    void paintCrate(QPainter &painter, qreal devicePixelRatio, QRectF exposed = {});

Q_SIGNALS:
    void currentChanged(qsizetype current);
    void pulledChanged();
    void kindChanged(velloran::ShelfKind kind);

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    struct CardImage {
        QImage image;
        qint64 artworkKey = 0;
        double size = 0;
        qreal dpr = 0;
        quint64 lastUse = 0;
        QRectF opaque; // the part of the face whose pixels are all opaque, in card points
    };

    double now() const;
    void wake();
    void rebuild(std::optional<qsizetype> resetTo = std::nullopt);
    void setCurrent(qsizetype index, bool animate);
    void syncLoaders();
    void layoutOverlays();
    void updateCaption();
    void step(double value);
    QList<qsizetype> drawnCards() const;
    const CardImage &cardImage(qsizetype index, qreal dpr);
    const QImage &frontImage(qreal dpr);
    // What the front board hides of the cards, in whole points.
    QRegion frontBoardCover(qreal dpr);
    static QRectF frontShadowRect(const QRectF &card, double frontTop);
    // The cards standing and those tipped forward, each in the order they are drawn.
    void paintCards(QPainter &painter, const QList<qsizetype> &standing, const QList<qsizetype> &forward, qreal dpr,
                    const QRectF &exposed);
    void paintCaption(QPainter &painter);

    LibraryAccess &m_library;
    Clock &m_clock;
    QSettings &m_settings;
    PullOut::PutOnTurntable m_putOnTurntable;
    ArtworkStore *m_store;
    Instant m_epoch;

    ShelfKind m_kind;
    QList<crate::CrateItem> m_items;
    qsizetype m_current = 0;
    std::optional<ShelfEntry> m_pulled;

    // The cards' move from where they stood to their places for the current card.
    qsizetype m_previous = 0;
    QHash<qsizetype, crate::CardPose> m_from;
    DampedSpring m_progress{crate::poseResponse, crate::poseDamping, 1};
    std::optional<double> m_lastFrame;
    QTimer m_frameTimer;

    crate::CrateGeometry m_geometry;
    QImage m_room;
    QSize m_roomSize;
    qreal m_roomRatio = 0;
    QImage m_front;
    QString m_frontKey;
    QRegion m_frontCover;
    qint64 m_frontCoverKey = 0;
    QRectF m_frontCoverAt;
    QHash<QString, CardImage> m_cards;
    crate::RowProjection m_rowProjection;
    quint64 m_uses = 0;
    QHash<QString, ArtworkLoader *> m_loaders;

    PillButton *m_pullButton;
    GlassSegments *m_kindControl;
    QPointer<PullOut> m_pullOut;
    std::unique_ptr<crate::ScrollWheel> m_wheel;

    QString m_captionTitle;
    QString m_captionLine;
    QRectF m_captionRect;

    std::optional<QPointF> m_press;
    bool m_dragging = false;
};

} // namespace velloran
