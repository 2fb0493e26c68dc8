#include "model/Navigation.h"

namespace velloran {

void Navigation::setScreen(Screen screen)
{
    if (m_screen == screen)
        return;
    m_screen = screen;
    Q_EMIT screenChanged(screen);
}

void Navigation::setFlight(const std::optional<SleeveFlight> &flight)
{
    if (m_flight == flight)
        return;
    m_flight = flight;
    Q_EMIT flightChanged(flight);
}

} // namespace velloran
