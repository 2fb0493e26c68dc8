#include "scenes/shelf/ShelfView.h"

#include "artwork/ArtworkStore.h"
#include "model/PlayHistory.h"
#include "paint/DrawingThread.h"
#include "paint/Fonts.h"
#include "paint/SoftShadow.h"
#include "paint/TimingCurves.h"
#include "scenes/browse/GlassSegments.h"
#include "model/LibraryAccess.h"

#include <QCoroFuture>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QRegion>
#include <QSettings>
#include <QToolTip>
#include <QWheelEvent>
#include <QtConcurrent/QtConcurrentRun>

#include <algorithm>
#include <cmath>

using namespace Qt::StringLiterals;

namespace velloran {

namespace {

using shelf::WallLayout;

constexpr int frameIntervalMs = 16;
constexpr double spineRaise = 14;
constexpr double spineBrighten = 0.06;
constexpr double coverRaise = 8;
constexpr double coverLean = 4;
constexpr double crossFadeSeconds = 0.35;
constexpr double controlsTop = 9;
constexpr double controlsTrailing = 14;
constexpr double controlsSpacing = 10;
const QColor headerInk(42, 32, 23);
const QColor captionInk(139, 122, 102);

QFont headerFont()
{
    return fonts::font(fonts::serif(), 28);
}

QFont captionFont()
{
    QFont f = fonts::font(fonts::mono(), 10);
    f.setLetterSpacing(QFont::AbsoluteSpacing, 1.4);
    return f;
}

QList<GlassSegments::Option> kindOptions()
{
    return {{u"All"_s, rawValue(ShelfKind::all)},
            {u"Albums"_s, rawValue(ShelfKind::album)},
            {u"Playlists"_s, rawValue(ShelfKind::playlist)}};
}

QList<GlassSegments::Option> sortOptions()
{
    return {{u"Recent"_s, rawValue(ShelfSort::recent)},
            {u"Artist"_s, rawValue(ShelfSort::artist)},
            {u"Year"_s, rawValue(ShelfSort::year)},
            {u"Colour"_s, rawValue(ShelfSort::colour)}};
}

QList<LibraryItem> historyItems(const PlayHistory &history)
{
    QList<LibraryItem> items;
    items.reserve(history.entries().size());
    for (const PlayHistoryEntry &entry : history.entries())
        items.append(entry.item);
    return items;
}

QString toolTipText(const ShelfEntry &entry)
{
    return entry.title + u" \u2014 "_s + entry.artist;
}

} // namespace

ShelfView::ShelfView(Services services, QWidget *parent)
    : QWidget(parent)
    , m_services(std::move(services))
    , m_epoch(m_services.clock.now())
    , m_kind(storedShelfKind(m_services.settings))
    , m_sort(storedShelfSort(m_services.settings))
    , m_colours(m_services.store)
    , m_fade(crossFadeSeconds, timing::easeInOut(), 1)
{
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    m_frameTimer.setTimerType(Qt::PreciseTimer);
    m_frameTimer.setInterval(frameIntervalMs);
    connect(&m_frameTimer, &QTimer::timeout, this, &ShelfView::advanceFrame);

    m_kindControl = new GlassSegments(kindOptions(), this);
    m_sortControl = new GlassSegments(sortOptions(), this);
    m_kindControl->setSelection(rawValue(m_kind));
    m_sortControl->setSelection(rawValue(m_sort));
    connect(m_kindControl, &GlassSegments::selectionChanged, this, [this](const QString &value) {
        if (const auto kind = shelfKindFromRawValue(value))
            setKind(*kind);
    });
    connect(m_sortControl, &GlassSegments::selectionChanged, this, [this](const QString &value) {
        if (const auto sort = shelfSortFromRawValue(value))
            setSort(*sort);
    });

    connect(&m_services.library, &LibraryAccess::entriesChanged, this, &ShelfView::rebuild);
    connect(&m_services.history, &PlayHistory::entriesChanged, this, &ShelfView::rebuild);
    connect(&m_colours, &shelf::CoverColours::arrived, this, qOverload<>(&QWidget::update));

    for (qsizetype i = 0; i < shelf::featuredLimit; ++i) {
        m_ledgeArt.push_back(std::make_unique<CoverArt>(340, m_services.store));
        m_ledgeCovers.emplace_back();
        connect(m_ledgeArt.back().get(), &CoverArt::changed, this, qOverload<>(&QWidget::update));
    }
    rebuild();
}

ShelfView::~ShelfView() = default;

double ShelfView::now() const
{
    return secondsBetween(m_epoch, m_services.clock.now());
}

QString ShelfView::shelvesIdentity() const
{
    return rawValue(m_kind) + u'-' + rawValue(m_sort) + u'-' + QString::number(m_colourPass);
}

void ShelfView::setKind(ShelfKind kind)
{
    m_kindControl->setSelection(rawValue(kind));
    if (kind == m_kind)
        return;
    beginCrossFade();
    m_kind = kind;
    storeShelfKind(m_services.settings, kind);
    rebuild();
    Q_EMIT kindChanged(kind);
}

void ShelfView::setSort(ShelfSort sort)
{
    m_sortControl->setSelection(rawValue(sort));
    if (sort == m_sort)
        return;
    beginCrossFade();
    m_sort = sort;
    storeShelfSort(m_services.settings, sort);
    rebuild();
    startColourPass();
    Q_EMIT sortChanged(sort);
}

void ShelfView::rebuild()
{
    const ArtworkStore *store = m_services.store ? m_services.store : &ArtworkStore::shared();
    const KnownColour known = [store](const QUrl &url) { return store->knownColour(url); };
    m_lists = shelf::ShelfLists::build(m_services.library.entries(), m_kind, m_sort, known,
                                       historyItems(m_services.history));
    for (qsizetype i = 0; i < qsizetype(m_ledgeArt.size()); ++i)
        m_ledgeArt[i]->setEntry(i < m_lists.featured.size() ? std::optional(m_lists.featured.at(i)) : std::nullopt);
    m_spineLifts.clear();
    m_coverLifts.clear();
    m_hoveredSpine.reset();
    m_hoveredCover.reset();
    m_layout = WallLayout::make(width(), m_lists.featured.size(), m_lists.thickness);
    setScrollOffset(m_scroll);
    update();
    Q_EMIT rebuilt();
}

void ShelfView::relayout()
{
    m_layout.setWidth(width(), m_lists.featured.size());
    setScrollOffset(m_scroll);
}

double ShelfView::maxScroll() const
{
    return std::max(0.0, m_layout.contentHeight - height());
}

void ShelfView::setScrollOffset(double offset)
{
    const double clamped = std::clamp(offset, 0.0, maxScroll());
    if (clamped == m_scroll)
        return;
    m_scroll = clamped;
    update();
}

void ShelfView::beginCrossFade()
{
    if (!isVisible() || width() <= 0 || height() <= 0)
        return;
    m_fadeFrom = renderFrame(devicePixelRatioF());
    m_fade.snapTo(0);
    m_fade.setTarget(1, now());
    wake();
}

QImage ShelfView::renderFrame(qreal dpr)
{
    QImage frame(size() * dpr, QImage::Format_RGB32);
    frame.setDevicePixelRatio(dpr);
    QPainter p(&frame);
    paintWall(p, dpr, rect());
    return frame;
}

// The colour pass: while the shelves are ordered by colour, every cover without a colour
// gets one, and the shelves are then ordered again.
void ShelfView::startColourPass()
{
    const quint64 generation = ++m_colourPassGeneration;
    if (m_sort == ShelfSort::colour)
        runColourPass(generation);
}

QCoro::Task<> ShelfView::runColourPass(quint64 generation)
{
    QPointer<ShelfView> self(this);
    // A change of order ends the pass; coming back to colour starts a new one.
    const auto wanted = [self, generation] { return self && self->m_colourPassGeneration == generation; };
    auto task = m_colours.completeAll(m_services.library.entries(), wanted);
    co_await std::move(task);
    if (!self || self->m_colourPassGeneration != generation || self->m_sort != ShelfSort::colour)
        co_return;
    self->beginCrossFade();
    ++self->m_colourPass;
    self->rebuild();
    Q_EMIT self->colourPassChanged(self->m_colourPass);
}

void ShelfView::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    startColourPass();
}

