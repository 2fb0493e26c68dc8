#include "scenes/crate/CratesView.h"

#include "artwork/ArtworkLoader.h"
#include "artwork/CoverPainting.h"
#include "paint/Fonts.h"
#include "paint/Palette.h"
#include "scenes/browse/GlassSegments.h"
#include "scenes/crate/CardOcclusion.h"
#include "scenes/crate/CrateDrawing.h"
#include "scenes/crate/RowProjection.h"
#include "scenes/crate/ScrollWheel.h"
#include "model/LibraryAccess.h"
#include "scenes/sleeveback/SleeveBackParts.h"

#include <QFontMetricsF>
#include <QKeyEvent>
#include <QPaintEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QSettings>

#include <algorithm>
#include <cmath>

namespace velloran {

using namespace Qt::StringLiterals;
using crate::CardPose;
using crate::CrateItem;

namespace {

constexpr int frameIntervalMs = 16;
constexpr double maxFrameTime = 0.05;
constexpr double titleSize = 28;
constexpr double lineSize = 13;
constexpr double captionSpacing = 16;

QFont titleFont()
{
    return fonts::font(fonts::serif(), titleSize);
}

QFont lineFont()
{
    return fonts::font(fonts::sans(), lineSize);
}

// Cards already passed lean forward against the front board, over the ones standing.
bool liesForward(const CardPose &pose)
{
    return pose.tilt < -30;
}

QList<GlassSegments::Option> kindOptions()
{
    return {{u"All"_s, rawValue(ShelfKind::all)},
            {u"Albums"_s, rawValue(ShelfKind::album)},
            {u"Playlists"_s, rawValue(ShelfKind::playlist)}};
}

} // namespace

CratesView::CratesView(Services services, QWidget *parent)
    : QWidget(parent)
    , m_library(services.library)
    , m_clock(services.clock)
    , m_settings(services.settings)
    , m_putOnTurntable(std::move(services.putOnTurntable))
    , m_store(services.store)
    , m_epoch(m_clock.now())
    , m_kind(storedShelfKind(m_settings))
    , m_pullButton(new PillButton(u"Pull it out"_s, true, this))
    , m_kindControl(new GlassSegments(kindOptions(), this))
{
    m_kindControl->setSelection(rawValue(m_kind));
    connect(m_kindControl, &GlassSegments::selectionChanged, this, [this](const QString &value) {
        if (const std::optional<ShelfKind> kind = shelfKindFromRawValue(value))
            setKind(*kind);
    });
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    m_frameTimer.setTimerType(Qt::PreciseTimer);
    m_frameTimer.setInterval(frameIntervalMs);
    connect(&m_frameTimer, &QTimer::timeout, this, &CratesView::advanceFrame);
    connect(m_pullButton, &QAbstractButton::clicked, this, [this] {
        if (m_current >= 0 && m_current < m_items.size() && !m_items[m_current].isDivider())
            pull(m_items[m_current].entry);
    });
    connect(&m_library, &LibraryAccess::entriesChanged, this, [this] { rebuild(); });
    m_geometry = crate::CrateGeometry::fit(size());
    rebuild(1);
}

CratesView::~CratesView() = default;

double CratesView::now() const
{
    return secondsBetween(m_epoch, m_clock.now());
}

void CratesView::wake()
{
    m_lastFrame.reset();
    if (!m_frameTimer.isActive())
        m_frameTimer.start();
}

// The list and the current card.

void CratesView::rebuild(std::optional<qsizetype> resetTo)
{
    const std::optional<QString> was = m_current >= 0 && m_current < m_items.size()
        ? std::optional(m_items[m_current].identity())
        : std::nullopt;
    m_items = crate::crateItems(m_library.entries(), m_kind);
    qsizetype current = resetTo.value_or(m_current);
    if (!resetTo && was) {
        // The same card stays current when the library changes around it.
        const auto found = std::find_if(m_items.cbegin(), m_items.cend(),
                                        [&](const CrateItem &item) { return item.identity() == *was; });
        if (found != m_items.cend())
            current = found - m_items.cbegin();
    }
    current = crate::currentOnAppearing(m_items.size(), current);
    m_current = -1;
    setCurrent(current, false);
}

void CratesView::setCurrent(qsizetype index, bool animate)
{
    if (index == m_current)
        return;
    if (animate) {
        QHash<qsizetype, CardPose> from;
        for (const qsizetype i : drawnCards())
            from.insert(i, displayedPose(i));
        m_from = std::move(from);
        m_previous = m_current;
        m_progress.snapTo(0);
        m_progress.setTarget(1);
        wake();
    } else {
        m_from.clear();
        m_previous = index;
        m_progress.snapTo(1);
    }
    m_current = index;
    syncLoaders();
    updateCaption();
    // The cards and the front board's counter; the caption asks for its own row.
    update(m_geometry.stackArea().toAlignedRect());
    Q_EMIT currentChanged(m_current);
}

void CratesView::go(qsizetype index)
{
    if (m_items.isEmpty())
        return;
    setCurrent(crate::goTo(m_items, m_current, index), true);
}

void CratesView::showItem(qsizetype index)
{
    if (index >= 0 && index < m_items.size())
        setCurrent(index, false);
}

void CratesView::step(double value)
{
    if (m_pulled || m_items.isEmpty())
        return;
    go(m_current + (value > 0 ? 1 : -1));
}

void CratesView::setKind(ShelfKind kind)
{
    storeShelfKind(m_settings, kind);
    m_kindControl->setSelection(rawValue(kind));
    if (kind == m_kind)
        return;
    m_kind = kind;
    rebuild(1);
    Q_EMIT kindChanged(kind);
}

CardPose CratesView::displayedPose(qsizetype index) const
{
    const CardPose target = CardPose::at(index - m_current);
    if (m_progress.isSettled())
        return target;
    const auto found = m_from.constFind(index);
    const CardPose from = found != m_from.cend() ? *found : CardPose::at(index - m_previous);
    return CardPose::mix(from, target, m_progress.value());
}

QList<qsizetype> CratesView::drawnCards() const
{
    QList<qsizetype> cards;
    const qsizetype count = m_items.size();
    const auto addAround = [&](qsizetype centre) {
        for (qsizetype i = std::max<qsizetype>(0, centre + crate::firstBuiltOffset);
             i <= std::min(count - 1, centre + crate::lastBuiltOffset); ++i)
            cards.append(i);
    };
    addAround(m_current);
    if (!m_progress.isSettled()) {
        // Cards leaving the built range move out to their places before they go.
        addAround(m_previous);
        for (auto it = m_from.cbegin(); it != m_from.cend(); ++it)
            if (it.key() >= 0 && it.key() < count)
                cards.append(it.key());
    }
    std::sort(cards.begin(), cards.end());
    cards.erase(std::unique(cards.begin(), cards.end()), cards.end());
    return cards;
}

// Pulling a record out.

void CratesView::pull(const ShelfEntry &entry)
{
    if (m_pulled || m_pullOut)
        return;
    m_pulled = entry;
    PullOut::Actions actions;
    actions.putOnTurntable = m_putOnTurntable;
    actions.close = [self = QPointer<CratesView>(this)] {
        if (self)
            self->closePullOut();
    };
    m_pullOut = new PullOut(entry, m_library, m_clock, std::move(actions), this, m_store);
    m_pullOut->setGeometry(rect());
    m_pullOut->open();
    Q_EMIT pulledChanged();
}

void CratesView::closePullOut()
{
    if (!m_pulled)
        return;
    m_pulled.reset();
    if (m_pullOut)
        m_pullOut->disappear();
    if (isVisible())
        setFocus();
    Q_EMIT pulledChanged();
}

// The frame loop.

void CratesView::advanceFrame()
{
    const double t = now();
    const double dt = m_lastFrame ? std::clamp(t - *m_lastFrame, 0.0, maxFrameTime) : 0.0;
    m_lastFrame = t;
    const bool moving = !m_progress.isSettled();
    m_progress.advance(dt);
    if (moving)
        update(m_geometry.stackArea().toAlignedRect());

    if (m_progress.isSettled()) {
        m_progress.snapTo(1);
        m_from.clear();
        m_frameTimer.stop();
        syncLoaders();
        // Drawn again still, smoothly sampled.
        update(m_geometry.stackArea().toAlignedRect());
    }
}

void CratesView::settle()
{
    m_progress.snapTo(1);
    m_from.clear();
    m_lastFrame.reset();
    advanceFrame();
    update();
}

// Artwork for the cards in the crate.

void CratesView::syncLoaders()
{
    QSet<QString> wanted;
    for (const qsizetype i : drawnCards()) {
        const CrateItem &item = m_items[i];
        if (item.isDivider() || !item.entry.artworkURL)
            continue;
        const QString id = item.identity();
        wanted.insert(id);
        if (m_loaders.contains(id))
            continue;
        auto *loader = new ArtworkLoader(this, m_store);
        connect(loader, &ArtworkLoader::imageChanged, this, qOverload<>(&QWidget::update));
        loader->setSource(item.entry.artworkURL, cover::artworkPixels(item.entry.item.kind, coverPixels));
        loader->activate();
        m_loaders.insert(id, loader);
    }
    for (auto it = m_loaders.begin(); it != m_loaders.end();) {
        if (wanted.contains(it.key())) {
            ++it;
        } else {
            it.value()->deleteLater();
            it = m_loaders.erase(it);
        }
    }
}

const CratesView::CardImage &CratesView::cardImage(qsizetype index, qreal dpr)
{
    const CrateItem &item = m_items[index];
    const QString id = item.identity();
    std::optional<QImage> artwork;
    if (const ArtworkLoader *loader = m_loaders.value(id))
        artwork = loader->image();
    const qint64 key = artwork ? artwork->cacheKey() : 0;
    const double size = m_geometry.card;
    CardImage &card = m_cards[id];
    if (card.image.isNull() || card.artworkKey != key || card.size != size || card.dpr != dpr) {
        card.image = item.isDivider() ? crate::paintDividerCard(size, item.section, dpr)
                                      : crate::paintRecordCard(size, item.entry, artwork, dpr);
        card.opaque = crate::opaqueFace(card.image, size, item.isDivider());
        card.artworkKey = key;
        card.size = size;
        card.dpr = dpr;
    }
    card.lastUse = ++m_uses;
    if (m_cards.size() > qsizetype(cardImageBound)) {
        auto oldest = m_cards.begin();
        for (auto it = m_cards.begin(); it != m_cards.end(); ++it)
            if (it->lastUse < oldest->lastUse)
                oldest = it;
        m_cards.erase(oldest);
    }
    return m_cards[id];
}

const QImage &CratesView::frontImage(qreal dpr)
{
    const QRectF board = m_geometry.frontBoard();
    QString section;
    std::optional<QString> counter;
    if (m_current >= 0 && m_current < m_items.size()) {
        section = m_items[m_current].section;
        counter = crate::counterText(m_items, m_current);
    }
    const QString key = u"%1|%2|%3x%4@%5"_s.arg(section, counter.value_or(QString()))
                            .arg(board.width())
                            .arg(board.height())
                            .arg(dpr);
    if (key != m_frontKey || m_front.isNull()) {
        m_front = crate::paintFrontBoard(board.size(), section, counter, dpr);
        m_frontKey = key;
    }
    return m_front;
}

// Drawing.

void CratesView::paintCards(QPainter &painter, const QList<qsizetype> &standing, const QList<qsizetype> &forward,
                            qreal dpr, const QRectF &exposed)
{
    const double side = m_geometry.card;
    const QRectF face(0, 0, side, side);
    struct Placed {
        qsizetype index = 0;
        CardPose pose;
        QTransform transform;
        QPolygonF quad;
        bool forward = false;
        QRectF upright; // where a card standing upright is drawn
        std::optional<double> frontTop;
        QRectF band; // all it may show: above the card in front, when one hides its foot
        QImage image;
        QRectF opaque; // in card points
        QRegion visible;
    };
    const bool moving = !m_progress.isSettled();
    std::vector<Placed> placed;
    placed.reserve(size_t(standing.size() + forward.size()));
    const auto place = [&](const QList<qsizetype> &cards) {
        const size_t first = placed.size();
        for (const qsizetype i : cards) {
            const CardPose pose = displayedPose(i);
            if (pose.opacity <= 0.004)
                continue;
            Placed card;
            card.index = i;
            card.pose = pose;
            card.transform = m_geometry.cardTransform(pose);
            card.forward = liesForward(pose);
            card.quad = card.transform.map(QPolygonF(face));
            if (!card.forward) {
                // A card standing nearly upright tapers by a few percent at most: it is drawn
                // into the upright rectangle its projection spans, a much cheaper drawing.
                const QPolygonF &q = card.quad;
                const double top = std::min(q[0].y(), q[1].y());
                const double bottom = std::max(q[2].y(), q[3].y());
                const double span = ((q[1].x() - q[0].x()) + (q[2].x() - q[3].x())) / 2;
                card.upright = QRectF(m_geometry.centreX - span / 2, top, span, bottom - top);
            }
            placed.push_back(std::move(card));
        }
        for (size_t k = first; k + 1 < placed.size(); ++k) {
            // A card standing behind an opaque one at least as wide shows only above that
            // card's top edge: only that band is drawn, with the front card's shadow on it.
            Placed &card = placed[k];
            const Placed &next = placed[k + 1];
            const QRectF mine = card.quad.boundingRect();
            const QRectF theirs = next.quad.boundingRect();
            if (next.pose.opacity >= 0.999 && next.pose.tilt > 0 && card.pose.tilt > 0
                && theirs.left() <= mine.left() + 0.5 && theirs.right() >= mine.right() - 0.5)
                card.frontTop = std::min(next.quad[0].y(), next.quad[1].y());
        }
    };
    place(standing);
    place(forward);

    // From the front back: each card is drawn only where nothing opaque drawn after it lies,
    // the front board's planks or the faces of the cards before it.
    QRegion covered = frontBoardCover(dpr);
    const QRegion area = crate::pointsTouched(exposed);
    for (size_t k = placed.size(); k-- > 0;) {
        Placed &card = placed[k];
        const QRectF mine = card.quad.boundingRect();
        if (card.frontTop && *card.frontTop <= mine.top())
            continue;
        const CardImage &image = cardImage(card.index, dpr);
        card.image = image.image;
        card.opaque = image.opaque;
        card.band = card.frontTop ? QRectF(0, 0, width(), *card.frontTop + 1.5) : QRectF(rect());
        QRegion drawn = crate::pointsTouched((card.forward ? mine : card.upright) & card.band);
        if (card.frontTop)
            drawn += crate::pointsTouched(frontShadowRect(mine, *card.frontTop));
        card.visible = (drawn & area) - covered;
        if (card.pose.opacity < 0.999 || card.opaque.isNull())
            continue;
        QRegion hides;
        if (card.forward) {
            hides = crate::pointsInside(card.transform.map(QPolygonF(card.opaque)));
        } else {
            const QRectF &u = card.upright;
            const QRectF &o = card.opaque;
            hides = crate::pointsInside(QRectF(u.left() + o.left() / side * u.width(), u.top() + o.top() / side * u.height(),
                                               o.width() / side * u.width(), o.height() / side * u.height()));
        }
        covered += hides & crate::pointsInside(card.band);
    }

    for (const Placed &card : placed) {
        if (card.visible.isEmpty())
            continue;
        const double depth = std::clamp((1 - card.pose.scale) * 1.2, 0.0, 0.3);
        const QColor shade(28, 16, 6, int(255 * depth)); // deeper in the crate, less of the lamp
        // The projection lays the shade on the card before the fade; the two at once take the
        // plain drawing, which fades each on its own.
        const bool byRows = card.forward && moving && crate::RowProjection::keepsRowsLevel(card.transform)
            && (depth <= 0.002 || card.pose.opacity >= 0.999);
        // While moving, a card is drawn one visible rectangle at a time, each a plain clip.
        // A still frame draws every card that shows whole: smooth resampling clipped to parts
        // of a card rounds a little differently at each part.
        const bool whole = !moving || (card.forward && !byRows);
        const QList<QRect> parts = whole ? QList<QRect>{rect()} : QList<QRect>(card.visible.begin(), card.visible.end());
        for (const QRect &part : parts) {
            painter.save();
            if (!whole)
                painter.setClipRect(part, Qt::IntersectClip);
            painter.save();
            if (card.frontTop)
                painter.setClipRect(card.band, Qt::IntersectClip);
            painter.setOpacity(card.pose.opacity);
            // While the cards move, they are sampled plainly: smooth resampling of a projected
            // image is the most costly part of a frame, and motion hides the difference.
            painter.setRenderHint(QPainter::SmoothPixmapTransform, !moving);
            if (byRows) {
                m_rowProjection.draw(painter, card.image, card.transform,
                                     depth > 0.002 ? shade : QColor(Qt::transparent), QRectF(part) & card.band);
            } else if (card.forward) {
                painter.setTransform(card.transform);
                painter.drawImage(face, card.image);
                if (depth > 0.002)
                    painter.fillRect(face, shade);
            } else {
                painter.drawImage(card.upright, card.image);
                if (depth > 0.002)
                    painter.fillRect(card.upright, shade);
            }
            painter.restore();
            if (card.frontTop) {
                QLinearGradient shadow(0, *card.frontTop - 16, 0, *card.frontTop);
                shadow.setColorAt(0, QColor(0, 0, 0, 0));
                shadow.setColorAt(1, QColor(20, 10, 2, int(110 * card.pose.opacity)));
                painter.fillRect(frontShadowRect(card.quad.boundingRect(), *card.frontTop), shadow);
            }
            painter.restore();
        }
    }
}

QRectF CratesView::frontShadowRect(const QRectF &card, double frontTop)
{
    return QRectF(card.left() + 2, frontTop - 16, card.width() - 4, 16.5);
}

QRegion CratesView::frontBoardCover(qreal dpr)
{
    // The two planks of the front board; the gap of shadow between them lets a little through.
    // Checked in the board's pixels when it is drawn, not every frame.
    const QImage &board = frontImage(dpr);
    const QRectF at = m_geometry.frontBoard();
    if (m_frontCoverKey == board.cacheKey() && m_frontCoverAt == at)
        return m_frontCover;
    const double gapY = at.height() * 0.52;
    QRegion cover;
    for (const QRectF &plank : {QRectF(0, 0, at.width(), gapY - 1.5), QRectF(0, gapY + 1.5, at.width(), at.height() - gapY - 1.5)}) {
        const QRectF inner = plank.adjusted(1, 1, -1, -1);
        if (crate::opaqueWithin(board, inner))
            cover += crate::pointsInside(inner.translated(at.topLeft()));
    }
    m_frontCover = cover;
    m_frontCoverKey = board.cacheKey();
    m_frontCoverAt = at;
    return cover;
}

void CratesView::paintCaption(QPainter &painter)
{
    if (m_captionTitle.isEmpty())
        return;
    const QFont title = titleFont();
    const QFont line = lineFont();
    const QFontMetricsF titleMetrics(title);
    const QFontMetricsF lineMetrics(line);
    const double width = m_captionRect.width();
    painter.setFont(title);
    painter.setPen(crate::colours::title);
    const double titleHeight = titleMetrics.height();
    painter.drawText(QRectF(m_captionRect.left(), m_captionRect.top(), width + 2, titleHeight),
                     Qt::AlignLeft | Qt::AlignVCenter, titleMetrics.elidedText(m_captionTitle, Qt::ElideRight, width));
    painter.setFont(line);
    painter.setPen(crate::colours::caption);
    painter.drawText(QRectF(m_captionRect.left(), m_captionRect.top() + titleHeight + 2, width + 2,
                            lineMetrics.height()),
                     Qt::AlignLeft | Qt::AlignVCenter, lineMetrics.elidedText(m_captionLine, Qt::ElideRight, width));
}

void CratesView::paintCrate(QPainter &painter, qreal dpr, QRectF exposed)
{
    if (exposed.isEmpty())
        exposed = rect();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    if (m_room.isNull() || m_roomSize != size() || m_roomRatio != dpr) {
        m_room = crate::paintRoom(m_geometry, dpr);
        m_roomSize = size();
        m_roomRatio = dpr;
    }
    const QRect pixels = QRectF(exposed.topLeft() * dpr, exposed.size() * dpr).toAlignedRect() & m_room.rect();
    painter.drawImage(QRectF(QPointF(pixels.topLeft()) / dpr, QSizeF(pixels.size()) / dpr), m_room, pixels);
    painter.save();
    painter.setClipRect(exposed, Qt::IntersectClip);

    QList<qsizetype> standing;
    QList<qsizetype> forward;
    for (const qsizetype i : drawnCards())
        (liesForward(displayedPose(i)) ? forward : standing).append(i);
    const auto byOrder = [this](qsizetype a, qsizetype b) {
        const int za = CardPose::at(a - m_current).z;
        const int zb = CardPose::at(b - m_current).z;
        return za != zb ? za < zb : a < b;
    };
    std::sort(standing.begin(), standing.end(), byOrder);
    std::sort(forward.begin(), forward.end(), byOrder);
    paintCards(painter, standing, forward, dpr, exposed);
    painter.drawImage(m_geometry.frontBoard().topLeft(), frontImage(dpr));
    if (exposed.intersects(m_geometry.captionRow()))
        paintCaption(painter);
    painter.restore();
}

void CratesView::paintEvent(QPaintEvent *event)
{
    QPainter painter(this);
    paintCrate(painter, devicePixelRatioF(), event->rect());
}

// The caption and the overlays.

void CratesView::updateCaption()
{
    m_captionTitle.clear();
    m_captionLine.clear();
    const bool onRecord = m_current >= 0 && m_current < m_items.size() && !m_items[m_current].isDivider();
    if (m_current >= 0 && m_current < m_items.size()) {
        const CrateItem &item = m_items[m_current];
        if (onRecord) {
            const ShelfEntry &e = item.entry;
            m_captionTitle = e.title;
            if (e.item.kind == LibraryItem::Kind::playlist)
                m_captionLine = u"Playlist · "_s + e.artist;
            else
                m_captionLine = e.year ? e.artist + u" · "_s + *e.year : e.artist;
        } else {
            const auto count = std::count_if(m_items.cbegin(), m_items.cend(), [&](const CrateItem &other) {
                return !other.isDivider() && other.section == item.section;
            });
            m_captionTitle = item.section;
            m_captionLine = count == 1 ? u"1 record"_s : u"%1 records"_s.arg(count);
        }
    }
    m_pullButton->setVisible(onRecord);
    const QRectF row = m_geometry.captionRow();
    const double pill = onRecord ? m_pullButton->sizeHint().width() : 0;
    const double gap = onRecord ? captionSpacing : 0;
    const double text = std::max(QFontMetricsF(titleFont()).horizontalAdvance(m_captionTitle),
                                 QFontMetricsF(lineFont()).horizontalAdvance(m_captionLine));
    const double captionWidth = std::clamp(std::ceil(text) + 1, 0.0, std::max(0.0, row.width() - pill - gap));
    const double left = row.center().x() - (captionWidth + gap + pill) / 2;
    const double height = QFontMetricsF(titleFont()).height() + 2 + QFontMetricsF(lineFont()).height();
    m_captionRect = QRectF(left, row.top(), captionWidth, height);
    if (onRecord)
        m_pullButton->setGeometry(QRectF(left + captionWidth + gap, row.top() + (height - 30) / 2, pill, 30)
                                      .toAlignedRect());
    update(row.adjusted(-20, -4, 20, 4).toAlignedRect());
}

void CratesView::layoutOverlays()
{
    const QSize control = m_kindControl->sizeHint();
    m_kindControl->setGeometry(width() - control.width() - 14, 9, control.width(), control.height());
    if (m_pullOut)
        m_pullOut->setGeometry(rect());
    updateCaption();
}

void CratesView::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    m_geometry = crate::CrateGeometry::fit(size());
    m_room = QImage();
    layoutOverlays();
}

