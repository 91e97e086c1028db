#include "sound/ServerSlack.h"

#include <algorithm>

namespace sound {

using Ms = std::chrono::milliseconds;
using Us = std::chrono::microseconds;

ServerSlack::ServerSlack(int userMilliseconds, Clock::time_point madeAt)
    : m_current(userMilliseconds > 0 ? userMilliseconds : kMost), m_next(m_current),
      m_fixed(userMilliseconds > 0), m_lastTrouble(madeAt)
{
}

bool ServerSlack::noteGap(Clock::duration gap, Clock::time_point now)
{
    m_longest = std::max(m_longest, gap);
    // A wait of three quarters of the slack left the server a quarter of it.
    if (m_fixed || gap * 4 <= Ms(3 * m_current))
        return false;
    m_lastTrouble = now;
    m_longest = {};
    m_next = std::max(m_next, std::min(2 * m_current, kMost));
    return gap > Ms(m_current) && m_next > m_current;
}

int ServerSlack::forOpen(Clock::time_point now)
{
    const int lower = std::max(m_next / 2, kLeast);
    // A spell that saw sound is judged on its longest gap, and the next spell begins; without
    // sound there is nothing to judge yet.
    if (!m_fixed && lower < m_next && now - m_lastTrouble >= kQuietSpell && m_longest > Clock::duration{}) {
        // The server asks for sound about every quarter of its slack; what a gap has beyond that
        // is the machine's stall, which the smaller amount must cover with half of it.
        if (m_longest - Us(250 * m_next) <= Us(500 * lower))
            m_next = lower;
        m_lastTrouble = now;
        m_longest = {};
    }
    m_current = m_next;
    return m_current;
}

} // namespace sound
