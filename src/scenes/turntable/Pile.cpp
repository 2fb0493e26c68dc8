#include "scenes/turntable/Pile.h"

#include "model/LibraryAccess.h"
#include "paint/Palette.h"
#include "paint/SoftShadow.h"
#include "playback/Turntable.h"
#include "scenes/vinyl/CoverArt.h"

#include <QLinearGradient>
#include <QPointer>

#include <algorithm>

namespace velloran {

using pile::sleeveSize;

namespace {

constexpr double settleDistance = 0.05;
const QColor heapShadow = withAlpha(QColor(42, 23, 11), 0.28);

QRectF sleeveRect()
{
    return {-sleeveSize / 2, -sleeveSize / 2, sleeveSize, sleeveSize};
}

// A picture with the heap's warm shadow under it.
Sprite withHeapShadow(const Sprite &picture, qreal dpr)
{
    const Sprite shadow = softShadow(picture.image, 16, heapShadow, {18, 28});
    const QRectF own(picture.origin, picture.logicalSize());
    const QRectF cast(picture.origin + shadow.origin, shadow.logicalSize());
    const QRectF bounds = own.united(cast);
    Sprite sprite{makeCanvas(bounds.size(), dpr), bounds.topLeft()};
    QPainter p(&sprite.image);
    prepare(p);
    p.translate(-bounds.topLeft());
    p.drawImage(cast.topLeft(), shadow.image);
    p.drawImage(own.topLeft(), picture.image);
    return sprite;
}

} // namespace

struct Pile::Sleeve {
    Sleeve(const ShelfEntry &e, int slotIndex, ArtworkStore *store)
        : entry(e)
        , slot(slotIndex)
        , art(Pile::coverPixels, store)
    {
        const QPointF centre = pile::slotCentre(slot);
        x.snapTo(centre.x());
        y.snapTo(centre.y());
        tilt.snapTo(pile::slots[slot].tilt);
        presence.snapTo(0);
        presence.setTarget(1);
        art.setEntry(entry);
    }

    void place(int slotIndex)
    {
        slot = slotIndex;
        const QPointF centre = pile::slotCentre(slot);
        x.setTarget(centre.x());
        y.setTarget(centre.y());
        tilt.setTarget(pile::slots[slot].tilt);
        presence.setTarget(1);
        leaving = false;
    }

    bool settled() const
    {
        return x.isSettled(settleDistance) && y.isSettled(settleDistance) && tilt.isSettled(settleDistance)
            && presence.isSettled(1e-3) && lift.isSettled(settleDistance);
    }