void CratesView::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    // The shelf wall shares the setting; it may have changed while the crate was away.
    if (const ShelfKind stored = storedShelfKind(m_settings); stored != m_kind) {
        m_kind = stored;
        m_kindControl->setSelection(rawValue(stored));
        rebuild(1);
    }
    setCurrent(crate::currentOnAppearing(m_items.size(), m_current), false);
    if (!m_pulled)
        setFocus();
    m_wheel = std::make_unique<crate::ScrollWheel>(*this, m_clock, [this](double value) { step(value); });
}

void CratesView::hideEvent(QHideEvent *event)
{
    QWidget::hideEvent(event);
    m_wheel.reset();
}

// Input.

void CratesView::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Right:
    case Qt::Key_Down:
        go(m_current + 1);
        break;
    case Qt::Key_Left:
    case Qt::Key_Up:
        go(m_current - 1);
        break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (m_current >= 0 && m_current < m_items.size() && !m_items[m_current].isDivider())
            pull(m_items[m_current].entry);
        break;
    default:
        QWidget::keyPressEvent(event);
        return;
    }
    event->accept();
}

std::optional<qsizetype> CratesView::cardAt(QPointF point) const
{
    QList<qsizetype> cards = drawnCards();
    std::sort(cards.begin(), cards.end(), [this](qsizetype a, qsizetype b) {
        const bool fa = liesForward(displayedPose(a));
        const bool fb = liesForward(displayedPose(b));
        if (fa != fb)
            return fa; // drawn over the standing ones
        return CardPose::at(a - m_current).z > CardPose::at(b - m_current).z;
    });
    const QRectF face(0, 0, m_geometry.card, m_geometry.card);
    for (const qsizetype i : cards) {
        const CardPose pose = displayedPose(i);
        if (pose.opacity < 0.05)
            continue;
        const QPolygonF quad = m_geometry.cardTransform(pose).map(QPolygonF(face));
        if (m_geometry.frontBoard().contains(point))
            continue; // the front board hides the cards' feet
        if (quad.containsPoint(point, Qt::OddEvenFill))
            return i;
    }
    return std::nullopt;
}

