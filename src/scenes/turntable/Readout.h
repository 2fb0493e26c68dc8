#pragma once

#include "core/Clock.h"
#include "scenes/turntable/ReadoutText.h"

#include <QTimer>
#include <QWidget>

namespace velloran {

class Turntable;

// The pill at the top of the turntable screen that says what is on the deck: the record in
// its sleeve, the side, track and time playing, or the side that is up. Shown only while the
// deck has a record; while shown it looks again twice a second and repaints only when the
// line has changed.
class Readout : public QWidget {
    Q_OBJECT

public:
    static constexpr int maxWidth = 560;
    static constexpr int refreshMs = 500;

    Readout(Turntable &turntable, Clock &clock, QWidget *parent = nullptr);

    const QList<ReadoutRun> &runs() const { return m_runs; }
    QString text() const { return plainText(m_runs); }
    bool isRefreshing() const { return m_timer.isActive(); }

    QSize sizeHint() const override;

public Q_SLOTS:
    // Reads the models again.
    void refresh();

public:
Q_SIGNALS:
    void shownChanged(bool shown);
    // The line's width changed, so the pill wants another width.
    void sizeHintChanged();

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    Turntable &m_turntable;
    Clock &m_clock;
    QTimer m_timer;
    QList<ReadoutRun> m_runs;
};

// The drawer's handle at the right edge: a grip, the record's artwork and "TRACKS".
class DrawerTab : public QWidget {
    Q_OBJECT

public:
    explicit DrawerTab(QWidget *parent = nullptr, class ArtworkStore *store = nullptr);

    void setArtworkURL(const std::optional<QUrl> &url);
    QSize sizeHint() const override;

Q_SIGNALS:
    void clicked();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    class ArtworkLoader *m_loader;
};

} // namespace velloran
