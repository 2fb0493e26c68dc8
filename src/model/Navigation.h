#pragma once

#include "model/SleeveFlight.h"

#include <QObject>

#include <optional>

namespace velloran {

// What every browsing scene shares of where the user is: the screen showing, and the
// sleeve flying from where a record was picked to the turntable.
class Navigation : public QObject {
    Q_OBJECT

public:
    enum class Screen { shelf, crates, turntable };
    Q_ENUM(Screen)

    using QObject::QObject;

    Screen screen() const { return m_screen; }
    void setScreen(Screen screen);
    const std::optional<SleeveFlight> &flight() const { return m_flight; }
    void setFlight(const std::optional<SleeveFlight> &flight);

Q_SIGNALS:
    void screenChanged(velloran::Navigation::Screen screen);
    void flightChanged(std::optional<velloran::SleeveFlight> flight);

private:
    Screen m_screen = Screen::shelf;
    std::optional<SleeveFlight> m_flight;
};

} // namespace velloran
