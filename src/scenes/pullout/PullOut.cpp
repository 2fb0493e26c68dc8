#include "scenes/pullout/PullOut.h"

#include "artwork/CoverPainting.h"
#include "paint/Fonts.h"
#include "paint/SoftShadow.h"
#include "paint/TimingCurves.h"
#include "scenes/browse/GlassButton.h"
#include "model/LibraryAccess.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QTextLayout>

#include <algorithm>
#include <cmath>

using namespace Qt::StringLiterals;

namespace velloran {

namespace {

constexpr int frameIntervalMs = 16;
constexpr int labelPixels = 340;
constexpr double buttonSpacing = 8;
const QColor textColour(244, 242, 238);
const QColor secondaryText(183, 188, 192);
const QColor backdropTint(10, 8, 6, 115);
const auto playTitle = u"Play"_s;
const auto putBackTitle = u"Put it back"_s;

QFont factsFont()
{
    QFont f = fonts::font(fonts::mono(), 11);
    f.setLetterSpacing(QFont::AbsoluteSpacing, 1.54);
    return f;
}

QFont titleFont()
{
    return fonts::font(fonts::serif(), 42);
}

QFont artistFont()
{
    return fonts::font(fonts::sans(), 14);
}

// The title broken into at most two lines of `width`, the second elided when it runs on.
QStringList titleLines(const QString &title, double width)
{
    const QFont font = titleFont();
    QTextLayout layout(title, font);
    QTextOption option(Qt::AlignHCenter);
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    QStringList lines;
    layout.beginLayout();
    for (int i = 0; i < 2; ++i) {
        QTextLine line = layout.createLine();
        if (!line.isValid())
            break;
        line.setLineWidth(width);
        lines.append(title.mid(line.textStart(), line.textLength()).trimmed());
        if (i == 1 && line.textStart() + line.textLength() < title.size())
            lines.last() = QFontMetricsF(font).elidedText(title.mid(line.textStart()).simplified(), Qt::ElideRight, width);
    }
    layout.endLayout();
    if (lines.isEmpty())
        lines.append(QString());
    return lines;
}

// The view beneath, blurred and darkened the way a dark frosted pane shows it.
QImage frostedBackdrop(const QImage &shot)
{
    if (shot.isNull())
        return {};
    constexpr int shrink = 10;
    const QSize small = (shot.size() / shrink).expandedTo(QSize(2, 2));
    QImage image = shot.convertToFormat(QImage::Format_RGB32).scaled(small, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    // Three box passes each way on the small picture come close to a wide Gaussian.
    for (int pass = 0; pass < 3; ++pass) {
        for (int axis = 0; axis < 2; ++axis) {
            QImage next = image;
            const int w = image.width();
            const int h = image.height();
            for (int y = 0; y < h; ++y) {
                auto *out = reinterpret_cast<QRgb *>(next.scanLine(y));
                for (int x = 0; x < w; ++x) {
                    int r = 0, g = 0, b = 0, n = 0;
                    for (int d = -2; d <= 2; ++d) {
                        const int xx = axis == 0 ? std::clamp(x + d, 0, w - 1) : x;
                        const int yy = axis == 1 ? std::clamp(y + d, 0, h - 1) : y;
                        const QRgb c = reinterpret_cast<const QRgb *>(image.constScanLine(yy))[xx];
                        r += qRed(c);
                        g += qGreen(c);
                        b += qBlue(c);
                        ++n;
                    }
                    out[x] = qRgb(r / n, g / n, b / n);
                }
            }
            image = next;
        }
    }
    // The dark pane: colours pulled toward their grey and down in light, then the warm tint.
    for (int y = 0; y < image.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const QRgb c = line[x];
            const double grey = 0.3 * qRed(c) + 0.59 * qGreen(c) + 0.11 * qBlue(c);
            const auto mix = [&](int v) { return (0.75 * v + 0.25 * grey) * 0.55 + 8; };
            line[x] = qRgb(int(mix(qRed(c))), int(mix(qGreen(c))), int(mix(qBlue(c))));
        }
    }
    QPainter p(&image);
    p.fillRect(image.rect(), backdropTint);
    return image;
}

} // namespace

PullOut::PullOut(ShelfEntry entry, LibraryAccess &library, Clock &clock, Actions actions, QWidget *parent,
                 ArtworkStore *store)
    : QWidget(parent)
    , m_entry(std::move(entry))
    , m_library(library)
    , m_clock(clock)
    , m_actions(std::move(actions))
    , m_epoch(clock.now())
    , m_presence(pullout::fadeSeconds, timing::easeInOut(), 0)
    , m_sleeveArt(700, store)
    , m_labelArt(nullptr, store)
{
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    m_showSpring.snapTo(0);
    m_slide.snapTo(0);
    m_frameTimer.setTimerType(Qt::PreciseTimer);
    m_frameTimer.setInterval(frameIntervalMs);
    connect(&m_frameTimer, &QTimer::timeout, this, &PullOut::advanceFrame);

    m_sleeveArt.setEntry(m_entry);
    connect(&m_sleeveArt, &CoverArt::changed, this, qOverload<>(&QWidget::update));
    m_labelArt.setSource(m_entry.artworkURL, labelPixels);
    connect(&m_labelArt, &ArtworkLoader::imageChanged, this, qOverload<>(&QWidget::update));
    m_labelArt.activate();

    if (parent) {
        parent->installEventFilter(this);
        setGeometry(parent->rect());
    }
    hide();
    relayout();
}

PullOut::~PullOut() = default;

double PullOut::now() const
{
    return secondsBetween(m_epoch, m_clock.now());
}

void PullOut::open()
{
    takeBackdrop();
    show();
    raise();
    setFocus(Qt::OtherFocusReason);
    m_presence.setTarget(1, now());
    wake();
    arrive();
}

void PullOut::disappear()
{
    if (m_disappearing)
        return;
    m_disappearing = true;
    setAttribute(Qt::WA_OpaquePaintEvent, false);
    m_presence.setTarget(0, now());
    wake();
}

void PullOut::wake()
{
    m_lastFrame.reset();
    if (!m_frameTimer.isActive())
        m_frameTimer.start();
}

bool PullOut::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == parentWidget() && event->type() == QEvent::Resize)
        setGeometry(parentWidget()->rect());
    return QWidget::eventFilter(watched, event);
}