void ShelfView::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    relayout();
    placeControls();
    if (m_pullOut)
        m_pullOut->setGeometry(rect());
    followSize();
}

// Made anew on the main thread, the wall and a board take a good part of a frame at each step
// of a window being resized (more at a pixel ratio of 2); so they are made on the drawing thread
// and, until they are done, the last ones are stretched over the window.
void ShelfView::followSize()
{
    // Before the first frame there is nothing to stretch: that frame makes what it needs.
    if (!m_drawnRatio || m_makingWall || size().isEmpty())
        return;
    const qreal dpr = *m_drawnRatio;
    const double clearRight = m_kindControl->geometry().left();
    const double boardWidth = m_layout.boardWidth();
    if (m_wall.holds(size(), clearRight, dpr) && m_boards.holds(boardWidth, dpr))
        return;
    makeWall(size(), clearRight, boardWidth, dpr);
}

QCoro::Task<> ShelfView::makeWall(QSize size, double clearRight, double boardWidth, qreal dpr)
{
    m_makingWall = true;
    QPointer<ShelfView> self(this);
    const auto [wall, board] = co_await QtConcurrent::run(&drawingThread(), [size, clearRight, boardWidth, dpr] {
        return std::pair(shelf::WallBackground::render(size, clearRight, dpr),
                         shelf::OakShelfRenderer::render(boardWidth, dpr));
    });
    if (!self)
        co_return;
    m_makingWall = false;
    m_wall.put(size, clearRight, dpr, wall);
    m_boards.put(boardWidth, dpr, board);
    update();
    // The window may have moved on meanwhile.
    followSize();
}

