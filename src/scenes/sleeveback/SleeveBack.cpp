#include "scenes/sleeveback/SleeveBack.h"

#include "artwork/ArtworkImage.h"
#include "artwork/CoverPainting.h"
#include "core/ConnectEach.h"
#include "model/LibraryAccess.h"
#include "paint/Fonts.h"
#include "playback/DeckChanges.h"
#include "playback/Turntable.h"
#include "scenes/sleeveback/FlowRow.h"
#include "scenes/sleeveback/PanelColours.h"
#include "scenes/sleeveback/SleeveBackParts.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QPointer>
#include <QProgressBar>
#include <QScrollArea>
#include <QScrollBar>
#include <QShortcut>
#include <QVBoxLayout>

namespace velloran {

using namespace Qt::StringLiterals;
using sleeveback::Pill;

namespace {

QFont tracked(const QString &family, double size, double tracking, int weight = QFont::Normal)
{
    QFont font = fonts::font(family, size, weight);
    font.setLetterSpacing(QFont::AbsoluteSpacing, tracking);
    return font;
}

// "‹ RECORDS": the way from the record to the chooser.
class BackLink : public QAbstractButton {
public:
    BackLink(const QString &title, QWidget *parent)
        : QAbstractButton(parent)
    {
        setText(title);
        setFont(tracked(fonts::mono(), 11, 1.54, QFont::Medium));
        setCursor(Qt::PointingHandCursor);
    }
    QSize sizeHint() const override
    {
        return {int(QFontMetricsF(font()).horizontalAdvance(text())) + 16, 22};
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        const QColor ink = isDown() ? panel::bright() : underMouse() ? panel::bright() : panel::dim();
        p.setPen(QPen(ink, 1.4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        const double mid = height() / 2.0;
        QPainterPath chevron;
        chevron.moveTo(5, mid - 4);
        chevron.lineTo(1.5, mid);
        chevron.lineTo(5, mid + 4);
        p.drawPath(chevron);
        p.setFont(font());
        p.drawText(QRectF(12, 0, width() - 12, height()), Qt::AlignVCenter | Qt::AlignLeft, text());
    }
    void enterEvent(QEnterEvent *event) override
    {
        update();
        QAbstractButton::enterEvent(event);
    }
    void leaveEvent(QEvent *event) override
    {
        update();
        QAbstractButton::leaveEvent(event);
    }
};

// The heading and track rows of one side.
class SideList : public QWidget {
public:
    SideList(const Record &record, const Side &side, Turntable &turntable, QWidget *parent)
        : QWidget(parent)
    {
        auto *column = new QVBoxLayout(this);
        column->setContentsMargins(0, 0, 0, 0);
        column->setSpacing(2);
        auto *heading = new QHBoxLayout;
        heading->setContentsMargins(8, 0, 8, 4);
        heading->addWidget(panelLabel(sleeveback::sideHeading(side), tracked(fonts::mono(), 11, 1.54, QFont::Medium),
                                      panel::dim(), this));
        heading->addStretch(1);
        heading->addWidget(panelLabel(durationText(side.durationMs), fonts::font(fonts::mono(), 11), panel::faint(), this));
        column->addLayout(heading);

        const PlaybackController &controller = turntable.controller();
        for (qint64 i = 0; i < side.tracks.size(); ++i) {
            const Track &track = side.tracks[i];
            const bool current = sleeveback::isCurrentTrack(controller, record.id, side.index, i);
            auto *row = new RowButton(current, this);
            row->setObjectName(u"track-%1-%2"_s.arg(side.index).arg(i));
            auto *line = new QHBoxLayout(row);
            line->setContentsMargins(8, 6, 8, 6);
            line->setSpacing(6);
            QLabel *number = panelLabel(QString::number(i + 1), fonts::font(fonts::mono(), 11),
                                        current ? panel::ember() : panel::faint(), row);
            number->setFixedWidth(24);
            line->addWidget(number, 0, Qt::AlignTop);
            auto *texts = new QVBoxLayout;
            texts->setSpacing(1);
            QLabel *title = panelLabel(track.title, fonts::font(fonts::sans(), 13.5, current ? QFont::Medium : QFont::Normal),
                                       panel::bright(), row);
            title->setWordWrap(true);
            texts->addWidget(title);
            if (record.kind == Record::Kind::playlist && !track.artist.isEmpty())
                texts->addWidget(panelLabel(track.artist, fonts::font(fonts::sans(), 11.5), panel::dim(), row));
            line->addLayout(texts, 1);
            line->addWidget(panelLabel(durationText(track.durationMs), fonts::font(fonts::mono(), 11), panel::dim(), row),
                            0, Qt::AlignTop);
            const qint64 sideIndex = side.index;
            QPointer<Turntable> deck(&turntable);
            connect(row, &QAbstractButton::clicked, row, [deck, sideIndex, i] {
                if (deck)
                    deck->play(sideIndex, false, i);
            });
            column->addWidget(row);
        }
    }
};

QWidget *pillRow(const QList<Pill> &pills, Turntable &turntable, QWidget *parent)
{
    auto *row = new QWidget(parent);
    auto *flow = new FlowRowLayout(8, row);
    QPointer<Turntable> deck(&turntable);
    for (const Pill &pill : pills) {
        auto *button = new PillButton(pill.title, pill.primary, row);
        flow->addWidget(button);
        QObject::connect(button, &QAbstractButton::clicked, row, [deck, pill] {
            if (!deck)
                return;
            switch (pill.action) {
            case Pill::Action::liftNeedle:
                if (deck->controller().isActive())
                    deck->controller().pause();
                break;
            case Pill::Action::putItOn:
                deck->play(0, true, 0);
                break;
            case Pill::Action::flip:
                deck->play(pill.side, false, 0);
                break;
            case Pill::Action::backInSleeve:
                deck->putAway();
                break;
            }
        });
    }
    return row;
}

} // namespace

SleeveBack::SleeveBack(Turntable &turntable, LibraryAccess &library, QWidget *parent, ArtworkStore *store,
                       bool startsOpen)
    : QWidget(parent)
    , m_turntable(turntable)
    , m_controller(turntable.controller())
    , m_library(library)
    , m_store(store)
    , m_scroll(new QScrollArea(this))
    , m_escape(new QShortcut(QKeySequence(Qt::Key_Escape), this))
{
    setAttribute(Qt::WA_TranslucentBackground);
    QPalette dark = palette();
    dark.setColor(QPalette::Window, panel::drawerBase());
    dark.setColor(QPalette::WindowText, panel::bright());
    dark.setColor(QPalette::Text, panel::bright());
    dark.setColor(QPalette::ButtonText, panel::bright());
    dark.setColor(QPalette::Base, panel::drawerBase());
    dark.setColor(QPalette::Highlight, panel::ember());
    setPalette(dark);

    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(1, 1, 1, 1);
    outer->addWidget(m_scroll);
    m_scroll->setFrameShape(QFrame::NoFrame);
    m_scroll->setWidgetResizable(true);
    m_scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_scroll->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_scroll->viewport()->setAutoFillBackground(false);
    m_scroll->setAutoFillBackground(false);
    QPalette clear = m_scroll->palette();
    clear.setColor(QPalette::Base, Qt::transparent);
    clear.setColor(QPalette::Window, Qt::transparent);
    m_scroll->setPalette(clear);
    m_scroll->viewport()->setPalette(clear);

    m_escape->setContext(Qt::WindowShortcut);
    m_escape->setEnabled(false);
    connect(m_escape, &QShortcut::activated, this, &SleeveBack::escape);

    // What the panel shows: the record and its sides, where the deck is, what plays, and
    // the library's entries. How the deck moves (the arm in the hand, the pitch, the
    // position) shows nowhere here.
    connectDeckState(m_turntable, this, &SleeveBack::scheduleRebuild);
    connectEach(&m_library, this, &SleeveBack::scheduleRebuild,
                &LibraryAccess::entriesChanged,
                &LibraryAccess::isLoadingChanged,
                &LibraryAccess::errorChanged);
    m_closed = !startsOpen;
    rebuildNow();
}

SleeveBack::~SleeveBack() = default;

void SleeveBack::setPinned(bool pinned)
{
    if (m_pinned == pinned)
        return;
    m_pinned = pinned;
    Q_EMIT pinnedChanged(pinned);
    scheduleRebuild();
}

void SleeveBack::setOpen(bool open)
{
    m_escape->setEnabled(open);
    m_closed = !open;
    if (open && m_stale)
        rebuildNow();
}

void SleeveBack::setShowingLibrary(bool showing)
{
    if (m_showingLibrary == showing)
        return;
    m_showingLibrary = showing;
    rebuildNow();
}

sleeveback::Face SleeveBack::face() const
{
    return sleeveback::face(m_showingLibrary, m_turntable.record().has_value());
}

void SleeveBack::escape()
{
    if (sleeveback::escape(m_showingLibrary, m_turntable.record().has_value()) == sleeveback::Escape::showRecord)
        setShowingLibrary(false);
    else
        Q_EMIT closeRequested();
}

void SleeveBack::scheduleRebuild()
{
    if (m_rebuildPending)
        return;
    m_rebuildPending = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            if (m_rebuildPending)
                rebuildNow();
        },
        Qt::QueuedConnection);
}

void SleeveBack::rebuildNow()
{
    m_rebuildPending = false;
    if (m_closed) {
        m_stale = true;
        return;
    }
    m_stale = false;
    const int scrolled = m_scroll->verticalScrollBar()->value();
    auto *content = new QWidget;
    content->setObjectName(face() == sleeveback::Face::chooser ? u"chooser"_s : u"record-face"_s);
    auto *layout = new QVBoxLayout(content);
    layout->setContentsMargins(20, 18, 16, 22);
    layout->setSpacing(16);
    if (face() == sleeveback::Face::chooser)
        buildChooser(layout);
    else
        buildRecordFace(layout);
    layout->addStretch(1);
    const bool sameFace = m_scroll->widget() && m_scroll->widget()->objectName() == content->objectName();
    delete m_scroll->takeWidget();
    m_scroll->setWidget(content);
    // The scroll area fills its content by default; here the glass behind must show.
    content->setAutoFillBackground(false);
    if (sameFace)
        m_scroll->verticalScrollBar()->setValue(scrolled);
}

void SleeveBack::addHeaderButtons(QList<QWidget *> &buttons)
{
    auto *pin = new GlassIconButton(m_pinned ? GlassIconButton::Icon::pinFill : GlassIconButton::Icon::pin, m_pinned,
                                    m_pinned ? u"Let the drawer close"_s : u"Keep the drawer open"_s);
    pin->setObjectName(u"pin"_s);
    connect(pin, &QAbstractButton::clicked, this, [this] { setPinned(!m_pinned); });
    auto *hide = new GlassIconButton(GlassIconButton::Icon::chevronRight, false, u"Hide"_s);
    hide->setObjectName(u"hide"_s);
    connect(hide, &QAbstractButton::clicked, this, &SleeveBack::closeRequested);
    buttons << pin << hide;
}

QWidget *SleeveBack::header(QWidget *titles, QList<QWidget *> buttons)
{
    auto *row = new QWidget;
    auto *line = new QHBoxLayout(row);
    line->setContentsMargins(0, 0, 0, 0);
    line->setSpacing(10);
    titles->setParent(row);
    line->addWidget(titles, 1, Qt::AlignTop);
    auto *group = new QHBoxLayout;
    group->setSpacing(6);
    for (QWidget *button : buttons) {
        button->setParent(row);
        group->addWidget(button, 0, Qt::AlignTop);
    }
    line->addLayout(group);
    line->setAlignment(group, Qt::AlignTop);
    return row;
}

void SleeveBack::buildRecordFace(QVBoxLayout *layout)
{
    const Record &record = *m_turntable.record();

    auto *titles = new QWidget;
    auto *column = new QVBoxLayout(titles);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(4);
    auto *records = new BackLink(u"RECORDS"_s, titles);
    records->setObjectName(u"records"_s);
    records->setToolTip(u"Your records"_s);
    connect(records, &QAbstractButton::clicked, this, [this] { setShowingLibrary(true); });
    column->addWidget(records, 0, Qt::AlignLeft);
    column->addSpacing(6);
    auto *facts = new FractionLabel(sleeveback::factsLine(record, m_turntable.at45()), tracked(fonts::mono(), 11, 1.54),
                                    panel::ember(), titles);
    facts->setObjectName(u"facts"_s);
    column->addWidget(facts);
    QLabel *title = panelLabel(record.title, fonts::font(fonts::serif(), 38), panel::bright(), titles);
    title->setObjectName(u"title"_s);
    title->setWordWrap(true);
    column->addWidget(title);
    QLabel *artist = panelLabel(record.artist, fonts::font(fonts::sans(), 14), panel::dim(), titles);
    artist->setWordWrap(true);
    column->addWidget(artist);
    QList<QWidget *> buttons;
    addHeaderButtons(buttons);
    layout->addWidget(header(titles, buttons));

    QWidget *pills = pillRow(sleeveback::pills(m_turntable), m_turntable, nullptr);
    pills->setObjectName(u"pills"_s);
    layout->addWidget(pills);

    if (const auto notice = sleeveback::sideOverNotice(record, m_turntable.sideOver())) {
        auto *box = new Notice(notice->text, notice->button);
        box->setObjectName(u"side-over"_s);
        QPointer<Turntable> deck(&m_turntable);
        const qint64 side = notice->side;
        connect(box, &Notice::performed, box, [deck, side] {
            if (deck)
                deck->play(side, false, 0);
        });
        layout->addWidget(box);
    }
    if (const std::optional<QString> &error = m_controller.lastError()) {
        auto *box = new Notice(*error, {});
        box->setObjectName(u"error"_s);
        layout->addWidget(box);
    }

    for (const Side &side : record.sides) {
        auto *list = new SideList(record, side, m_turntable, nullptr);
        list->setObjectName(u"side-%1"_s.arg(side.index));
        layout->addWidget(list);
    }

    auto *ending = new QWidget;
    auto *line = new QHBoxLayout(ending);
    line->setContentsMargins(8, 4, 0, 0);
    line->setSpacing(10);
    line->addWidget(panelLabel(u"At the end of a side"_s, fonts::font(fonts::sans(), 13), panel::dim(), ending));
    line->addStretch(1);
    auto *choice = new Segmented({u"Stop"_s, u"Flip"_s}, m_controller.autoFlip() ? 1 : 0, ending);
    choice->setObjectName(u"end-of-side"_s);
    QPointer<PlaybackController> controller(&m_controller);
    connect(choice, &Segmented::chosen, choice, [controller](int index) {
        if (controller)
            controller->setAutoFlip(index == 1);
    });
    line->addWidget(choice);
    layout->addWidget(ending);
}

void SleeveBack::buildChooser(QVBoxLayout *layout)
{
    auto *titles = new QWidget;
    auto *column = new QVBoxLayout(titles);
    column->setContentsMargins(0, 4, 0, 0);
    column->setSpacing(2);
    column->addWidget(panelLabel(u"YOUR RECORDS"_s, tracked(fonts::mono(), 11, 1.54), panel::ember(), titles));
    column->addWidget(panelLabel(u"Pick a record"_s, fonts::font(fonts::serif(), 32), panel::bright(), titles));

    QList<QWidget *> buttons;
    auto *reload = new GlassIconButton(GlassIconButton::Icon::reload, false, u"Reload your library"_s);
    reload->setObjectName(u"reload"_s);
    QPointer<LibraryAccess> library(&m_library);
    connect(reload, &QAbstractButton::clicked, this, [library] {
        if (library)
            library->load();
    });
    buttons << reload;
    if (m_turntable.record()) {
        auto *back = new GlassIconButton(GlassIconButton::Icon::chevronLeft, false, u"Back to the sleeve"_s);
        back->setObjectName(u"back"_s);
        connect(back, &QAbstractButton::clicked, this, [this] { setShowingLibrary(false); });
        buttons << back;
    }
    addHeaderButtons(buttons);
    layout->addWidget(header(titles, buttons));

    const QList<ShelfEntry> entries = m_library.entries();
    if (m_library.isLoading() && entries.isEmpty()) {
        auto *progress = new QProgressBar;
        progress->setObjectName(u"progress"_s);
        progress->setRange(0, 0);
        progress->setTextVisible(false);
        progress->setFixedHeight(4);
        progress->setStyleSheet(panel::progressStyle());
        layout->addWidget(progress);
    } else if (const std::optional<QString> error = m_library.error(); error && entries.isEmpty()) {
        QLabel *text = panelLabel(*error, fonts::font(fonts::sans(), 13), panel::dim());
        text->setObjectName(u"library-error"_s);
        text->setWordWrap(true);
        layout->addWidget(text);
    }

    auto *list = new QWidget;
    auto *rows = new QVBoxLayout(list);
    rows->setContentsMargins(0, 0, 0, 0);
    rows->setSpacing(2);
    const std::optional<Record> &onDeck = m_turntable.record();
    for (const ShelfEntry &entry : entries) {
        auto *row = new RowButton(false, list);
        row->setObjectName(u"entry-"_s + entry.id());
        auto *line = new QHBoxLayout(row);
        line->setContentsMargins(6, 6, 10, 6);
        line->setSpacing(12);
        auto *art = new ArtworkImage(entry.artworkURL, 160, cover::albumPlaceholder, row, m_store);
        art->setFixedSize(40, 40);
        art->setAttribute(Qt::WA_TransparentForMouseEvents);
        line->addWidget(art);
        auto *texts = new QVBoxLayout;
        texts->setSpacing(1);
        QLabel *title = panelLabel(entry.title, fonts::font(fonts::sans(), 13.5, QFont::Medium), panel::bright(), row);
        texts->addWidget(title);
        texts->addWidget(panelLabel(entry.artist, fonts::font(fonts::sans(), 12), panel::dim(), row));
        line->addLayout(texts, 1);
        if (onDeck && onDeck->id == entry.item.id) {
            auto *dot = new QWidget(row);
            dot->setObjectName(u"on-deck"_s);
            dot->setFixedSize(6, 6);
            dot->setStyleSheet(panel::onDeckDotStyle());
            line->addWidget(dot, 0, Qt::AlignVCenter);
        }
        connect(row, &QAbstractButton::clicked, this, [this, entry] { pick(entry); });
        rows->addWidget(row);
    }
    layout->addWidget(list);
}

QCoro::Task<> SleeveBack::pick(ShelfEntry entry)
{
    QPointer<SleeveBack> self(this);
    Record record;
    try {
        record = co_await m_library.record(entry.item);
    } catch (...) {
        // A record that can't be fetched changes nothing here: the panel keeps its list and
        // the row may be picked again. Failures of the library itself show as its own error
        // in the chooser, and playback failures on the record face; a passing network
        // fault on one pick is no reason to replace what the panel shows.
        co_return;
    }
    if (!self)
        co_return;
    self->m_turntable.place(record);
    self->setShowingLibrary(false);
}

void SleeveBack::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF box = QRectF(rect());
    QPainterPath shape;
    shape.addRoundedRect(box, 20, 20);
    // Smoked glass, warmer at the top where the lamp catches it. Without a blur behind it,
    // any see-through would only show the deck as a ghost, so it is solid.
    QLinearGradient glass(0, 0, 0, box.height());
    glass.setColorAt(0.0, panel::drawerGlassTop());
    glass.setColorAt(1.0, panel::drawerGlassBottom());
    p.fillPath(shape, glass);
    QPainterPath edge;
    edge.addRoundedRect(box.adjusted(0.5, 0.5, -0.5, -0.5), 19.5, 19.5);
    p.strokePath(edge, QPen(panel::drawerEdge(), 1));
}

} // namespace velloran