void CratesView::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton || m_items.isEmpty()) {
        QWidget::mousePressEvent(event);
        return;
    }
    setFocus();
    const QPointF at = event->position();
    if (cardAt(at) || m_geometry.frontBoard().contains(at)) {
        m_press = at;
        m_dragging = false;
    }
}

void CratesView::mouseMoveEvent(QMouseEvent *event)
{
    if (m_press) {
        const QPointF d = event->position() - *m_press;
        if (std::hypot(d.x(), d.y()) >= crate::dragMinimum)
            m_dragging = true;
    }
}

void CratesView::mouseReleaseEvent(QMouseEvent *event)
{
    if (!m_press || event->button() != Qt::LeftButton)
        return;
    const QPointF d = event->position() - *m_press;
    const QPointF at = *m_press;
    const bool dragged = m_dragging;
    m_press.reset();
    m_dragging = false;
    if (dragged) {
        if (const std::optional<int> step = crate::dragStep(d.x(), d.y()))
            go(m_current + *step);
        return;
    }
    const std::optional<qsizetype> card = cardAt(at);
    if (!card)
        return;
    if (*card == m_current) {
        if (!m_items[*card].isDivider())
            pull(m_items[*card].entry);
    } else {
        go(*card);
    }
}

} // namespace velloran
