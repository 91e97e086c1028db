#include "lbbutton/LbButtonThread.h"

#include "lbbutton/LbButton.h"

#include <algorithm>
#include <atomic>
#include <cstdint>

#include <sys/eventfd.h>
#include <unistd.h>

namespace lbbutton {

namespace {

std::atomic<int> &intervalMs()
{
    static std::atomic<int> value{30};
    return value;
}

} // namespace

TLbButtonThread::TLbButtonThread(TLbButton *button) : FButton(button), FInterval(Interval())
{
    FWakeFd = ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    if (FWakeFd >= 0) {
        FNotifier = std::make_unique<QSocketNotifier>(FWakeFd, QSocketNotifier::Read);
        QObject::connect(FNotifier.get(), &QSocketNotifier::activated, button, [this, button] {
            uint64_t count = 0;
            (void)!::read(FWakeFd, &count, sizeof count);
            button->FadeTick();
        });
    }
    FThread = std::thread([this] { Execute(); });
}

TLbButtonThread::~TLbButtonThread()
{
    Terminate();
    WaitFor();
    FNotifier.reset();
    if (FWakeFd >= 0)
        ::close(FWakeFd);
}

void TLbButtonThread::Wake()
{
    if (FWakeFd >= 0) {
        const uint64_t one = 1;
        (void)!::write(FWakeFd, &one, sizeof one);
    } else {
        // No descriptor to spare: a queued call does the same.
        QMetaObject::invokeMethod(FButton, "FadeTick", Qt::QueuedConnection);
    }
}

void TLbButtonThread::SetInterval(std::chrono::milliseconds interval)
{
    intervalMs().store(int(std::max<std::chrono::milliseconds::rep>(interval.count(), 0)));
}

std::chrono::milliseconds TLbButtonThread::Interval()
{
    return std::chrono::milliseconds(intervalMs().load());
}

void TLbButtonThread::Resume()
{
    std::lock_guard lock(FMutex);
    FSuspended = false;
    FWake.notify_all();
}

void TLbButtonThread::Suspend()
{
    std::lock_guard lock(FMutex);
    FSuspended = true;
}

bool TLbButtonThread::Suspended() const
{
    std::lock_guard lock(FMutex);
    return FSuspended;
}

void TLbButtonThread::Terminate()
{
    std::lock_guard lock(FMutex);
    FTerminated = true;
    FWake.notify_all();
}

bool TLbButtonThread::Terminated() const
{
    std::lock_guard lock(FMutex);
    return FTerminated;
}

void TLbButtonThread::WaitFor()
{
    if (FThread.joinable() && FThread.get_id() != std::this_thread::get_id())
        FThread.join();
}

bool TLbButtonThread::TakeStepRequest()
{
    std::lock_guard lock(FMutex);
    const bool requested = FStepRequested;
    FStepRequested = false;
    return requested;
}

void TLbButtonThread::StepDone()
{
    std::lock_guard lock(FMutex);
    FStepDone = true;
    FWake.notify_all();
}

void TLbButtonThread::Execute()
{
    std::unique_lock lock(FMutex);
    for (;;) {
        FWake.wait(lock, [this] { return !FSuspended || FTerminated; });
        if (FTerminated)
            return;
        if (FWake.wait_for(lock, FInterval, [this] { return FTerminated; }))
            return;
        FStepRequested = true;
        FStepDone = false;
        lock.unlock();
        // Never a blocking call: the GUI thread may be waiting for this thread right now.
        Wake();
        lock.lock();
        FWake.wait(lock, [this] { return FStepDone || FTerminated; });
        if (FTerminated)
            return;
    }
}

} // namespace lbbutton