void ShelfView::placeControls()
{
    const QSize sort = m_sortControl->sizeHint();
    const QSize kind = m_kindControl->sizeHint();
    const int right = width() - int(controlsTrailing);
    m_sortControl->setGeometry(right - sort.width(), int(controlsTop), sort.width(), sort.height());
    m_kindControl->setGeometry(right - sort.width() - int(controlsSpacing) - kind.width(), int(controlsTop),
                               kind.width(), kind.height());
}

// Pulling a record out.

void ShelfView::pull(const ShelfEntry &entry)
{
    if (m_pullOut)
        return;
    m_pulled = entry;
    hoverSpine(std::nullopt);
    hoverCover(std::nullopt);
    PullOut::Actions actions;
    actions.putOnTurntable = m_services.putOnTurntable;
    actions.close = [this] {
        m_pulled.reset();
        if (m_pullOut)
            m_pullOut->disappear();
    };
    m_pullOut = new PullOut(entry, m_services.library, m_services.clock, std::move(actions), this, m_services.store);
    m_pullOut->open();
}

// Hover.

void ShelfView::setLift(std::unordered_map<qsizetype, Lift> &lifts, std::optional<qsizetype> &current,
                        std::optional<qsizetype> index, double response)
{
    if (current == index)
        return;
    if (current) {
        auto it = lifts.find(*current);
        if (it != lifts.end())
            it->second.spring.setTarget(0);
    }
    current = index;
    if (index) {
        auto it = lifts.find(*index);
        if (it == lifts.end())
            it = lifts.emplace(*index, Lift{DampedSpring(response, 0.8), true}).first;
        it->second.spring.setTarget(1);
    }
    wake();
}

double ShelfView::liftOf(const std::unordered_map<qsizetype, Lift> &lifts, qsizetype index) const
{
    const auto it = lifts.find(index);
    return it == lifts.end() ? 0.0 : it->second.spring.value();
}

