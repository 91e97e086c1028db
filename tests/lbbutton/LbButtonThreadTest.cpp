// The fade thread against the GUI thread: buttons created and destroyed at random moments of
// their fades, SlowDecease toggled mid-fade, whole windows closed while buttons fade. A
// watchdog turns a deadlock into a failure instead of a hung run.
#include "lbbutton/LbButton.h"

#include "controls/Forms.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTest>
#include <gtest/gtest.h>

#include <atomic>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <random>
#include <thread>

using namespace controls;
using namespace lbbutton;

namespace {

// Aborts the run when the test body makes no progress for `limit` (a deadlock), however slow
// the machine or the sanitizer.
class Watchdog
{
public:
    explicit Watchdog(std::chrono::seconds limit)
    {
        FThread = std::thread([this, limit] {
            std::unique_lock lock(FMutex);
            int seen = -1;
            while (!FFinished) {
                if (FDone.wait_for(lock, limit,
                                   [this, &seen] { return FFinished || FTicks.load() != seen; })) {
                    seen = FTicks.load();
                    continue;
                }
                std::fprintf(stderr, "fade thread stress: no progress within %lld s (deadlock?)\n",
                             static_cast<long long>(limit.count()));
                std::abort();
            }
        });
    }
    ~Watchdog()
    {
        {
            std::lock_guard lock(FMutex);
            FFinished = true;
        }
        FDone.notify_all();
        FThread.join();
    }
    void Tick()
    {
        FTicks.fetch_add(1);
        FDone.notify_all();
    }

private:
    std::mutex FMutex;
    std::condition_variable FDone;
    std::atomic<int> FTicks{0};
    bool FFinished = false;
    std::thread FThread;
};

#if defined(__SANITIZE_THREAD__) || defined(__SANITIZE_ADDRESS__)
constexpr int Rounds = 1000; // sanitizers make every step many times slower
#else
constexpr int Rounds = 4000;
#endif

class IntervalScope
{
public:
    explicit IntervalScope(std::chrono::milliseconds interval) { TLbButtonThread::SetInterval(interval); }
    ~IntervalScope() { TLbButtonThread::SetInterval(std::chrono::milliseconds(30)); }
};

TLbButton *NewFadingButton(QWidget *parent, std::mt19937 &random)
{
    auto *b = new TLbButton(parent);
    b->SetBounds(int(random() % 200), int(random() % 100), 60, 24);
    b->setColor(0xC0C0C0);
    b->SetHotTrackColor(0x80CFEA);
    b->SetStyle(TLbButtonStyle(random() % 6));
    b->SetSlowDecease(true);
    b->show();
    return b;
}

// Pumps events until the fade has ended; false after 5 s.
bool RunOut(TLbButton *b)
{
    QElapsedTimer timer;
    timer.start();
    while (b->FadeLevel() != 0 && timer.elapsed() < 5000) {
        QCoreApplication::processEvents();
        std::this_thread::sleep_for(std::chrono::microseconds(100));
    }
    return b->FadeLevel() == 0;
}

} // namespace

