#include "app/StartupTimes.h"

#include <QRegularExpression>
#include <QTest>
#include <QWidget>
#include <gtest/gtest.h>

namespace {

// Shows a window watched by `times` and returns what was printed to standard error by the time
// the window has painted and the event loop has run again.
std::string ShowAndCapture(app::StartupTimes &times)
{
    QWidget window;
    window.resize(40, 30);
    testing::internal::CaptureStderr();
    times.Mark("layouts");
    times.WatchFirstPaint(&window);
    window.show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&window));
    for (int i = 0; i < 20; ++i)
        QTest::qWait(10);
    return testing::internal::GetCapturedStderr();
}

TEST(StartupTimes, OneLineWithEveryPhaseInOrderOnlyWhenAsked)
{
    qunsetenv("SOUNDGEN_STARTUP_TIMES");
    {
        app::StartupTimes quiet;
        EXPECT_FALSE(quiet.Enabled());
        quiet.Mark("toolkit");
        EXPECT_EQ(ShowAndCapture(quiet), "");
    }

    qputenv("SOUNDGEN_STARTUP_TIMES", "1");
    app::StartupTimes times;
    qunsetenv("SOUNDGEN_STARTUP_TIMES");
    ASSERT_TRUE(times.Enabled());
    times.Mark("toolkit");
    const QString printed = QString::fromStdString(ShowAndCapture(times));
    const QRegularExpression line(QStringLiteral(
        R"(^startup: main=(\d+) toolkit=(\d+\.\d\d) layouts=(\d+\.\d\d) paint=(\d+\.\d\d) total=(\d+\.\d\d)\n$)"));
    const QRegularExpressionMatch match = line.match(printed);
    ASSERT_TRUE(match.hasMatch()) << printed.toStdString();
    const double sum =
        match.captured(2).toDouble() + match.captured(3).toDouble() + match.captured(4).toDouble();
    EXPECT_NEAR(match.captured(5).toDouble(), sum, 0.02);
    EXPECT_GT(match.captured(1).toLongLong(), 0);
    // The first paint is reported once; later paints print nothing more.
    QWidget again;
    testing::internal::CaptureStderr();
    times.WatchFirstPaint(&again);
    again.show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&again));
    QTest::qWait(50);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
}

} // namespace