void PullOut::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    relayout();
}

void PullOut::relayout()
{
    const QSizeF window = size();
    m_titleLines = titleLines(m_entry.title, std::min(pullout::titleWidth, window.width()));
    pullout::TextHeights heights;
    heights.facts = QFontMetricsF(factsFont()).height();
    heights.title = QFontMetricsF(titleFont()).lineSpacing() * m_titleLines.size();
    heights.artist = QFontMetricsF(artistFont()).height();
    heights.buttons = glassButtonSize(playTitle).height();
    m_layout = pullout::layout(window, heights);
    m_backdrop = QImage();
    updateSleeveFrame();
}

// The arrival: forward at once, the disc out after a breath, then the record if it was not
// at hand.
QCoro::Task<> PullOut::arrive()
{
    QPointer<PullOut> self(this);
    m_record = m_library.cachedRecord(m_entry.item);
    setShown(true);
    try {
        co_await m_clock.sleepSeconds(pullout::arrivalPause);
    } catch (const ClockStopped &) {
        co_return;
    }
    if (!self || self->m_closing)
        co_return;
    self->m_spinFrom = addSeconds(self->m_clock.now(), pullout::slideOutSeconds);
    self->slideDisc(true);
    if (self->m_record)
        co_return;
    const LibraryItem item = self->m_entry.item;
    std::optional<Record> record;
    try {
        auto task = self->m_library.record(item);
        record = co_await std::move(task);
    } catch (...) {
        // Without its record the scene can still be put back; "Play" stays off.
    }
    if (!self)
        co_return;
    self->m_record = std::move(record);
    self->update();
}

void PullOut::setShown(bool shown)
{
    m_shown = shown;
    if (shown) {
        m_hide.reset();
        m_showSpring.setTarget(1);
    } else {
        const double from = shownValue();
        m_hide.emplace(pullout::hideSeconds, timing::easeIn(), from);
        m_hide->setTarget(0, now());
    }
    wake();
}