bool ShelfView::isLifting(const std::unordered_map<qsizetype, Lift> &lifts, qsizetype index) const
{
    const auto it = lifts.find(index);
    return it != lifts.end() && !it->second.spring.isSettled();
}

void ShelfView::hoverSpine(std::optional<qsizetype> index)
{
    setLift(m_spineLifts, m_hoveredSpine, index, 0.3);
}

void ShelfView::hoverCover(std::optional<qsizetype> index)
{
    setLift(m_coverLifts, m_hoveredCover, index, 0.35);
}

std::optional<qsizetype> ShelfView::spineAt(QPointF point) const
{
    if (m_pullOut)
        return std::nullopt;
    return m_layout.spineAt(point + QPointF(0, m_scroll));
}

std::optional<qsizetype> ShelfView::coverAt(QPointF point) const
{
    if (m_pullOut)
        return std::nullopt;
    return m_layout.coverAt(point + QPointF(0, m_scroll));
}

QString ShelfView::toolTipAt(QPointF point) const
{
    if (const auto spine = spineAt(point))
        return toolTipText(m_lists.shown.at(*spine));
    if (const auto cover = coverAt(point))
        return toolTipText(m_lists.featured.at(*cover));
    return {};
}

// The frame loop.

void ShelfView::wake()
{
    if (!m_frameTimer.isActive()) {
        m_lastFrame.reset();
        m_frameTimer.start();
    }
}

void ShelfView::advanceFrame()
{
    const double t = now();
    const double dt = m_lastFrame ? std::clamp(t - *m_lastFrame, 0.0, 0.05) : 0.0;
    m_lastFrame = t;
    bool moving = false;
    for (auto *lifts : {&m_spineLifts, &m_coverLifts}) {
        for (auto it = lifts->begin(); it != lifts->end();) {
            it->second.spring.advance(dt);
            const bool settled = it->second.spring.isSettled(1e-3);
            if (settled && it->second.spring.target() == 0) {
                it = lifts->erase(it);
                continue;
            }
            moving |= !settled;
            ++it;
        }
    }
    const bool fading = m_fade.isRunning(t);
    if (!fading && !m_fadeFrom.isNull())
        m_fadeFrom = QImage();
    update();
    if (!moving && !fading)
        m_frameTimer.stop();
}

void ShelfView::settle()
{
    for (auto *lifts : {&m_spineLifts, &m_coverLifts}) {
        for (auto it = lifts->begin(); it != lifts->end();) {
            it->second.spring.snapTo(it->second.spring.target());
            it = it->second.spring.target() == 0 ? lifts->erase(it) : std::next(it);
        }
    }
    m_fade.snapTo(1);
    m_fadeFrom = QImage();
    m_frameTimer.stop();
    update();
}

// Drawing.

qsizetype ShelfView::cachedBytes() const
{
    return m_spines.cachedBytes();
}

shelf::SpineLook ShelfView::spineLook(const ShelfEntry &entry, int thickness)
{
    const std::optional<CodableColour> colour = m_colours.known(entry.artworkURL);
    if (!colour && entry.artworkURL)
        m_colours.request(*entry.artworkURL);
    return {entry.title, entry.artist, entry.item.kind, thickness, shelf::spineColours(entry.item.kind, colour)};
}

void ShelfView::paintEvent(QPaintEvent *event)
{
    QPainter painter(this);
    paintWall(painter, devicePixelRatioF(), event->rect());
}

QRectF ShelfView::wallPixels(const QImage &wall, const QRectF &area, qreal dpr) const
{
    if (wall.size() == size() * dpr)
        return QRectF(area.topLeft() * dpr, area.size() * dpr);
    // A wall drawn for another window, stretched over this one while its own is being made.
    const double sx = wall.width() / std::max(1.0, double(width()));
    const double sy = wall.height() / std::max(1.0, double(height()));
    return QRectF(area.x() * sx, area.y() * sy, area.width() * sx, area.height() * sy);
}

