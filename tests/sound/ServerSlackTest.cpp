#include "sound/ServerSlack.h"

#include <gtest/gtest.h>

using sound::ServerSlack;
using namespace std::chrono_literals;

// One machine's story: callbacks later than three quarters of the slack double it up to its
// most; it comes down one halving per quiet spell, at an open. A user's amount never moves.
TEST(ServerSlack, DoublesOnLateCallbacksAndHalvesAfterEachQuietSpell)
{
    const struct
    {
        std::chrono::milliseconds at;
        std::chrono::microseconds gap; // a callback gap seen at `at`; 0: an open at `at`
        int adaptive;                  // slack afterwards
        bool reopen;                   // the gap asks for a new open
    } story[] = {
        {0ms, 0us, 25, false},    {1s, 18750us, 25, false}, {1s, 18751us, 50, true},
        {2s, 37500us, 50, false}, {2s, 37501us, 100, true}, {3s, 500000us, 100, false},
        {62s, 0us, 100, false},   {63s, 0us, 50, false},    {100s, 0us, 50, false},
        {123s, 0us, 25, false},   {1000s, 0us, 25, false},  {1001s, 18751us, 50, true},
    };
    for (const int user : {0, 40}) {
        ServerSlack slack(user);
        for (const auto &e : story) {
            SCOPED_TRACE(testing::Message() << "user " << user << ", at " << e.at.count() << " ms");
            const auto now = ServerSlack::Clock::time_point{} + e.at;
            if (e.gap == 0us)
                EXPECT_EQ(slack.forOpen(now), user ? user : e.adaptive);
            else
                EXPECT_EQ(slack.noteGap(e.gap, now), !user && e.reopen);
            EXPECT_EQ(slack.milliseconds(), user ? user : e.adaptive);
        }
    }
}
