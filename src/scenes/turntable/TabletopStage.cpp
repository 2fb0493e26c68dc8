#include "scenes/turntable/TabletopStage.h"

#include "model/LibraryAccess.h"
#include "paint/DrawingThread.h"
#include "paint/SoftShadow.h"
#include "paint/TimingCurves.h"
#include "playback/DeckChanges.h"
#include "playback/Turntable.h"
#include "scenes/deck/DeckGeometry.h"
#include "scenes/deck/DeckTargets.h"

#include <QHelpEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QToolTip>
#include <QtConcurrent/QtConcurrentRun>

#include <algorithm>
#include <cmath>
#include <utility>

namespace velloran {

using namespace Qt::StringLiterals;

namespace {

constexpr int frameIntervalMs = 16;
constexpr double flipPerspective = 1400;
constexpr double nearShadowRadius = 4;
constexpr double farShadowRadius = 14;
constexpr double sleeveSide = 330;
// Movement, in window points, that turns a press into a drag rather than a tap.
constexpr double tapSlop = 4;

// Stage drawings are rendered for the pixels they will cover on a stage scaled up, and at
// the screen's own ratio (then drawn smaller) on a stage scaled down; steps of a quarter keep
// a window being resized from rendering them anew at every step.
qreal spritePixelRatio(qreal dpr, double scale)
{
    return std::max(dpr, std::ceil(dpr * scale * 4) / 4);
}

bool isCircle(TabletopStage::Control c)
{
    return c == TabletopStage::Control::power || c == TabletopStage::Control::targetLight;
}

} // namespace

TabletopStage::TabletopStage(Turntable &turntable, LibraryAccess &library, Clock &clock, ArtworkStore *store,
                             QWidget *parent)
    : QWidget(parent)
    , m_turntable(turntable)
    , m_controller(turntable.controller())
    , m_library(library)
    , m_clock(clock)
    , m_epoch(clock.now())
    , m_pile(library, turntable, store)
    , m_sleeveArt(700, store)
    , m_sleeveTween(Turntable::sleeveAwaySeconds, timing::easeInOut(), 1)
    , m_powerLamp(0.3, timing::easeInOut(), turntable.power() ? 1 : 0)
    , m_targetLight(0.3, timing::easeInOut(), turntable.targetLight() ? 1 : 0)
    , m_targetGlow(0.4, timing::easeInOut(), turntable.targetLight() ? 1 : 0)
    , m_knob(turntable.power())
{
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    m_frameTimer.setTimerType(Qt::PreciseTimer);
    m_frameTimer.setInterval(frameIntervalMs);
    connect(&m_frameTimer, &QTimer::timeout, this, &TabletopStage::advanceFrame);

    // Any change of the deck or of what plays may start motion; the frame loop then runs
    // until everything is at rest again.
    connectDeckState(m_turntable, this, &TabletopStage::wakeFromModel);
    connectDeckMotion(m_turntable, this, &TabletopStage::wakeFromModel);
    connect(&m_turntable, &Turntable::flippingChanged, this, &TabletopStage::followFlipping);
    connect(&m_turntable, &Turntable::recordChanged, this, &TabletopStage::followRecord);
    connect(&m_turntable, &Turntable::sleeveAwayChanged, this, [this] {
        const double t = now();
        const double progress = m_sleeveTween.value(t);
        m_sleeveFrom = SleeveLook::mix(m_sleeveFrom, m_sleeveTo, progress);
        m_sleeveTo = SleeveLook::of(m_turntable.sleeveAway(), m_turntable.sleeveArriving(), m_turntable.sleeveEmpty());
        m_sleeveTween.snapTo(0);
        m_sleeveTween.setTarget(1, t);
    });
    connect(&m_turntable, &Turntable::powerChanged, this, [this](bool on) {
        m_knob.setPower(on);
        m_powerLamp.setTarget(on ? 1 : 0, now());
    });
    connect(&m_turntable, &Turntable::targetLightChanged, this, [this](bool on) {
        m_targetLight.setTarget(on ? 1 : 0, now());
        m_targetGlow.setTarget(on ? 1 : 0, now());
    });
    connect(&m_pile, &Pile::changed, this, [this] {
        invalidateBack();
        wake();
    });
    connect(&m_sleeveArt, &CoverArt::changed, this, qOverload<>(&QWidget::update));

    m_sleeveTo = m_sleeveFrom
        = SleeveLook::of(m_turntable.sleeveAway(), m_turntable.sleeveArriving(), m_turntable.sleeveEmpty());
    if (m_turntable.flipping())
        m_flipStart = m_clock.now();
    followRecord();
    m_frameTimer.start();
}

TabletopStage::~TabletopStage() = default;

void TabletopStage::prepareDrawings(QSize windowSize, qreal dpr)
{
    if (m_preparing.isValid() || windowSize.isEmpty())
        return;
    const StageFit fit = StageFit::fit(windowSize);
    const qreal sprites = spritePixelRatio(dpr, fit.scale);
    const std::optional<StageDiscPose> pose = stageDiscPose(m_turntable.discMove(), m_turntable.place(), m_clock.now());
    const QList<DeckFrameState> frames = DeckDrawings::likelyFrames(liveState(now(), pose));
    // The worker starts from a copy of what is drawn already (images are shared, not copied)
    // and touches nothing of this stage.
    auto make = [drawings = m_drawings, windowSize, fit, dpr, sprites, frames]() mutable {
        drawings.table.image(windowSize, fit.transform(), dpr);
        drawings.deck.prepare(frames, sprites);
        discShadows(drawings, sprites);
        drawings.pileEdges = Pile::renderEdges(sprites);
        drawings.spriteRatio = sprites;
        return drawings;
    };
    m_preparing = QtConcurrent::run(&drawingThread(), std::move(make));
    // The frame loop takes them over when they are done.
    wake();
}

void TabletopStage::waitForDrawings()
{
    takePreparedDrawings(true);
}

void TabletopStage::takePreparedDrawings(bool wait)
{
    if (!m_preparing.isValid() || (!wait && !m_preparing.isFinished()))
        return;
    m_drawings = m_preparing.takeResult();
    m_preparing = {};
    if (m_drawings.pileEdges)
        m_pile.takeEdges(*std::exchange(m_drawings.pileEdges, std::nullopt), m_drawings.spriteRatio);
    if (m_drawnRatio) {
        // Shown already, with makeshift drawings since the window changed size: the whole stage
        // is drawn again with these, and more are made if the window has moved on meanwhile.
        m_drawnRatio = m_drawings.spriteRatio;
        invalidateBack();
        followSize();
    }
}

qreal TabletopStage::spriteRatio(qreal dpr) const
{
    if (m_preparing.isValid() && m_drawnRatio)
        return *m_drawnRatio;
    return spritePixelRatio(dpr, m_fit.scale);
}

void TabletopStage::followSize()
{
    // Before the first frame there is nothing to go on with: that frame makes what it needs.
    if (!m_drawnRatio || m_preparing.isValid() || size().isEmpty())
        return;
    const qreal dpr = m_drawnForRatio;
    if (spritePixelRatio(dpr, m_fit.scale) == *m_drawnRatio
        && m_drawings.table.holdsWoodFor(size(), m_fit.transform(), dpr))
        return;
    prepareDrawings(size(), dpr);
}

const TabletopStage::DiscShadows &TabletopStage::discShadows(Drawings &drawings, qreal dpr)
{
    return drawings.discShadows.get(NoKey{}, dpr, [&] {
        QPainterPath disc;
        disc.addEllipse(QPointF(0, 0), deck::discRadius, deck::discRadius);
        return DiscShadows{softShadow(disc, nearShadowRadius, Qt::black, {}, dpr),
                           softShadow(disc, farShadowRadius, Qt::black, {}, dpr)};
    });
}

double TabletopStage::now() const
{
    return secondsBetween(m_epoch, m_clock.now());
}

void TabletopStage::wakeFromModel()
{
    wake();
}

void TabletopStage::wake()
{
    m_still = false;
    if (!m_frameTimer.isActive())
        m_frameTimer.start();
}

void TabletopStage::followFlipping(bool flipping)
{
    if (flipping)
        m_flipStart = m_clock.now();
    else
        m_flipStart.reset();
}

void TabletopStage::followRecord()
{
    const std::optional<Record> &record = m_turntable.record();
    m_sleeveArt.setEntry(record ? std::optional(ShelfEntry::fromRecord(*record)) : std::nullopt);
}

bool TabletopStage::animationsRunning(double t) const
{
    return m_sleeveTween.isRunning(t) || m_powerLamp.isRunning(t) || m_targetLight.isRunning(t)
        || m_targetGlow.isRunning(t) || m_knob.isMoving() || m_pile.isMoving() || m_flipStart.has_value()
        || m_turntable.discMove().has_value() || m_preparing.isValid();
}

void TabletopStage::advanceFrame()
{
    takePreparedDrawings(false);
    const double t = now();
    ++m_frames;
    const double dt = m_lastFrame ? std::clamp(t - *m_lastFrame, 0.0, DeckMotion::maxFrameTime) : 0.0;
    m_lastFrame = t;

    m_motion.step(t, deckInputs(DeckSnapshot::of(m_turntable, m_clock.now())));
    m_knob.advance(dt);
    const bool pileMoving = m_pile.advance(t);
    if (pileMoving)
        invalidateBack();
    const std::optional<StageDiscPose> pose = stageDiscPose(m_turntable.discMove(), m_turntable.place(), m_clock.now());
    const DeckFrameState live = liveState(t, pose);
    const bool whole = pileMoving || !m_backValid || m_turntable.discMove() || m_flipStart || m_sleeveTween.isRunning(t);
    if (whole || m_shownWhole || !m_shown) {
        m_lastDamage = QRegion(rect());
    } else {
        // Only what changed on the deck: mostly the turning label and the arm.
        m_lastDamage = QRegion();
        for (const QRectF &area : m_drawings.deck.live.changedAreas(*m_shown, live, spriteRatio(devicePixelRatioF())))
            m_lastDamage += m_fit.toWindow(area).toAlignedRect().adjusted(-1, -1, 1, 1);
        m_lastDamage &= rect();
    }
    if (!m_lastDamage.isEmpty())
        update(m_lastDamage);
    m_shown = live;
    m_shownWhole = whole;

    if (!m_motion.isMoving() && !m_turntable.flipping() && !m_turntable.discMove() && !animationsRunning(t)
        && !m_stillCheckPosted) {
        // Rest is confirmed once more after the events already queued, which may wake the deck.
        m_stillCheckPosted = true;
        QMetaObject::invokeMethod(this, &TabletopStage::confirmStill, Qt::QueuedConnection);
    }
}

void TabletopStage::confirmStill()
{
    m_stillCheckPosted = false;
    if (m_motion.isMoving() || m_turntable.flipping() || animationsRunning(now()))
        return;
    m_still = true;
    m_frameTimer.stop();
}

void TabletopStage::invalidateBack()
{
    m_backValid = false;
}

void TabletopStage::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    m_fit = StageFit::fit(size());
    invalidateBack();
    followSize();
}

