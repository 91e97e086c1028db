#include "sound/ServerSlack.h"

#include <algorithm>

namespace sound {

ServerSlack::ServerSlack(int userMilliseconds)
    : m_milliseconds(userMilliseconds > 0 ? userMilliseconds : kLeast), m_fixed(userMilliseconds > 0)
{
}

ServerSlack::Clock::duration ServerSlack::tooLate() const
{
    return std::chrono::microseconds(m_milliseconds * 750);
}

bool ServerSlack::noteGap(Clock::duration gap, Clock::time_point now)
{
    if (m_fixed || gap <= tooLate())
        return false;
    m_lastTrouble = now;
    if (m_milliseconds >= kMost)
        return false;
    m_milliseconds = std::min(2 * m_milliseconds, kMost);
    return true;
}

int ServerSlack::forOpen(Clock::time_point now)
{
    if (!m_fixed && m_milliseconds > kLeast && now - m_lastTrouble >= kQuietSpell) {
        m_milliseconds = std::max(m_milliseconds / 2, kLeast);
        m_lastTrouble = now;
    }
    return m_milliseconds;
}

} // namespace sound