void ShelfView::paintWall(QPainter &painter, qreal dpr, const QRectF &exposed)
{
    m_drawnRatio = dpr;
    const double clearRight = m_kindControl->geometry().left();
    const QImage &wall = m_wall.image(size(), clearRight, dpr, m_makingWall);
    // The wall only where no row of spines covers it: the spines are opaque.
    QRegion bare(exposed.toAlignedRect());
    const auto [firstRow, lastRow] = m_layout.rowsBetween(m_scroll + exposed.top(), m_scroll + exposed.bottom());
    for (qsizetype r = firstRow; r < lastRow; ++r) {
        const shelf::ShelfRow &row = m_layout.rows.at(r);
        if (row.count == 0)
            continue;
        const QRectF run(m_layout.spineLeft.at(row.first), m_layout.rowBase(r) - WallLayout::spineHeight - m_scroll,
                         row.width, WallLayout::spineHeight);
        // Whole points inside the run, so no seam of unpainted pixels shows at its edges.
        bare -= QRect(QPoint(int(std::ceil(run.left())), int(std::ceil(run.top()))),
                      QPoint(int(std::floor(run.right())) - 1, int(std::floor(run.bottom())) - 1));
    }
    for (const QRect &part : bare)
        painter.drawImage(QRectF(part), wall, wallPixels(wall, QRectF(part), dpr));

    painter.save();
    painter.setClipRect(exposed);
    painter.translate(0, -m_scroll);
    const QRectF visible = exposed.translated(0, m_scroll);
    paintHeaders(painter, visible);
    paintLedge(painter, visible, dpr);
    paintShelves(painter, visible, dpr);
    painter.restore();
    paintScrollIndicator(painter);

    if (!m_fadeFrom.isNull()) {
        const double p = m_fade.value(now());
        painter.save();
        painter.setOpacity(1 - p);
        painter.drawImage(exposed, m_fadeFrom, QRectF(exposed.topLeft() * dpr, exposed.size() * dpr));
        painter.restore();
    }
}

void ShelfView::paintHeaders(QPainter &painter, const QRectF &visible)
{
    painter.setRenderHint(QPainter::TextAntialiasing);
    const QFontMetricsF title(headerFont());
    const QFontMetricsF caption(captionFont());
    const auto header = [&](const QRectF &rect, const QString &text, const QString &note) {
        if (!visible.intersects(rect))
            return;
        const double baseline = rect.top() + title.ascent();
        painter.setFont(headerFont());
        painter.setPen(headerInk);
        painter.drawText(QPointF(rect.left(), baseline), text);
        if (note.isEmpty())
            return;
        painter.setFont(captionFont());
        painter.setPen(captionInk);
        const double x = rect.left() + title.horizontalAdvance(text) + 14;
        painter.drawText(QPointF(x, baseline), caption.elidedText(note, Qt::ElideRight, rect.right() - x));
    };
    header(m_layout.ledgeHeader, m_lists.ledgeTitle, {});
    header(m_layout.collectionHeader, u"The collection"_s, m_lists.caption);
}

// The shadows a face-out cover casts, the same for every cover, with the dark strip of the
// ledge's groove it stands in.
const Sprite &ShelfView::coverShadow(qreal dpr)
{
    constexpr double side = WallLayout::coverSide;
    return m_coverShadow.get(NoKey{}, dpr, [&] {
        QPainterPath square;
        square.addRect(QRectF(0, 0, side, side));
        const Sprite tight = softShadow(square, 2, QColor(0, 0, 0, 77), QPointF(1, 2), dpr);
        const Sprite wide = softShadow(square, 9, QColor(58, 36, 18, 77), QPointF(5, 7), dpr);
        const QRectF bounds = QRectF(0, 0, side, side + 2)
                                  .united(QRectF(tight.origin, tight.logicalSize()))
                                  .united(QRectF(wide.origin, wide.logicalSize()));
        QImage image = makeCanvas(bounds.size(), dpr);
        QPainter p(&image);
        prepare(p);
        p.translate(-bounds.topLeft());
        wide.draw(p);
        tight.draw(p);
        p.setCompositionMode(QPainter::CompositionMode_Clear);
        p.fillRect(QRectF(0, 0, side, side), Qt::transparent);
        p.setCompositionMode(QPainter::CompositionMode_SourceOver);
        p.fillRect(QRectF(0, side, side, 2), QColor(42, 29, 18, 89));
        p.end();
        return Sprite{image, bounds.topLeft()};
    });
}

