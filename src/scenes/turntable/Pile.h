#pragma once

#include "artwork/ArtworkLoader.h"
#include "paint/Spring.h"
#include "paint/Sprite.h"
#include "scenes/turntable/PileLayout.h"
#include "scenes/vinyl/Sleeve.h"

#include <QObject>
#include <QPainter>

#include <memory>
#include <vector>

namespace velloran {

class ArtworkStore;
class LibraryAccess;
class Turntable;

// The loose heap of two sleeves beside the deck: the first two records of the library that
// are not on the deck. A hovered sleeve's cover slides up out of the heap; clicking a sleeve
// puts its record on the deck. A layer of the tabletop stage, drawn in stage points.
class Pile : public QObject {
    Q_OBJECT

public:
    static constexpr int coverPixels = 700;

    Pile(LibraryAccess &library, Turntable &turntable, ArtworkStore *store = nullptr, QObject *parent = nullptr);
    ~Pile() override;

    // The entries shown, slot 0 first.
    const QList<ShelfEntry> &visible() const { return m_visible; }
    const std::optional<QString> &hovered() const { return m_hover.id(); }

    // The topmost visible sleeve at a stage point.
    std::optional<ShelfEntry> entryAt(QPointF stagePoint) const;

    // Pointer movement over the stage, in stage points (none when the pointer left).
    void pointerMoved(std::optional<QPointF> stagePoint);
    void enter(const QString &id);
    void leave(const QString &id);
    // Fetches the entry's record and puts it on the deck; a failure changes nothing.
    void click(const ShelfEntry &entry);

    // Moves the springs on to `seconds`; true while something still moves.
    bool advance(double seconds);
    bool isMoving() const;
    void paint(QPainter &painter, qreal devicePixelRatio);

    // The paper edges of the heap under the sleeves, the same whatever lies on it: made on any
    // thread, and taken when made ahead.
    static Sprite renderEdges(qreal devicePixelRatio);
    void takeEdges(Sprite edges, qreal devicePixelRatio);
    int edgesRenderCount() const { return m_edges.renderCount(); }

Q_SIGNALS:
    // Something to redraw; `moving` when the springs need frames.
    void changed();

private:
    struct Sleeve;

    void refresh();
    QCoro::Task<> fetchAndPlace(ShelfEntry entry);
    void paintSleeve(QPainter &painter, Sleeve &sleeve, qreal dpr);
    const Sprite &edges(qreal dpr);

    LibraryAccess &m_library;
    Turntable &m_turntable;
    ArtworkStore *m_store;
    QList<ShelfEntry> m_visible;
    pile::Hover m_hover;
    std::vector<std::unique_ptr<Sleeve>> m_sleeves;
    std::optional<double> m_last;
    std::optional<QString> m_pointerOver;
    RenderCache<NoKey, Sprite> m_edges;
};

} // namespace velloran