TEST(LbButtonThreadStress, CreateDestroyAndToggleAtRandomMomentsOfAFade)
{
    Watchdog watchdog(std::chrono::seconds(30));
    IntervalScope interval(std::chrono::milliseconds(1));
    std::mt19937 random(20240601);
    auto form = std::make_unique<TForm>();
    form->setClientWidth(300);
    form->setClientHeight(150);
    form->setVisible(true);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));

    QList<QPointer<TLbButton>> pool;
    int created = 0, destroyed = 0, toggled = 0, formsClosed = 0, stepsSeen = 0, fadesFinished = 0;
    for (int i = 0; i < Rounds; ++i) {
        watchdog.Tick();
        if (pool.size() < 6) {
            pool.append(NewFadingButton(form.get(), random));
            ++created;
        }
        TLbButton *b = pool[int(random() % pool.size())];
        ASSERT_NE(b, nullptr);
        b->MouseEnter();
        b->MouseLeave();
        // A random moment of the fade: some steps may have been handed over, some not yet.
        const int pumps = int(random() % 12);
        for (int k = 0; k < pumps; ++k) {
            if (random() % 3 == 0)
                std::this_thread::sleep_for(std::chrono::microseconds(random() % 1500));
            QCoreApplication::processEvents();
        }
        // Sometimes the fade is left to run out.
        if (random() % 8 == 0) {
            ASSERT_TRUE(RunOut(b)) << "fade stuck";
        }
        if (b->FadeLevel() < 8)
            ++stepsSeen;
        if (b->FadeLevel() == 0 && b->FadeThread() && b->FadeThread()->Suspended())
            ++fadesFinished;
        switch (random() % 5) {
        case 0: // destroyed mid-fade
            pool.removeOne(b);
            delete b;
            ++destroyed;
            break;
        case 1: // SlowDecease off mid-fade: no thread left, face back at once
            b->SetSlowDecease(false);
            EXPECT_EQ(b->FadeThread(), nullptr);
            EXPECT_EQ(b->FadeLevel(), 0);
            QCoreApplication::processEvents();
            EXPECT_EQ(b->FadeLevel(), 0) << "no step after the stop";
            b->SetSlowDecease(true);
            ++toggled;
            break;
        case 2: // re-entered mid-fade
            b->MouseEnter();
            EXPECT_EQ(b->FadeLevel(), 8);
            break;
        default:
            break;
        }
        // Now and then the whole window closes with its buttons fading.
        if (i % 500 == 499) {
            for (const QPointer<TLbButton> &p : std::as_const(pool))
                if (p) {
                    p->MouseEnter();
                    p->MouseLeave();
                }
            QCoreApplication::processEvents();
            form.reset();
            QCoreApplication::processEvents();
            for (const QPointer<TLbButton> &p : std::as_const(pool))
                EXPECT_TRUE(p.isNull()) << "buttons go with their window";
            pool.clear();
            ++formsClosed;
            form = std::make_unique<TForm>();
            form->setClientWidth(300);
            form->setClientHeight(150);
            form->setVisible(true);
        }
    }
    form.reset();
    QCoreApplication::processEvents();
    std::printf("created %d, destroyed %d, SlowDecease toggled %d, windows closed %d, fades run out %d\n",
                created, destroyed, toggled, formsClosed, fadesFinished);
    EXPECT_GT(created, Rounds / 8);
    EXPECT_GT(destroyed, Rounds / 13);
    EXPECT_GT(toggled, Rounds / 13);
    EXPECT_EQ(formsClosed, Rounds / 500);
    EXPECT_GT(stepsSeen, Rounds / 8) << "the fades must actually have been running";
    EXPECT_GT(fadesFinished, Rounds / 400);
}

// Destroying a button while its thread waits for a step that the GUI thread has not run yet
// must neither block nor run the step afterwards; a neighbour's fade goes on undisturbed.
TEST(LbButtonThreadStress, DestroyWhileAStepIsPending)
{
    Watchdog watchdog(std::chrono::seconds(30));
    IntervalScope interval(std::chrono::milliseconds(0));
    TForm form;
    form.setVisible(true);
    auto *witness = new TLbButton(&form);
    witness->SetSlowDecease(true);
    witness->show();
    int witnessFades = 0;
    for (int i = 0; i < 500; ++i) {
        watchdog.Tick();
        auto *b = new TLbButton(&form);
        b->SetSlowDecease(true);
        b->show();
        b->MouseEnter();
        b->MouseLeave();
        if (i % 50 == 0) {
            witness->MouseEnter();
            witness->MouseLeave();
        }
        // Time for the thread to post its step, which is then dropped with the button.
        std::this_thread::sleep_for(std::chrono::microseconds(300));
        EXPECT_EQ(b->FadeLevel(), 8) << "no step ran before the events were processed";
        delete b;
        QCoreApplication::processEvents();
        if (i % 50 == 49) {
            ASSERT_TRUE(QTest::qWaitFor([&] { return witness->FadeLevel() == 0; }, 5000));
            ++witnessFades;
        }
    }
    EXPECT_EQ(witnessFades, 10);
    EXPECT_TRUE(QTest::qWaitFor([&] { return witness->FadeThread()->Suspended(); }, 2000));
}
