#pragma once

#include <chrono>

namespace sound {

// How much sound the sound server is asked to hold ahead of the player. Little slack lets a
// click sound at once; a machine that stalls needs more, or the sound has gaps. The slack starts
// small, doubles (up to its most) whenever the callbacks came so late that the server had nearly
// run dry, and comes down a step at an open after a quiet spell. A user's own setting stays.
class ServerSlack
{
public:
    using Clock = std::chrono::steady_clock;
    static constexpr int kLeast = 25;
    static constexpr int kMost = 100;
    static constexpr std::chrono::seconds kQuietSpell{60};

    // `userMilliseconds` above 0 fixes the slack there.
    explicit ServerSlack(int userMilliseconds = 0);

    int milliseconds() const { return m_milliseconds; }
    bool fixed() const { return m_fixed; }
    // Callbacks this far apart left the server with a quarter of its slack or less.
    Clock::duration tooLate() const;
    // The longest wait between two callbacks while sound was due, seen at `now`; true when the
    // slack grew and the device should be opened again with it.
    bool noteGap(Clock::duration gap, Clock::time_point now);
    // The slack to open the device with at `now`.
    int forOpen(Clock::time_point now);

private:
    int m_milliseconds;
    bool m_fixed;
    Clock::time_point m_lastTrouble{}; // the last late callback, or the last step down
};

} // namespace sound