// Drawing.

void TabletopStage::paintBack(QPainter &painter, qreal dpr, const std::optional<LaidSleeve> &sleeve)
{
    const QSize window = size();
    if (!m_backValid || m_back.size() != window * dpr || m_back.devicePixelRatio() != dpr) {
        m_laid.reset();
        const qreal sprites = spriteRatio(dpr);
        m_back = m_drawings.table.image(window, m_fit.transform(), dpr, !m_preparing.isValid()).copy();
        m_back.setDevicePixelRatio(dpr);
        const auto paintObjects = [&](QPainter &p) {
            DeckDrawings &deck = m_drawings.deck;
            deck.mug.sprite(sprites).draw(p, {330, 190});
            m_pile.paint(p, sprites);
            deck.cables.sprite(deckCables(), sprites).draw(p);
            deck.body.sprite(sprites).draw(p);
        };
        QPainter p(&m_back);
        prepare(p);
        const bool settledPile = !m_pile.isMoving();
        if (m_fit.scale < 1 && settledPile) {
            // Fine textures (the mat's ribs, the grain of the plinth) shimmer when sampled
            // down in one go; on a small stage they are laid out at full size and filtered down.
            // The layout covers the whole window, past the stage's edges, as the table does:
            // the cables run on off its back and the pile's sleeves hang over its front.
            const QRectF shown = m_fit.toStage(QRectF(QPointF(0, 0), QSizeF(window)));
            QImage full = makeCanvas(shown.size(), dpr);
            {
                QPainter f(&full);
                prepare(f);
                f.translate(-shown.topLeft());
                paintObjects(f);
            }
            QImage small = full.scaled(window * dpr, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
            small.setDevicePixelRatio(dpr);
            p.drawImage(QPointF(0, 0), small);
        } else {
            p.setTransform(m_fit.transform());
            paintObjects(p);
        }
        m_backValid = settledPile;
    }
    // A back layer made again next frame (the pile moving) takes no sleeve.
    laySleeve(m_backValid ? sleeve : std::nullopt);
    painter.drawImage(QPointF(0, 0), m_back);
}

void TabletopStage::laySleeve(const std::optional<LaidSleeve> &sleeve)
{
    if (m_laid && m_laid->sleeve == sleeve)
        return;
    const qreal dpr = m_back.devicePixelRatio();
    if (m_laid) {
        QPainter p(&m_back);
        p.setCompositionMode(QPainter::CompositionMode_Source);
        p.drawImage(QPointF(m_laid->at) / dpr, m_laid->under);
        m_laid.reset();
    }
    if (!sleeve)
        return;
    const QRectF bounds = sleeveBounds(sleeve->look, sleeve->ratio);
    const QRect pixels = QRectF(bounds.topLeft() * dpr, bounds.size() * dpr).toAlignedRect().adjusted(-1, -1, 1, 1)
        & m_back.rect();
    QImage under = m_back.copy(pixels);
    under.setDevicePixelRatio(dpr);
    QPainter p(&m_back);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    drawSleeve(p, sleeve->look, sleeve->ratio);
    m_laid = Laid{*sleeve, pixels.topLeft(), under};
}

void TabletopStage::paintDisc(QPainter &painter, const StageDiscPose &pose, double, qreal dpr)
{
    const std::optional<Record> &record = m_turntable.record();
    const qint64 faceUp = m_turntable.faceUp();
    if (!record || faceUp < 0 || faceUp >= record->sides.size())
        return;
    const DiscFace face = DiscFace::make(*record, record->sides[faceUp]);
    const FlipPose flip
        = FlipPose::at(m_flipStart ? std::optional(secondsBetween(*m_flipStart, m_clock.now())) : std::nullopt);
    const DiscShadow shadow = DiscShadow::of(pose.lift, flip.scale);
    const double spin = m_turntable.settled() ? m_motion.rotation() : 0.0;
    const double squash = std::max(std::abs(std::cos(flip.angle * M_PI / 180)), 0.02);

    const DiscShadows &shadows = discShadows(m_drawings, dpr);
    const double blend = std::clamp((shadow.radius - nearShadowRadius) / (farShadowRadius - nearShadowRadius), 0.0, 1.0);

    painter.save();
    painter.setTransform(m_fit.transform());
    painter.translate(pose.x, pose.y);
    painter.scale(pose.scale, pose.scale);

    painter.save();
    painter.translate(shadow.offset);
    painter.scale(flip.scale * squash, flip.scale);
    const qreal opacity = painter.opacity();
    painter.setOpacity(opacity * shadow.opacity * (1 - blend));
    shadows.near.draw(painter);
    painter.setOpacity(opacity * shadow.opacity * blend);
    shadows.far.draw(painter);
    painter.restore();

    if (flip.angle != 0) {
        // A turn about the vertical axis seen from `flipPerspective` points away.
        const double a = flip.angle * M_PI / 180;
        const QTransform turn(std::cos(a), 0, -std::sin(a) / flipPerspective, 0, 1, 0, 0, 0, 1);
        painter.setTransform(turn, true);
    }
    painter.scale(flip.scale, flip.scale);
    const QPointF corner(-deck::discRadius, -deck::discRadius);
    painter.save();
    painter.rotate(spin);
    const std::optional<QImage> label = m_sleeveArt.artwork();
    // The same face the deck draws once the disc is seated, so it is made once.
    painter.drawImage(corner, m_drawings.deck.live.discFace().image(face, label.value_or(QImage()), dpr));
    painter.restore();
    painter.setCompositionMode(QPainter::CompositionMode_Screen);
    painter.drawImage(corner, m_drawings.deck.sheen.image(dpr));
    painter.restore();
}

std::optional<SleeveLook> TabletopStage::sleeveLook(double t) const
{
    if (!m_turntable.record())
        return std::nullopt;
    const SleeveLook target
        = SleeveLook::of(m_turntable.sleeveAway(), m_turntable.sleeveArriving(), m_turntable.sleeveEmpty());
    const SleeveLook look = m_sleeveTween.isRunning(t) ? SleeveLook::mix(m_sleeveFrom, target, m_sleeveTween.value(t))
                                                       : target;
    if (look.opacity <= 0.001)
        return std::nullopt;
    return look;
}

QTransform TabletopStage::sleevePlacement(const SleeveLook &look) const
{
    QTransform place = m_fit.transform();
    place.translate(stage::sleeveCentre.x() + look.offset.x(), stage::sleeveCentre.y() + look.offset.y());
    place.rotate(look.rotation);
    return place;
}

void TabletopStage::drawSleeve(QPainter &painter, const SleeveLook &look, qreal dpr)
{
    painter.save();
    painter.setTransform(sleevePlacement(look));
    painter.setOpacity(painter.opacity() * look.opacity);
    m_sleeve.sprite(m_sleeveArt.image(sleeveSide, dpr), dpr).draw(painter, {-sleeveSide / 2, -sleeveSide / 2});
    painter.restore();
}

QRectF TabletopStage::sleeveBounds(const SleeveLook &look, qreal dpr)
{
    const Sprite &sprite = m_sleeve.sprite(m_sleeveArt.image(sleeveSide, dpr), dpr);
    return sleevePlacement(look).mapRect(
        QRectF(QPointF(-sleeveSide / 2, -sleeveSide / 2) + sprite.origin, sprite.logicalSize()));
}

DeckFrameState TabletopStage::frameState(double t)
{
    DeckFrameState s;
    s.rotation = m_motion.rotation();
    s.arm = m_motion.arm();
    s.lift = m_motion.lift();
    s.knobAngle = m_knob.angle();
    s.powerLamp = m_powerLamp.value(t);
    s.motor = m_turntable.motor();
    s.at45 = m_turntable.at45();
    s.pitch = m_turntable.pitch();
    s.targetLight = m_targetGlow.value(t);
    if (m_pressed == Control::startStop)
        s.pressed = DeckButton::startStop;
    else if (m_pressed == Control::speed33)
        s.pressed = DeckButton::speed33;
    else if (m_pressed == Control::speed45)
        s.pressed = DeckButton::speed45;
    return s;
}

DeckFrameState TabletopStage::liveState(double t, const std::optional<StageDiscPose> &pose)
{
    DeckFrameState state = frameState(t);
    const std::optional<Record> &record = m_turntable.record();
    const qint64 faceUp = m_turntable.faceUp();
    const bool seated = pose && *pose == StageDiscPose{} && !m_flipStart;
    if (seated && record && faceUp >= 0 && faceUp < record->sides.size()) {
        // A disc at rest on the platter: the deck's own drawing, which turns only the label.
        state.face = DiscFace::make(*record, record->sides[faceUp]);
        state.labelArtwork = m_sleeveArt.artwork().value_or(QImage());
        state.rotation = m_turntable.settled() ? m_motion.rotation() : 0.0;
    }
    return state;
}

void TabletopStage::paintStage(QPainter &painter, qreal dpr, const QRegion *exposed)
{
    takePreparedDrawings(!m_drawnRatio);
    const double t = now();
    const qreal sprites = spriteRatio(dpr);
    m_drawnRatio = sprites;
    m_drawnForRatio = dpr;
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);

    const std::optional<StageDiscPose> pose = stageDiscPose(m_turntable.discMove(), m_turntable.place(), m_clock.now());
    const bool discUnderSleeve = pose && pose->layer == 0;
    const std::optional<SleeveLook> look = sleeveLook(t);
    std::optional<LaidSleeve> laid;
    if (look && !discUnderSleeve && !m_sleeveTween.isRunning(t))
        laid = LaidSleeve{*look, m_sleeveArt.image(sleeveSide, sprites).cacheKey(), sprites};
    paintBack(painter, dpr, laid);

    if (discUnderSleeve)
        paintDisc(painter, *pose, t, sprites);
    if (look && !m_laid)
        drawSleeve(painter, *look, sprites);

    const DeckFrameState state = liveState(t, pose);
    if (!state.face && pose && pose->layer == 1)
        paintDisc(painter, *pose, t, sprites);

    painter.save();
    painter.setTransform(m_fit.transform());
    m_drawings.deck.live.paint(painter, state, sprites, exposed);
    painter.restore();
}

