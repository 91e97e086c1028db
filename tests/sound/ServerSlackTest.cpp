#include "sound/ServerSlack.h"

#include <gtest/gtest.h>

using sound::ServerSlack;
using namespace std::chrono_literals;

// One machine's story. At an open after a quiet spell the slack halves, down to its least, when
// the spell saw sound and its longest stall (what a gap has beyond a quarter of the slack) fits
// in half of the smaller amount. A callback later than three quarters of the slack doubles it for
// the next open, and one later than all of it asks for a new open at once. A user's amount
// never moves.
TEST(ServerSlack, StepsDownAfterQuietSpellsThatProveItAndUpOnLateCallbacks)
{
    const struct
    {
        std::chrono::milliseconds at;
        std::chrono::microseconds gap; // a callback gap seen at `at`; 0: an open at `at`
        int slack;                     // what an open at `at` gets, or the open device keeps
        bool reopen;                   // the gap asks for a new open at once
    } story[] = {
        {0ms, 0us, 100, false},     {59s, 50000us, 100, false},   {60s, 0us, 50, false},
        {90s, 0us, 50, false},      {125s, 0us, 50, false},       {126s, 25001us, 50, false},
        {130s, 0us, 50, false},     {131s, 25000us, 50, false},   {189s, 0us, 50, false},
        {190s, 0us, 25, false},     {191s, 18750us, 25, false},   {300s, 0us, 25, false},
        {301s, 18751us, 25, false}, {302s, 0us, 50, false},       {303s, 50001us, 50, true},
        {303s, 0us, 100, false},    {304s, 900000us, 100, false}, {364s, 0us, 100, false},
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
