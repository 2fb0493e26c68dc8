#pragma once

#include "core/Clock.h"
#include "scenes/crate/ScrollGathering.h"

#include <QObject>
#include <QPointer>
#include <QWidget>

#include <functional>

namespace velloran::crate {

// Takes the scroll wheel's and the trackpad's events of one window, wherever in it they
// land, and turns them into steps (see ScrollGathering). Events of other windows pass on
// untouched. Watches the application while it exists: the owner creates it when its view
// comes on screen and deletes it when the view goes.
class ScrollWheel : public QObject {
    Q_OBJECT

public:
    using Step = std::function<void(double)>;

    ScrollWheel(QWidget &view, Clock &clock, Step step, QObject *parent = nullptr);
    ~ScrollWheel() override;

    const ScrollGathering &gathering() const { return m_gathering; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool belongsToView(QObject *watched) const;

    QPointer<QWidget> m_view;
    Clock &m_clock;
    Instant m_epoch;
    Step m_step;
    ScrollGathering m_gathering;
};

} // namespace velloran::crate