void TabletopStage::paintEvent(QPaintEvent *event)
{
    QPainter painter(this);
    paintStage(painter, devicePixelRatioF(), &event->region());
}

// Gestures.

std::optional<TabletopStage::Control> TabletopStage::controlAt(QPointF p) const
{
    if (armdrag::contains(p, m_motion.arm()))
        return Control::tonearm;
    const struct {
        Control control;
        QRectF frame;
    } targets[] = {
        {Control::power, deck::powerButtonFrame},         {Control::startStop, deck::startStopFrame},
        {Control::speed33, deck::button33Frame},          {Control::speed45, deck::button45Frame},
        {Control::cueLever, deck::cueLeverFrame},         {Control::pitchFader, deck::pitchFaderFrame},
        {Control::targetLight, deck::targetLightFrame},
    };
    for (const auto &target : targets) {
        if (!target.frame.contains(p))
            continue;
        if (isCircle(target.control)) {
            const QPointF d = p - target.frame.center();
            if (std::hypot(d.x(), d.y()) > target.frame.width() / 2)
                continue;
        }
        return target.control;
    }
    return std::nullopt;
}

QString TabletopStage::toolTip(Control control)
{
    switch (control) {
    case Control::power:
        return u"Power"_s;
    case Control::cueLever:
        return u"Cue lever"_s;
    case Control::pitchFader:
        return u"Pitch"_s;
    case Control::targetLight:
        return u"Target light"_s;
    case Control::startStop:
    case Control::speed33:
    case Control::speed45:
    case Control::tonearm:
        break;
    }
    return {};
}

