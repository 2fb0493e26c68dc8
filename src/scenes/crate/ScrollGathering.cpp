#include "scenes/crate/ScrollGathering.h"

#include <cmath>

namespace velloran::crate {

std::optional<double> ScrollGathering::add(double delta, double now)
{
    m_gathered += delta;
    if ((m_last && now - *m_last <= interval) || std::abs(m_gathered) <= threshold)
        return std::nullopt;
    const double step = -m_gathered;
    m_gathered = 0;
    m_last = now;
    return step;
}

} // namespace velloran::crate
