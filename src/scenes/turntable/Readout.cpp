#include "scenes/turntable/Readout.h"

#include "artwork/ArtworkLoader.h"
#include "artwork/CoverPainting.h"
#include "paint/Fonts.h"
#include "playback/DeckChanges.h"
#include "playback/Turntable.h"
#include "scenes/sleeveback/PanelColours.h"

#include <QFontMetricsF>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

#include <cmath>

namespace velloran {

using namespace Qt::StringLiterals;

namespace {

constexpr double padX = 14;
constexpr double padY = 6;

QFont runFont(bool emphasised)
{
    return fonts::font(fonts::mono(), 12, emphasised ? QFont::Medium : QFont::Normal);
}

double runsWidth(const QList<ReadoutRun> &runs)
{
    double width = 0;
    for (const ReadoutRun &run : runs)
        width += QFontMetricsF(runFont(run.emphasised)).horizontalAdvance(run.text);
    return width;
}

// A glass plate: the dark fill with a faint hairline inside its edge.
void paintGlass(QPainter &p, const QPainterPath &shape, const QPainterPath &hairline)
{
    p.fillPath(shape, panel::glass());
    p.strokePath(hairline, QPen(panel::hairline(), 1));
}

} // namespace

Readout::Readout(Turntable &turntable, Clock &clock, QWidget *parent)
    : QWidget(parent)
    , m_turntable(turntable)
    , m_clock(clock)
{
    setAttribute(Qt::WA_TranslucentBackground);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    m_timer.setInterval(refreshMs);
    connect(&m_timer, &QTimer::timeout, this, &Readout::refresh);
    // The line names the side and track, the time, and the state of the deck and the arm.
    connectDeckState(turntable, this, &Readout::refresh);
    connectDeckMotion(turntable, this, &Readout::refresh);
    setVisible(false);
    refresh();
}

void Readout::refresh()
{
    const QList<ReadoutRun> runs = readoutRuns(m_turntable, m_clock.now());
    const bool shown = !runs.isEmpty();
    if (shown && !m_timer.isActive())
        m_timer.start();
    else if (!shown)
        m_timer.stop();
    if (runs == m_runs && isVisible() == shown)
        return;
    const bool resized = runs.size() != m_runs.size() || runsWidth(runs) != runsWidth(m_runs);
    m_runs = runs;
    if (isVisible() != shown) {
        setVisible(shown);
        Q_EMIT shownChanged(shown);
    }
    if (resized) {
        updateGeometry();
        Q_EMIT sizeHintChanged();
    }
    update();
}

QSize Readout::sizeHint() const
{
    const double width = std::min<double>(std::ceil(runsWidth(m_runs)) + 2 * padX, maxWidth);
    const double height = std::ceil(QFontMetricsF(runFont(false)).height()) + 2 * padY;
    return {int(width), int(height)};
}

void Readout::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF box = QRectF(rect());
    QPainterPath capsule;
    capsule.addRoundedRect(box, box.height() / 2, box.height() / 2);
    QPainterPath edge;
    const QRectF inner = box.adjusted(0.5, 0.5, -0.5, -0.5);
    edge.addRoundedRect(inner, inner.height() / 2, inner.height() / 2);
    paintGlass(p, capsule, edge);

    double x = padX;
    const double right = box.width() - padX;
    for (const ReadoutRun &run : m_runs) {
        const QFont font = runFont(run.emphasised);
        const QFontMetricsF metrics(font);
        QString text = run.text;
        const double available = right - x;
        bool last = false;
        if (metrics.horizontalAdvance(text) > available) {
            text = metrics.elidedText(text, Qt::ElideRight, available);
            last = true;
        }
        p.setFont(font);
        p.setPen(run.emphasised ? panel::bright() : panel::dim());
        p.drawText(QRectF(x, 0, available, box.height()), Qt::AlignVCenter | Qt::AlignLeft, text);
        x += metrics.horizontalAdvance(text);
        if (last)
            break;
    }
}

// The drawer tab.

namespace {
constexpr double tabTop = 14, tabLeading = 9, tabBottom = 12, tabTrailing = 7;
constexpr double tabSpacing = 9;
constexpr QSizeF grip{3, 18};
constexpr double art = 22;
constexpr QSizeF word{14, 60};
} // namespace

DrawerTab::DrawerTab(QWidget *parent, ArtworkStore *store)
    : QWidget(parent)
    , m_loader(new ArtworkLoader(this, store))
{
    setAttribute(Qt::WA_TranslucentBackground);
    setCursor(Qt::PointingHandCursor);
    connect(m_loader, &ArtworkLoader::imageChanged, this, qOverload<>(&QWidget::update));
}

void DrawerTab::setArtworkURL(const std::optional<QUrl> &url)
{
    m_loader->setSource(url, 160);
    if (isVisible())
        m_loader->activate();
    update();
}

void DrawerTab::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    m_loader->activate();
}

QSize DrawerTab::sizeHint() const
{
    const double width = tabLeading + art + tabTrailing;
    const double height = tabTop + grip.height() + tabSpacing + art + tabSpacing + word.height() + tabBottom;
    return {int(width), int(height)};
}

void DrawerTab::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF box = QRectF(rect());
    const auto leftRounded = [](const QRectF &r, double radius) {
        QPainterPath path;
        path.moveTo(r.right(), r.top());
        path.lineTo(r.left() + radius, r.top());
        path.arcTo(QRectF(r.left(), r.top(), 2 * radius, 2 * radius), 90, 90);
        path.lineTo(r.left(), r.bottom() - radius);
        path.arcTo(QRectF(r.left(), r.bottom() - 2 * radius, 2 * radius, 2 * radius), 180, 90);
        path.lineTo(r.right(), r.bottom());
        path.closeSubpath();
        return path;
    };
    paintGlass(p, leftRounded(box, 12), leftRounded(box.adjusted(0.5, 0.5, 0, -0.5), 11.5));

    const double column = tabLeading + art / 2;
    double y = tabTop;
    QPainterPath gripShape;
    gripShape.addRoundedRect(QRectF(column - grip.width() / 2, y, grip.width(), grip.height()), 1.5, 1.5);
    p.fillPath(gripShape, QColor(255, 255, 255, qRound(255 * 0.35)));
    y += grip.height() + tabSpacing;

    const QRectF artRect(column - art / 2, y, art, art);
    QPainterPath artShape;
    artShape.addRoundedRect(artRect, 2, 2);
    p.save();
    p.setClipPath(artShape);
    cover::paintArtwork(p, artRect, m_loader->image(), cover::albumPlaceholder);
    p.restore();
    y += art + tabSpacing;

    p.save();
    p.translate(column, y + word.height() / 2);
    p.rotate(-90);
    QFont font = fonts::font(fonts::sans(), 11);
    font.setLetterSpacing(QFont::AbsoluteSpacing, 1.76);
    p.setFont(font);
    p.setPen(panel::dim());
    p.drawText(QRectF(-word.height() / 2, -word.width() / 2, word.height(), word.width()), Qt::AlignCenter,
               u"TRACKS"_s);
    p.restore();
}

void DrawerTab::mousePressEvent(QMouseEvent *event)
{
    event->accept();
}

void DrawerTab::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        Q_EMIT clicked();
}

} // namespace velloran