void TabletopStage::updateCursor(std::optional<QPointF> p)
{
    if (m_armDragging) {
        setCursor(Qt::ClosedHandCursor);
        return;
    }
    const std::optional<Control> control = p ? controlAt(*p) : std::nullopt;
    if (control == Control::tonearm)
        setCursor(Qt::OpenHandCursor);
    else if (control || (p && m_pile.entryAt(*p)))
        setCursor(Qt::PointingHandCursor);
    else
        setCursor(Qt::ArrowCursor);
}

void TabletopStage::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    const QPointF p = m_fit.toStage(event->position());
    m_pressStage = p;
    m_moved = false;
    m_armDragging = false;
    m_pressed = controlAt(p);
    m_pressedSleeve = m_pressed ? std::nullopt : m_pile.entryAt(p);
    if (m_pressed)
        update();
}

void TabletopStage::mouseMoveEvent(QMouseEvent *event)
{
    const QPointF p = m_fit.toStage(event->position());
    if (!(event->buttons() & Qt::LeftButton)) {
        m_pile.pointerMoved(p);
        updateCursor(p);
        return;
    }
    const QPointF moved = p - m_pressStage;
    if (std::hypot(moved.x(), moved.y()) * m_fit.scale > tapSlop)
        m_moved = true;
    if (m_pressed == Control::tonearm) {
        if (!m_armDragging && std::hypot(moved.x(), moved.y()) >= 1) {
            m_armDragging = true;
            updateCursor(p);
        }
        if (m_armDragging)
            m_turntable.setDragAngle(armdrag::angle(p));
    } else if (m_pressed == Control::pitchFader) {
        m_turntable.setPitch(m_faderDrag.change(m_turntable.pitch(), moved.y()));
    }
}

