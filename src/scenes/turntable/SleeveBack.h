#pragma once

#include "model/ShelfEntry.h"
#include "scenes/turntable/SleeveBackRules.h"

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
    SleeveBack(Turntable &turntable, LibraryAccess &library, QWidget *parent = nullptr, ArtworkStore *store = nullptr);
    ~SleeveBack() override;

    bool isPinned() const { return m_pinned; }
    void setPinned(bool pinned);
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
    QScrollArea *m_scroll;
    QShortcut *m_escape;
};

} // namespace velloran