void ShelfView::paintLedge(QPainter &painter, const QRectF &visible, qreal dpr)
{
    const double base = m_layout.ledgeBaseline + WallLayout::ledgePaddingBottom;
    const QRectF ledge(WallLayout::margin, base - WallLayout::ledgeHeight - 20, m_layout.boardWidth(),
                       WallLayout::ledgeHeight + 90);
    if (!visible.intersects(ledge))
        return;
    m_boards.draw(painter, {WallLayout::margin, base}, m_layout.boardWidth(), dpr, m_makingWall);
    for (qsizetype i = 0; i < m_layout.covers.size() && i < qsizetype(m_ledgeArt.size()); ++i) {
        const QRectF rect = m_layout.covers.at(i);
        const double lift = liftOf(m_coverLifts, i);
        const double tilt = shelf::ledgeTilt(shelf::spineThickness(m_lists.featured.at(i)));
        QTransform place;
        place.translate(rect.center().x(), rect.bottom() - coverRaise * lift);
        place.rotate(tilt * (1 - lift));
        QTransform lean;
        lean.rotate(-coverLean * (1 - lift), Qt::XAxis);
        const QTransform transform = QTransform::fromTranslate(-rect.width() / 2, -rect.height()) * lean * place;
        const Sprite &shadow = coverShadow(dpr);
        if (!visible.intersects(shelf::LedgeCover::bounds(shadow, transform)))
            continue;
        const QImage &cover = m_ledgeArt.at(i)->image(WallLayout::coverSide, dpr);
        m_ledgeCovers.at(i).paint(painter, cover, shadow, transform, !isLifting(m_coverLifts, i));
    }
}

void ShelfView::paintShelves(QPainter &painter, const QRectF &visible, qreal dpr)
{
    // A row's spines reach up 262 points from its base, its brackets some 70 below it.
    const auto [first, last] = m_layout.rowsBetween(visible.top() - 80, visible.bottom() + 20);
    for (qsizetype r = first; r < last; ++r) {
        const shelf::ShelfRow &row = m_layout.rows.at(r);
        const double base = m_layout.rowBase(r);
        m_boards.draw(painter, {WallLayout::margin, base}, m_layout.boardWidth(), dpr, m_makingWall);
        if (row.count == 0)
            continue;
        const double left = m_layout.spineLeft.at(row.first);
        m_runShadow.paint(painter, {left, base}, row.width, dpr);
        for (qsizetype i = row.first; i < row.first + row.count; ++i) {
            const QRectF rect = m_layout.spineRect(r, i);
            if (rect.right() < visible.left() || rect.left() > visible.right())
                continue;
            const ShelfEntry &entry = m_lists.shown.at(i);
            const double lift = liftOf(m_spineLifts, i);
            const QImage &image = m_spines.image(spineLook(entry, m_lists.thickness.at(i)), dpr);
            if (lift <= 0.001) {
                painter.drawImage(rect.topLeft(), image);
                continue;
            }
            const QRectF raised = rect.translated(0, -spineRaise * lift);
            // The slot it leaves shows the wall and the shelf behind.
            painter.save();
            painter.setClipRect(QRectF(rect.left(), raised.bottom(), rect.width(), rect.bottom() - raised.bottom()),
                                Qt::IntersectClip);
            const QImage &wall = m_wall.image(size(), m_kindControl->geometry().left(), dpr, m_makingWall);
            painter.drawImage(rect, wall, wallPixels(wall, rect.translated(0, -m_scroll), dpr));
            m_boards.draw(painter, {WallLayout::margin, base}, m_layout.boardWidth(), dpr, m_makingWall);
            painter.fillRect(QRectF(rect.left(), rect.bottom() - 30, rect.width(), 30), QColor(40, 22, 10, 70));
            painter.restore();
            m_runShadow.paintSingle(painter, raised, dpr);
            painter.drawImage(raised.topLeft(), image);
            painter.save();
            painter.setCompositionMode(QPainter::CompositionMode_Plus);
            const int add = qRound(255 * spineBrighten * lift);
            painter.fillRect(raised, QColor(add, add, add));
            painter.restore();
        }
        if (r == m_layout.rows.size() - 1 && m_layout.bookEnd)
            m_bookEnd.sprite(dpr).draw(painter, *m_layout.bookEnd);
    }
}