void TabletopStage::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton) {
        QWidget::mouseReleaseEvent(event);
        return;
    }
    const QPointF p = m_fit.toStage(event->position());
    const std::optional<Control> pressed = m_pressed;
    m_pressed.reset();
    if (pressed == Control::tonearm) {
        if (m_armDragging) {
            m_armDragging = false;
            m_turntable.releaseArm(armdrag::angle(p));
        }
    } else if (pressed == Control::pitchFader) {
        m_faderDrag.end();
    } else if (pressed && controlAt(p) == pressed) {
        switch (*pressed) {
        case Control::power:
            m_turntable.togglePower();
            break;
        case Control::startStop:
            m_turntable.startStop();
            break;
        case Control::speed33:
            m_turntable.setAt45(false);
            break;
        case Control::speed45:
            m_turntable.setAt45(true);
            break;
        case Control::cueLever:
            m_turntable.cue();
            break;
        case Control::targetLight:
            m_turntable.setTargetLight(!m_turntable.targetLight());
            break;
        case Control::pitchFader:
        case Control::tonearm:
            break;
        }
    } else if (m_pressedSleeve) {
        const std::optional<ShelfEntry> under = m_pile.entryAt(p);
        if (under && under->id() == m_pressedSleeve->id())
            m_pile.click(*m_pressedSleeve);
    }
    m_pressedSleeve.reset();
    update();
    updateCursor(p);
    if (!m_moved)
        Q_EMIT tapped();
}

void TabletopStage::mouseDoubleClickEvent(QMouseEvent *event)
{
    const QPointF p = m_fit.toStage(event->position());
    if (event->button() == Qt::LeftButton && controlAt(p) == Control::pitchFader) {
        m_turntable.setPitch(PitchFaderDrag::reset());
        m_pressed = Control::pitchFader;
        m_pressStage = p;
        return;
    }
    mousePressEvent(event);
}

void TabletopStage::leaveEvent(QEvent *event)
{
    QWidget::leaveEvent(event);
    m_pile.pointerMoved(std::nullopt);
    if (!m_armDragging)
        unsetCursor();
}

bool TabletopStage::event(QEvent *event)
{
    if (event->type() == QEvent::ToolTip) {
        auto *help = static_cast<QHelpEvent *>(event);
        const QPointF p = m_fit.toStage(help->pos());
        QString text;
        if (const std::optional<Control> control = controlAt(p))
            text = toolTip(*control);
        else if (const std::optional<ShelfEntry> entry = m_pile.entryAt(p))
            text = entry->title;
        if (text.isEmpty())
            QToolTip::hideText();
        else
            QToolTip::showText(help->globalPos(), text, this);
        return true;
    }
    return QWidget::event(event);
}

} // namespace velloran
