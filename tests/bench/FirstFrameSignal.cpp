// Linked into qorx-demo-first-frame with -Wl,--wrap=SwapBuffers: after the
// first swap, that is once the first frame is on screen, one byte goes to the
// file descriptor named by QORX_FIRST_FRAME_FD, where the benchmark waits.
#include <windows.h>

#include <cstdlib>
#include <unistd.h>

extern "C" BOOL __real_SwapBuffers(HDC deviceContext);

extern "C" BOOL __wrap_SwapBuffers(HDC deviceContext)
{
    static bool signalled = false;
    const BOOL result = __real_SwapBuffers(deviceContext);
    const char* fd = std::getenv("QORX_FIRST_FRAME_FD");
    if (!signalled && fd) {
        signalled = true;
        const char byte = 1;
        if (write(std::atoi(fd), &byte, 1) != 1)
            _exit(3);
    }
    return result;
}