void ShelfView::paintScrollIndicator(QPainter &painter)
{
    const double content = m_layout.contentHeight;
    if (content <= height() + 1)
        return;
    const double track = height() - 16;
    const double length = std::max(36.0, track * height() / content);
    const double y = 8 + (track - length) * (m_scroll / maxScroll());
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(42, 32, 23, 90));
    painter.drawRoundedRect(QRectF(width() - 8, y, 4, length), 2, 2);
    painter.restore();
}

// Input.

void ShelfView::wheelEvent(QWheelEvent *event)
{
    if (m_pullOut)
        return;
    const QPoint pixels = event->pixelDelta();
    const double dy = !pixels.isNull() ? pixels.y() : event->angleDelta().y() / 120.0 * 96;
    setScrollOffset(m_scroll - dy);
    const QPointF at = event->position();
    hoverSpine(spineAt(at));
    hoverCover(coverAt(at));
    event->accept();
}

void ShelfView::keyPressEvent(QKeyEvent *event)
{
    const double page = std::max(100.0, height() - 80.0);
    switch (event->key()) {
    case Qt::Key_Down: setScrollOffset(m_scroll + 60); break;
    case Qt::Key_Up: setScrollOffset(m_scroll - 60); break;
    case Qt::Key_PageDown:
    case Qt::Key_Space: setScrollOffset(m_scroll + page); break;
    case Qt::Key_PageUp: setScrollOffset(m_scroll - page); break;
    case Qt::Key_Home: setScrollOffset(0); break;
    case Qt::Key_End: setScrollOffset(maxScroll()); break;
    default: QWidget::keyPressEvent(event); return;
    }
}

void ShelfView::mouseMoveEvent(QMouseEvent *event)
{
    const auto spine = spineAt(event->position());
    const auto cover = coverAt(event->position());
    hoverSpine(spine);
    hoverCover(cover);
    setCursor(spine || cover ? Qt::PointingHandCursor : Qt::ArrowCursor);
}

void ShelfView::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return;
    m_pressedSpine = spineAt(event->position());
    m_pressedCover = coverAt(event->position());
}

void ShelfView::mouseReleaseEvent(QMouseEvent *event)
{
    const auto spine = std::exchange(m_pressedSpine, std::nullopt);
    const auto cover = std::exchange(m_pressedCover, std::nullopt);
    if (event->button() != Qt::LeftButton)
        return;
    if (spine && spineAt(event->position()) == spine)
        pull(m_lists.shown.at(*spine));
    else if (cover && coverAt(event->position()) == cover)
        pull(m_lists.featured.at(*cover));
}

void ShelfView::leaveEvent(QEvent *)
{
    hoverSpine(std::nullopt);
    hoverCover(std::nullopt);
}

bool ShelfView::event(QEvent *event)
{
    if (event->type() == QEvent::ToolTip) {
        auto *help = static_cast<QHelpEvent *>(event);
        const QString text = toolTipAt(help->pos());
        if (text.isEmpty())
            QToolTip::hideText();
        else
            QToolTip::showText(help->globalPos(), text, this);
        return true;
    }
    return QWidget::event(event);
}

} // namespace velloran
