// The page's clock is the browser's animation frames (SwapBuffers); there is
// no counter for a pacer of the program's own to wait on as well, which
// would drop frames between two of them.
#include <windows.h>

#include <emscripten.h>

extern "C" {

BOOL WINAPI QueryPerformanceCounter(LARGE_INTEGER* count)
{
    if (count != NULL)
        count->QuadPart = 0;
    return FALSE;
}

BOOL WINAPI QueryPerformanceFrequency(LARGE_INTEGER* frequency)
{
    if (frequency != NULL)
        frequency->QuadPart = 0;
    return FALSE;
}

// Hands control back to the browser for that long.
void WINAPI Sleep(DWORD milliseconds)
{
    emscripten_sleep(milliseconds);
}

UINT WINAPI timeBeginPeriod(UINT)
{
    return TIMERR_NOERROR;
}

UINT WINAPI timeEndPeriod(UINT)
{
    return TIMERR_NOERROR;
}

} // extern "C"