    ShelfEntry entry;
    int slot;
    bool leaving = false;
    DampedSpring x{0.5, 0.85};
    DampedSpring y{0.5, 0.85};
    DampedSpring tilt{0.5, 0.85};
    DampedSpring presence{0.5, 0.85};
    DampedSpring lift{0.35, 0.8};
    CoverArt art;
    Sprite cover;
    qint64 coverKey = -1;
};

Pile::Pile(LibraryAccess &library, Turntable &turntable, ArtworkStore *store, QObject *parent)
    : QObject(parent)
    , m_library(library)
    , m_turntable(turntable)
    , m_store(store)
{
    connect(&m_library, &LibraryAccess::entriesChanged, this, &Pile::refresh);
    connect(&m_turntable, &Turntable::recordChanged, this, &Pile::refresh);
    refresh();
    // The first sleeves are simply there; only later changes slide in.
    for (auto &sleeve : m_sleeves)
        sleeve->presence.snapTo(1);
}

Pile::~Pile() = default;

void Pile::refresh()
{
    const QList<ShelfEntry> visible = pile::visibleEntries(m_library.entries(), m_turntable.record());
    if (visible == m_visible)
        return;
    m_visible = visible;
    for (auto &sleeve : m_sleeves)
        sleeve->leaving = true;
    for (int i = 0; i < int(m_visible.size()); ++i) {
        const QString id = m_visible[i].id();
        const auto found = std::find_if(m_sleeves.begin(), m_sleeves.end(),
                                        [&](const auto &s) { return s->entry.id() == id && s->leaving; });
        if (found != m_sleeves.end()) {
            (*found)->entry = m_visible[i];
            (*found)->art.setEntry(m_visible[i]);
            (*found)->place(i);
        } else {
            auto sleeve = std::make_unique<Sleeve>(m_visible[i], i, m_store);
            connect(&sleeve->art, &CoverArt::changed, this, &Pile::changed);
            m_sleeves.push_back(std::move(sleeve));
        }
    }
    for (auto &sleeve : m_sleeves) {
        if (sleeve->leaving)
            sleeve->presence.setTarget(0);
        sleeve->lift.setTarget(m_hover.id() == sleeve->entry.id() && !sleeve->leaving ? -pile::hoverLift : 0);
    }
    // Slot 1 lies over slot 0; a sleeve on its way out keeps its place in the heap.
    std::stable_sort(m_sleeves.begin(), m_sleeves.end(), [](const auto &a, const auto &b) { return a->slot < b->slot; });
    Q_EMIT changed();
}

std::optional<ShelfEntry> Pile::entryAt(QPointF p) const
{
    for (auto it = m_sleeves.rbegin(); it != m_sleeves.rend(); ++it) {
        const Sleeve &s = **it;
        if (s.leaving)
            continue;
        QTransform local;
        local.translate(s.x.target(), s.y.target());
        local.rotate(s.tilt.target());
        if (sleeveRect().contains(local.inverted().map(p)))
            return s.entry;
    }
    return std::nullopt;
}

void Pile::enter(const QString &id)
{
    m_hover.enter(id);
    for (auto &sleeve : m_sleeves)
        sleeve->lift.setTarget(m_hover.id() == sleeve->entry.id() && !sleeve->leaving ? -pile::hoverLift : 0);
    Q_EMIT changed();
}

void Pile::leave(const QString &id)
{
    m_hover.leave(id);
    for (auto &sleeve : m_sleeves)
        sleeve->lift.setTarget(m_hover.id() == sleeve->entry.id() && !sleeve->leaving ? -pile::hoverLift : 0);
    Q_EMIT changed();
}

void Pile::pointerMoved(std::optional<QPointF> p)
{
    std::optional<QString> over;
    if (p)
        if (const std::optional<ShelfEntry> entry = entryAt(*p))
            over = entry->id();
    if (over == m_pointerOver)
        return;
    const std::optional<QString> previous = m_pointerOver;
    m_pointerOver = over;
    if (previous)
        leave(*previous);
    if (over)
        enter(*over);
}

void Pile::click(const ShelfEntry &entry)
{
    fetchAndPlace(entry);
}

QCoro::Task<> Pile::fetchAndPlace(ShelfEntry entry)
{
    QPointer<Pile> self(this);
    Record record;
    try {
        record = co_await m_library.record(entry.item);
    } catch (...) {
        // The pile has nowhere to show a message and the table must not change under a
        // failed click: the sleeve stays in the heap and a later click tries again.
        co_return;
    }
    if (self)
        self->m_turntable.place(record);
}

bool Pile::advance(double seconds)
{
    const double dt = m_last ? std::clamp(seconds - *m_last, 0.0, 0.05) : 0.0;
    m_last = seconds;
    for (auto &s : m_sleeves) {
        s->x.advance(dt);
        s->y.advance(dt);
        s->tilt.advance(dt);
        s->presence.advance(dt);
        s->lift.advance(dt);
    }
    std::erase_if(m_sleeves, [](const auto &s) { return s->leaving && s->presence.isSettled(1e-3); });
    return isMoving();
}

bool Pile::isMoving() const
{
    return std::any_of(m_sleeves.begin(), m_sleeves.end(), [](const auto &s) { return !s->settled(); });
}

Sprite Pile::renderEdges(qreal dpr)
{
    SleeveEdgeRenderer edge;
    const QImage &paper = edge.image({sleeveSize, sleeveSize}, dpr);
    const struct {
        double angle;
        QPointF offset;
        double radius;
        QPointF shadowOffset;
    } layers[] = {{1.6, {7, 9}, 2, {2, 3}}, {-0.8, {2, 4}, 1.5, {1, 2}}};
    const QRectF bounds(-sleeveSize / 2 - 20, -sleeveSize / 2 - 20, sleeveSize + 40, sleeveSize + 40);
    Sprite picture{makeCanvas(bounds.size(), dpr), bounds.topLeft()};
    QPainter p(&picture.image);
    prepare(p);
    p.translate(-bounds.topLeft());
    for (const auto &layer : layers) {
        p.save();
        p.translate(layer.offset);
        p.rotate(layer.angle);
        const Sprite shadow = softShadow(paper, layer.radius, QColor(0, 0, 0, 64), layer.shadowOffset);
        p.drawImage(sleeveRect().topLeft() + shadow.origin, shadow.image);
        p.drawImage(sleeveRect().topLeft(), paper);
        p.restore();
    }
    p.end();
    return withHeapShadow(picture, dpr);
}

void Pile::takeEdges(Sprite edges, qreal dpr)
{
    m_edges.put(NoKey{}, dpr, std::move(edges));
}

const Sprite &Pile::edges(qreal dpr)
{
    return m_edges.get(NoKey{}, dpr, [dpr] { return renderEdges(dpr); });
}

void Pile::paintSleeve(QPainter &p, Sleeve &s, qreal dpr)
{
    const QImage &coverImage = s.art.image(sleeveSize, dpr);
    if (s.coverKey != coverImage.cacheKey() || s.cover.isNull() || s.cover.image.devicePixelRatio() != dpr) {
        QImage face = coverImage.copy();
        {
            QPainter f(&face);
            QLinearGradient sheen(0.1 * sleeveSize, 0.25 * sleeveSize, 0.9 * sleeveSize, 0.75 * sleeveSize);
            sheen.setColorAt(0.0, QColor(255, 255, 255, qRound(255 * 0.16)));
            sheen.setColorAt(0.32, Qt::transparent);
            sheen.setColorAt(0.7, Qt::transparent);
            sheen.setColorAt(1.0, QColor(0, 0, 0, qRound(255 * 0.14)));
            f.fillRect(QRectF(0, 0, sleeveSize, sleeveSize), sheen);
        }
        const Sprite contact = softShadow(face, 1, QColor(0, 0, 0, 64), {2, 3});
        const QRectF bounds = QRectF(QPointF(0, 0), QSizeF(sleeveSize, sleeveSize))
                                  .united(QRectF(contact.origin, contact.logicalSize()));
        Sprite picture{makeCanvas(bounds.size(), dpr), bounds.topLeft() + sleeveRect().topLeft()};
        {
            QPainter c(&picture.image);
            prepare(c);
            c.translate(-bounds.topLeft());
            contact.draw(c);
            c.drawImage(QPointF(0, 0), face);
        }
        s.cover = withHeapShadow(picture, dpr);
        s.coverKey = coverImage.cacheKey();
    }

    const double presence = std::clamp(s.presence.value(), 0.0, 1.0);
    // Coming in from (or going out to) below the table's bottom edge.
    const double below = (1.0 - s.presence.value()) * (1000 + sleeveSize - s.y.value());
    p.save();
    p.setOpacity(p.opacity() * presence);
    p.translate(s.x.value(), s.y.value() + below);
    p.rotate(s.tilt.value());
    edges(dpr).draw(p);
    s.cover.draw(p, {0, s.lift.value()});
    p.restore();
}

void Pile::paint(QPainter &painter, qreal dpr)
{
    for (auto &sleeve : m_sleeves)
        paintSleeve(painter, *sleeve, dpr);
}

} // namespace velloran
