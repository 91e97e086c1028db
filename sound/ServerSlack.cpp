#include "sound/ServerSlack.h"

#include <algorithm>

namespace sound {

ServerSlack::ServerSlack(int userMilliseconds, Clock::time_point madeAt)
    : m_current(userMilliseconds > 0 ? userMilliseconds : kMost), m_next(m_current),
      m_fixed(userMilliseconds > 0), m_lastTrouble(madeAt)
{
}

bool ServerSlack::noteGap(Clock::duration gap, Clock::time_point now)
{
    // A wait of three quarters of the slack left the server a quarter of it.
    if (m_fixed || gap * 4 <= std::chrono::milliseconds(3 * m_current))
        return false;
    m_lastTrouble = now;
    m_next = std::max(m_next, std::min(2 * m_current, kMost));
    return gap > std::chrono::milliseconds(m_current) && m_next > m_current;
}

int ServerSlack::forOpen(Clock::time_point now)
{
    if (!m_fixed && m_next > kLeast && now - m_lastTrouble >= kQuietSpell) {
        m_next = std::max(m_next / 2, kLeast);
        m_lastTrouble = now;
    }
    m_current = m_next;
    return m_current;
}

} // namespace sound