void PullOut::slideDisc(bool out)
{
    const double t = now();
    const double from = m_slide.value(t);
    if (out) {
        m_slide = Tween(pullout::slideOutSeconds, pullout::slideOutCurve(), from);
        m_slide.setTarget(1, t);
    } else {
        m_angleAtSlideIn = from > 0 ? discAngle() / from : 0;
        m_slide = Tween(pullout::slideInSeconds, pullout::slideInCurve(), from);
        m_slide.setTarget(0, t);
    }
    m_discOut = out;
    wake();
}

double PullOut::shownValue() const
{
    return m_hide ? m_hide->value(now()) : m_showSpring.value();
}

double PullOut::stageScale() const
{
    return pullout::stageScaleHidden + (1 - pullout::stageScaleHidden) * shownValue();
}

double PullOut::discAngle() const
{
    const double t = now();
    const double out = m_slide.value(t);
    // Out, the disc turns with the clock; the turn it had is wound back as it slides home.
    if (m_discOut)
        return out * pullout::spinAngle(secondsBetween(m_spinFrom, m_clock.now()));
    return out * m_angleAtSlideIn;
}

QRectF PullOut::discRect() const
{
    const QRectF disc = m_layout.discAt(m_slide.value(now()));
    const double scale = stageScale();
    const QPointF c = m_layout.stage.center();
    return QRectF(c + (disc.topLeft() - c) * scale, disc.size() * scale);
}

QRect PullOut::turningRect() const
{
    const QRectF disc = discRect();
    // The label's square at any angle stays within the circle about its corners.
    const double reach = disc.width() * LooseDiscRenderer::labelFraction / 2 * M_SQRT2 + 2;
    return QRectF(disc.center() - QPointF(reach, reach), QSizeF(2 * reach, 2 * reach)).toAlignedRect();
}

void PullOut::updateSleeveFrame()
{
    const double scale = stageScale();
    const QPointF c = m_layout.stage.center();
    const QRectF local(c + (m_layout.sleeve.topLeft() - c) * scale, m_layout.sleeve.size() * scale);
    const QPointF origin = window() == this ? QPointF() : QPointF(mapTo(window(), QPoint(0, 0)));
    m_sleeveFrame = local.translated(origin);
}

void PullOut::putBack()
{
    if (m_closing)
        return;
    m_closing = true;
    slideDisc(false);
    finishPutBack();
}

void PullOut::play()
{
    if (!m_record || m_closing)
        return;
    m_closing = true;
    Record record = *m_record;
    slideDisc(false);
    finishPlay(std::move(record));
}

QCoro::Task<> PullOut::finishPutBack()
{
    QPointer<PullOut> self(this);
    try {
        co_await m_clock.sleepSeconds(pullout::slideInSeconds);
        if (!self)
            co_return;
        self->setShown(false);
        co_await self->m_clock.sleepSeconds(pullout::closeAfter - pullout::slideInSeconds);
    } catch (const ClockStopped &) {
        co_return;
    }
    if (!self)
        co_return;
    const auto close = self->m_actions.close;
    if (close)
        close();
}

QCoro::Task<> PullOut::finishPlay(Record record)
{
    QPointer<PullOut> self(this);
    try {
        co_await m_clock.sleepSeconds(pullout::slideInSeconds);
    } catch (const ClockStopped &) {
        co_return;
    }
    if (!self)
        co_return;
    self->updateSleeveFrame();
    const auto actions = self->m_actions;
    if (actions.putOnTurntable)
        actions.putOnTurntable(self->m_entry, record, self->m_sleeveFrame);
    if (actions.close)
        actions.close();
}

void PullOut::advanceFrame()
{
    const double t = now();
    const double dt = m_lastFrame ? std::clamp(t - *m_lastFrame, 0.0, 0.05) : 0.0;
    m_lastFrame = t;
    const bool stageMoving = !m_showSpring.isSettled() || (m_hide && m_hide->isRunning(t));
    m_showSpring.advance(dt);
    const bool fading = m_presence.isRunning(t);
    const bool sliding = m_slide.isRunning(t);

    if (m_disappearing && !fading) {
        m_frameTimer.stop();
        hide();
        deleteLater();
        return;
    }
    setAttribute(Qt::WA_OpaquePaintEvent, !m_disappearing && !fading && m_presence.target() == 1);

    if (stageMoving || fading || sliding) {
        updateSleeveFrame();
        update();
    } else if (m_discOut) {
        update(turningRect());
    }
    if (!stageMoving && !fading && !sliding && !m_discOut)
        m_frameTimer.stop();
}

