#pragma once

#include <chrono>

namespace sound {

// How much sound the sound server is asked to hold ahead of the player. Little slack lets a knob
// step or a quick restart sound at once; a machine that stalls needs more, or the sound has gaps.
// The slack starts where a busy machine keeps its tone whole. At an open after a quiet spell it
// comes down a step, but only when the longest stall seen while sound played in that spell would
// have fitted into the smaller amount with room to spare. It doubles again when the callbacks come so late
// that the server nearly runs dry: at the next open, or at once when it did run dry. A user's
// own setting stays.
class ServerSlack
{
public:
    using Clock = std::chrono::steady_clock;
    static constexpr int kLeast = 25;
    static constexpr int kMost = 100;
    static constexpr std::chrono::seconds kQuietSpell{60};

    // `userMilliseconds` above 0 fixes the slack there; the first quiet spell begins at `madeAt`.
    explicit ServerSlack(int userMilliseconds = 0, Clock::time_point madeAt = Clock::now());

    // What the open device asked for.
    int milliseconds() const { return m_current; }
    bool fixed() const { return m_fixed; }
    // The longest wait between two callbacks while sound was due, seen at `now`. True when the
    // server ran dry and the device is to be opened again at once with more slack.
    bool noteGap(Clock::duration gap, Clock::time_point now);
    // The slack to open the device with at `now`.
    int forOpen(Clock::time_point now);

private:
    int m_current;
    int m_next;
    bool m_fixed;
    Clock::time_point m_lastTrouble; // the last late callback, or where the quiet spell began
    Clock::duration m_longest{};     // the longest gap in the spell; none seen yet: no step down
};

} // namespace sound
