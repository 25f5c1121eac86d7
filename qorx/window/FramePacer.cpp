#include "qorx/window/FramePacer.h"

#include <windows.h>

namespace {

const UINT TimerPrecisionMs = 1;

int64_t ticksNow()
{
    LARGE_INTEGER count;
    QueryPerformanceCounter(&count);
    return count.QuadPart;
}

} // namespace

FramePacer::FramePacer() : enabled(true), ticksPerFrame(0), ticksPerMillisecond(0), nextDeadline(0), started(false) {}

FramePacer::~FramePacer()
{
    stop();
}

void FramePacer::start()
{
    if (started)
        return;
    LARGE_INTEGER frequency;
    if (!QueryPerformanceFrequency(&frequency) || frequency.QuadPart < 1000)
        return;
    ticksPerFrame = frequency.QuadPart / FramesPerSecond;
    ticksPerMillisecond = frequency.QuadPart / 1000;
    nextDeadline = 0;
    timeBeginPeriod(TimerPrecisionMs);
    started = true;
}

void FramePacer::stop()
{
    if (!started)
        return;
    timeEndPeriod(TimerPrecisionMs);
    started = false;
}

void FramePacer::waitForNextFrame()
{
    if (!enabled || !started)
        return;
    int64_t now = ticksNow();
    if (nextDeadline == 0 || now - nextDeadline > ticksPerFrame) {
        nextDeadline = now + ticksPerFrame;
        return;
    }
    while (now < nextDeadline) {
        // Rounded up: waking early would only mean sleeping again.
        const int64_t milliseconds = (nextDeadline - now + ticksPerMillisecond - 1) / ticksPerMillisecond;
        Sleep(static_cast<DWORD>(milliseconds));
        now = ticksNow();
    }
    nextDeadline += ticksPerFrame;
}
