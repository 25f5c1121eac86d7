// The clock and sleep of the Win32 subset.
#include <windows.h>

#include <errno.h>
#include <time.h>

namespace {

const LONGLONG NanosecondsPerSecond = 1000000000;

} // namespace

extern "C" {

BOOL WINAPI QueryPerformanceCounter(LARGE_INTEGER* count)
{
    timespec now;
    if (count == nullptr || clock_gettime(CLOCK_MONOTONIC, &now) != 0)
        return FALSE;
    count->QuadPart = static_cast<LONGLONG>(now.tv_sec) * NanosecondsPerSecond + now.tv_nsec;
    return TRUE;
}

BOOL WINAPI QueryPerformanceFrequency(LARGE_INTEGER* frequency)
{
    if (frequency == nullptr)
        return FALSE;
    frequency->QuadPart = NanosecondsPerSecond;
    return TRUE;
}

// A signal does not cut the sleep short, as on Windows.
void WINAPI Sleep(DWORD milliseconds)
{
    timespec pause = {static_cast<time_t>(milliseconds / 1000), static_cast<long>(milliseconds % 1000) * 1000000};
    while (nanosleep(&pause, &pause) != 0 && errno == EINTR) {}
}

// The system's sleep is as precise as it gets already.
UINT WINAPI timeBeginPeriod(UINT)
{
    return TIMERR_NOERROR;
}

UINT WINAPI timeEndPeriod(UINT)
{
    return TIMERR_NOERROR;
}

} // extern "C"
