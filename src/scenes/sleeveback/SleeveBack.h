#pragma once

#include "model/ShelfEntry.h"
#include "scenes/sleeveback/SleeveBackRules.h"

#include <QCoroTask>
#include <QWidget>

class QScrollArea;
class QShortcut;
class QVBoxLayout;

namespace velloran {

class ArtworkStore;
class LibraryAccess;
class PlaybackController;
class Turntable;

// The drawer's content: the printed back of the record on the deck (facts, title, the pills
// that work the deck, notices, the track list of every side, the end-of-side setting), or the
// chooser listing the whole library to put a record on the deck. Always in the dark scheme.
class SleeveBack : public QWidget {
    Q_OBJECT
    Q_PROPERTY(bool pinned READ isPinned WRITE setPinned NOTIFY pinnedChanged)

public:
    // `startsOpen` false: the panel starts in a closed drawer and is first built when it opens.
    SleeveBack(Turntable &turntable, LibraryAccess &library, QWidget *parent = nullptr, ArtworkStore *store = nullptr,
               bool startsOpen = true);
    ~SleeveBack() override;

    bool isPinned() const { return m_pinned; }
    void setPinned(bool pinned);
    // The drawer opened or closed; while closed the panel is rebuilt only when it opens.
    void setOpen(bool open);
    bool showingLibrary() const { return m_showingLibrary; }
    void setShowingLibrary(bool showing);
    sleeveback::Face face() const;

    // Escape: back from the chooser to the record, or close the drawer.
    void escape();
    // Builds the face again from the models at once (normally done after the current event).
    void rebuildNow();
    // Picks a record in the chooser, as a click on its row does.
    QCoro::Task<> pick(ShelfEntry entry);

Q_SIGNALS:
    void pinnedChanged(bool pinned);
    void closeRequested();

protected:
    void paintEvent(QPaintEvent *event) override;

private Q_SLOTS:
    void scheduleRebuild();

private:
    QWidget *header(QWidget *titles, QList<QWidget *> buttons);
    void addHeaderButtons(QList<QWidget *> &buttons);
    void buildRecordFace(QVBoxLayout *layout);
    void buildChooser(QVBoxLayout *layout);

    Turntable &m_turntable;
    PlaybackController &m_controller;
    LibraryAccess &m_library;
    ArtworkStore *m_store;
    bool m_pinned = false;
    bool m_showingLibrary = false;
    bool m_rebuildPending = false;
    // Set while the drawer is known to be closed: nothing is rebuilt until it opens again,
    // so a long chooser costs nothing while nobody sees it.
    bool m_closed = false;
    bool m_stale = false;
    QScrollArea *m_scroll;
    QShortcut *m_escape;
};

} // namespace velloran
