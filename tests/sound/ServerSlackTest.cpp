#include "sound/ServerSlack.h"

#include <gtest/gtest.h>

using sound::ServerSlack;
using namespace std::chrono_literals;

// One machine's story: the slack halves at each open after a quiet spell, down to its least; a
// callback later than three quarters of it doubles it for the next open, and one later than all
// of it asks for a new open at once. A user's amount never moves.
TEST(ServerSlack, HalvesAfterQuietSpellsAndDoublesOnLateCallbacks)
{
    const struct
    {
        std::chrono::milliseconds at;
        std::chrono::microseconds gap; // a callback gap seen at `at`; 0: an open at `at`
        int slack;                     // what an open at `at` gets, or the open device keeps
        bool reopen;                   // the gap asks for a new open at once
    } story[] = {
        {0ms, 0us, 100, false},     {59s, 0us, 100, false},    {60s, 0us, 50, false},
        {90s, 0us, 50, false},      {120s, 0us, 25, false},    {500s, 0us, 25, false},
        {501s, 18750us, 25, false}, {502s, 0us, 25, false},    {503s, 18751us, 25, false},
        {504s, 0us, 50, false},     {505s, 50001us, 50, true}, {505s, 0us, 100, false},
        {506s, 900ms, 100, false},  {566s, 0us, 50, false},    {567s, 37501us, 50, false},
        {568s, 0us, 100, false},
    };
    for (const int user : {0, 40}) {
        ServerSlack slack(user, ServerSlack::Clock::time_point{});
        for (const auto &e : story) {
            SCOPED_TRACE(testing::Message() << "user " << user << ", at " << e.at.count() << " ms");
            const auto now = ServerSlack::Clock::time_point{} + e.at;
            if (e.gap == 0us)
                EXPECT_EQ(slack.forOpen(now), user ? user : e.slack);
            else
                EXPECT_EQ(slack.noteGap(e.gap, now), !user && e.reopen);
            EXPECT_EQ(slack.milliseconds(), user ? user : e.slack);
        }
    }
}
