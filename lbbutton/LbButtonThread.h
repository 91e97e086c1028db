#pragma once

#include <QSocketNotifier>

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

namespace lbbutton {

class TLbButton;

// Sleeps, then hands one fade step to the button's thread and waits until it ran; never waits
// for anything once asked to terminate. Created suspended. The hand-over is a wake-up on a
// descriptor the GUI thread's event loop watches, so the thread itself never calls the toolkit.
class TLbButtonThread
{
public:
    explicit TLbButtonThread(TLbButton *button);
    ~TLbButtonThread();

    TLbButtonThread(const TLbButtonThread &) = delete;
    TLbButtonThread &operator=(const TLbButtonThread &) = delete;

    void Resume();
    void Suspend();
    bool Suspended() const;
    void Terminate();
    bool Terminated() const;
    // Joins the thread; call Terminate first.
    void WaitFor();

    // GUI side of the hand-over: true once per requested step.
    bool TakeStepRequest();
    void StepDone();

    // Pause between steps, for every thread started afterwards (tests shorten it).
    static void SetInterval(std::chrono::milliseconds interval);
    static std::chrono::milliseconds Interval();

private:
    void Execute();
    void Wake();

    TLbButton *FButton; // outlives the thread: its destructor joins it
    int FWakeFd = -1;
    std::unique_ptr<QSocketNotifier> FNotifier;
    mutable std::mutex FMutex;
    std::condition_variable FWake;
    bool FSuspended = true;
    bool FTerminated = false;
    bool FStepRequested = false;
    bool FStepDone = false;
    std::chrono::milliseconds FInterval;
    std::thread FThread;
};

} // namespace lbbutton
