#include "FramePacer.h"

#include <atomic>
#include <errno.h>
#include <time.h>

namespace {

std::atomic<bool> capEnabled{true};

int64_t nowNs()
{
    timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<int64_t>(now.tv_sec) * 1000000000 + now.tv_nsec;
}

void sleepUntilNs(int64_t deadline)
{
    timespec until;
    until.tv_sec = static_cast<time_t>(deadline / 1000000000);
    until.tv_nsec = static_cast<long>(deadline % 1000000000);
    while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &until, nullptr) == EINTR) {}
}

} // namespace

void FramePacer::waitForNextFrame()
{
    if (!isEnabled())
        return;
    int64_t now = nowNs();
    if (nextDeadlineNs == 0 || now - nextDeadlineNs > framePeriodNs) {
        nextDeadlineNs = now + framePeriodNs;
        return;
    }
    if (now < nextDeadlineNs)
        sleepUntilNs(nextDeadlineNs);
    nextDeadlineNs += framePeriodNs;
}

void FramePacer::setEnabled(bool enabled)
{
    capEnabled.store(enabled);
}

bool FramePacer::isEnabled()
{
    return capEnabled.load();
}
