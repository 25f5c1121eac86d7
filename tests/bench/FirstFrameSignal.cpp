// Linked into qorx-demo-first-frame with -Wl,--wrap for the calls below: each
// start-up step ends with one of them, and the wrapper sends the benchmark,
// through the file descriptor named by QORX_FIRST_FRAME_FD, the step's number
// and the monotonic clock's reading. After the first swap, that is once the
// first frame is on screen, the program ends at once, so that the CPU time
// the benchmark collects from it is the start-up's alone.
#include "StartupSteps.h"

#include <windows.h>

#include <GL/gl.h>
#include <GL/glu.h>
#include <fmod.h>

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <ctime>
#include <unistd.h>

extern "C" {
int WINAPI __real_WinMain(HINSTANCE, HINSTANCE, LPSTR, int);
signed char __real_FSOUND_Init(int, int, unsigned int);
HWND WINAPI __real_SetFocus(HWND);
void __real_glGenTextures(GLsizei, GLuint*);
GLint __real_gluBuild2DMipmaps(GLenum, GLint, GLsizei, GLsizei, GLenum, GLenum, const void*);
int __real_FSOUND_Stream_Play(int, FSOUND_STREAM*);
BOOL WINAPI __real_SwapBuffers(HDC);
}

namespace {

void mark(StartupStep step)
{
    const char* fd = std::getenv("QORX_FIRST_FRAME_FD");
    if (!fd)
        return;
    timespec cpu = {0, 0};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &cpu);
    const StepMark record = {static_cast<int32_t>(step), std::chrono::steady_clock::now().time_since_epoch().count(),
                             int64_t(cpu.tv_sec) * 1000000000 + cpu.tv_nsec};
    if (write(std::atoi(fd), &record, sizeof record) != sizeof record)
        _exit(3);
}

} // namespace

extern "C" {

int WINAPI __wrap_WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int show)
{
    mark(StartupStep::ProcessStart);
    return __real_WinMain(instance, previous, commandLine, show);
}

signed char __wrap_FSOUND_Init(int rate, int channels, unsigned int flags)
{
    const signed char result = __real_FSOUND_Init(rate, channels, flags);
    mark(StartupStep::Sound);
    return result;
}

HWND WINAPI __wrap_SetFocus(HWND window)
{
    const HWND result = __real_SetFocus(window);
    mark(StartupStep::Window);
    return result;
}

// A texture's glGenTextures comes right after its picture is decoded.
void __wrap_glGenTextures(GLsizei count, GLuint* names)
{
    mark(StartupStep::Decode);
    __real_glGenTextures(count, names);
}

GLint __wrap_gluBuild2DMipmaps(GLenum target, GLint components, GLsizei width, GLsizei height, GLenum format,
                               GLenum type, const void* data)
{
    const GLint result = __real_gluBuild2DMipmaps(target, components, width, height, format, type, data);
    mark(StartupStep::Mipmaps);
    return result;
}

int __wrap_FSOUND_Stream_Play(int channel, FSOUND_STREAM* stream)
{
    const int result = __real_FSOUND_Stream_Play(channel, stream);
    mark(StartupStep::Soundtrack);
    return result;
}

BOOL WINAPI __wrap_SwapBuffers(HDC deviceContext)
{
    const BOOL result = __real_SwapBuffers(deviceContext);
    mark(StartupStep::FirstFrame);
    if (std::getenv("QORX_FIRST_FRAME_FD"))
        _exit(0);
    return result;
}

} // extern "C"