// Drawing.

void PullOut::takeBackdrop()
{
    QWidget *beneath = parentWidget();
    if (!beneath)
        return;
    m_blurred = frostedBackdrop(beneath->grab().toImage());
    m_backdrop = QImage();
}

const QImage &PullOut::backdrop(qreal dpr)
{
    const QSize pixels = (QSizeF(size()) * dpr).toSize();
    if (m_backdrop.size() != pixels || m_backdrop.devicePixelRatio() != dpr) {
        if (m_blurred.isNull()) {
            m_backdrop = QImage(pixels, QImage::Format_RGB32);
            m_backdrop.fill(QColor(18, 15, 12));
        } else {
            m_backdrop = m_blurred.scaled(pixels, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        }
        m_backdrop.setDevicePixelRatio(dpr);
    }
    return m_backdrop;
}

const Sprite &PullOut::sleeveSprite(qreal dpr)
{
    const double s = m_layout.size;
    const QImage &cover = m_sleeveArt.image(s, dpr);
    return m_sleeve.get({s, cover.cacheKey()}, dpr, [&] {
        QPainterPath square;
        square.addRect(QRectF(0, 0, s, s));
        const Sprite shadow = softShadow(square, 30, QColor(0, 0, 0, 153), QPointF(0, 24), dpr);
        const QRectF bounds = QRectF(0, 0, s, s).united(QRectF(shadow.origin, shadow.logicalSize()));
        QImage image = makeCanvas(bounds.size(), dpr);
        QPainter p(&image);
        prepare(p);
        p.translate(-bounds.topLeft());
        shadow.draw(p);
        p.drawImage(QRectF(0, 0, s, s), cover);
        // Light from the upper left on the board of the sleeve, and its worn edge.
        QLinearGradient sheen(QPointF(0, 0), QPointF(s, s));
        sheen.setColorAt(0, QColor(255, 255, 255, 30));
        sheen.setColorAt(0.45, QColor(255, 255, 255, 0));
        sheen.setColorAt(1, QColor(0, 0, 0, 36));
        p.fillRect(QRectF(0, 0, s, s), sheen);
        p.setPen(QPen(QColor(255, 255, 255, 40), 1));
        p.drawLine(QPointF(0.5, 0.5), QPointF(s - 0.5, 0.5));
        p.drawLine(QPointF(0.5, 0.5), QPointF(0.5, s - 0.5));
        p.end();
        return Sprite{image, bounds.topLeft()};
    });
}

QRectF PullOut::playButtonRect() const
{
    const QSizeF play = glassButtonSize(playTitle);
    const QSizeF back = glassButtonSize(putBackTitle);
    const double left = width() / 2.0 - (play.width() + buttonSpacing + back.width()) / 2;
    return {QPointF(left, m_layout.buttonsTop), play};
}

QRectF PullOut::putBackButtonRect() const
{
    const QRectF play = playButtonRect();
    return {QPointF(play.right() + buttonSpacing, play.top()), glassButtonSize(putBackTitle)};
}

void PullOut::paintScene(QPainter &painter, qreal dpr, const QRectF &exposed)
{
    painter.save();
    painter.setOpacity(m_presence.value(now()));
    const QImage &back = backdrop(dpr);
    painter.drawImage(exposed, back, QRectF(exposed.topLeft() * dpr, exposed.size() * dpr));

    // The stage: disc behind, sleeve in front.
    painter.save();
    prepare(painter);
    const double scale = stageScale();
    const QPointF c = m_layout.stage.center();
    painter.translate(c);
    painter.scale(scale, scale);
    painter.translate(-c);
    const QRectF disc = m_layout.discAt(m_slide.value(now()));
    if (m_slide.value(now()) > 0 || m_slide.isRunning(now()))
        m_disc.paint(painter, disc, discAngle(), m_labelArt.image(), dpr);
    const QRectF sleeveOnScreen = QRectF(c + (m_layout.sleeve.topLeft() - c) * scale, m_layout.sleeve.size() * scale);
    if (exposed.intersects(sleeveOnScreen.adjusted(-60, -60, 60, 80)))
        sleeveSprite(dpr).draw(painter, m_layout.sleeve.topLeft());
    painter.restore();

    // The texts and buttons.
    const double textOpacity = std::clamp(shownValue(), 0.0, 1.0);
    const QRectF textArea(m_layout.facts.topLeft(), QPointF(width(), m_layout.buttonsTop + 40));
    if (textOpacity > 0 && exposed.intersects(textArea)) {
        painter.setOpacity(painter.opacity() * textOpacity);
        painter.setRenderHint(QPainter::TextAntialiasing);
        painter.setFont(factsFont());
        painter.setPen(secondaryText);
        painter.drawText(m_layout.facts, Qt::AlignHCenter | Qt::AlignVCenter, factsText());
        painter.setFont(titleFont());
        painter.setPen(textColour);
        const double lineHeight = QFontMetricsF(titleFont()).lineSpacing();
        for (qsizetype i = 0; i < m_titleLines.size(); ++i)
            painter.drawText(QRectF(m_layout.title.left(), m_layout.title.top() + i * lineHeight, m_layout.title.width(),
                                    lineHeight),
                             Qt::AlignHCenter | Qt::AlignVCenter, m_titleLines.at(i));
        painter.setFont(artistFont());
        painter.setPen(secondaryText);
        const QString artist = QFontMetricsF(artistFont())
                                   .elidedText(pullout::artistLine(m_entry), Qt::ElideRight, m_layout.artist.width() - 40);
        painter.drawText(m_layout.artist, Qt::AlignHCenter | Qt::AlignVCenter, artist);
        paintGlassButton(painter, playButtonRect(), playTitle,
                         {true, m_record.has_value(), m_hovered == Button::play, m_pressed == Button::play});
        paintGlassButton(painter, putBackButtonRect(), putBackTitle,
                         {false, true, m_hovered == Button::putBack, m_pressed == Button::putBack});
    }
    painter.restore();
}

void PullOut::paintEvent(QPaintEvent *event)
{
    QPainter painter(this);
    paintScene(painter, devicePixelRatioF(), event->rect());
}

// Input.

std::optional<PullOut::Button> PullOut::buttonAt(QPointF point) const
{
    if (!m_shown)
        return std::nullopt;
    if (playButtonRect().contains(point))
        return Button::play;
    if (putBackButtonRect().contains(point))
        return Button::putBack;
    return std::nullopt;
}

bool PullOut::isOnScene(QPointF point) const
{
    const QRectF sleeve = m_sleeveFrame.translated(-(window() == this ? QPointF() : QPointF(mapTo(window(), QPoint(0, 0)))));
    if (sleeve.contains(point))
        return true;
    const QRectF disc = discRect();
    if (QLineF(point, disc.center()).length() <= disc.width() / 2)
        return true;
    const QRectF texts(QPointF(m_layout.title.left(), m_layout.facts.top()),
                       QPointF(m_layout.title.right(), m_layout.artist.bottom()));
    return texts.contains(point) || buttonAt(point).has_value();
}

void PullOut::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return;
    m_pressed = buttonAt(event->position());
    if (m_pressed) {
        update();
        return;
    }
    if (!isOnScene(event->position()))
        putBack();
}

void PullOut::mouseReleaseEvent(QMouseEvent *event)
{
    const std::optional<Button> pressed = std::exchange(m_pressed, std::nullopt);
    if (!pressed)
        return;
    update();
    if (buttonAt(event->position()) != pressed)
        return;
    if (*pressed == Button::play)
        play();
    else
        putBack();
}

void PullOut::mouseMoveEvent(QMouseEvent *event)
{
    const std::optional<Button> hovered = buttonAt(event->position());
    if (hovered != m_hovered) {
        m_hovered = hovered;
        setCursor(hovered && (*hovered != Button::play || m_record) ? Qt::PointingHandCursor : Qt::ArrowCursor);
        update(playButtonRect().united(putBackButtonRect()).toAlignedRect().adjusted(-2, -2, 2, 2));
    }
}

void PullOut::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape) {
        putBack();
        return;
    }
    QWidget::keyPressEvent(event);
}

} // namespace velloran
