// A recording fake of the Win32/WGL subset in platform/win32/include/windows.h
// and of the OpenGL 1.1 and GLU calls Qorx makes. A test program links the
// `qorx_fake_platform` library instead of the SDL2 layer and libGL; the code
// under test links unchanged.
//
// What it gives a test:
//  - a log of every call, in order, with its arguments as text;
//  - failures on request: fail("CreateWindowExA") makes the next calls of that
//    name return their failure value (NULL handle, 0, FALSE, -1,
//    DISP_CHANGE_FAILED...) without doing anything else;
//  - a message queue with Win32 semantics, which tests can fill, and a hook
//    run on every SwapBuffers, so that a key can be pressed at frame N;
//  - the state a real system would show: display mode, cursor counter,
//    registered classes, windows, current context, uploaded pixels.
//
// How arguments are written:
//  - integers in decimal, except styles, flags and message numbers in hex
//    ("0x23", "0x100");
//  - floats with "%.9g" and doubles with "%.17g", so the text compares exactly
//    (1.0f is "1", -600.0f is "-600");
//  - strings as they are, a null string as "NULL";
//  - handles by kind and number, numbered from 1 after every reset(): "hwnd1",
//    "hdc1", "hglrc1", "instance", "icon", "cursor"; a resource number as
//    "#32517"; null as "NULL"; a pointer the fake did not make in hex;
//  - out-parameters (MSG*, RECT*, GLuint*) and pixel pointers are left out;
//  - structures by the members that matter: RegisterClassA(style, proc,
//    clsExtra, wndExtra, instance, icon, cursor, brush, menu, className), with
//    proc "proc" or "NULL"; ChangeDisplaySettingsA(dmSize, dmFields,
//    dmBitsPerPel, dmPelsWidth, dmPelsHeight, flags) or ("NULL", flags);
//    ChoosePixelFormat and SetPixelFormat(hdc, [format,] nSize, nVersion,
//    dwFlags, iPixelType, cColorBits, cDepthBits). The whole last structure
//    of each kind is kept too (lastWindowClass() and so on).
//
// Semantics of the fake system:
//  - Classes are registered by name with their window procedure; registering
//    a name twice fails, and so does unregistering a class that still has
//    windows or was never registered.
//  - CreateWindowExA needs a registered class; windows are created hidden.
//    Creating, showing and destroying a window send no messages, so the log
//    holds only the calls of the code under test and of its window procedure.
//    AdjustWindowRectEx adds an 8-pixel frame and a 23-pixel caption to
//    WS_OVERLAPPEDWINDOW and nothing to WS_POPUP.
//  - Each window has one device context (CS_OWNDC). A context can be made
//    only on a device context whose pixel format was set, which can happen
//    once per window. Deleting the current context makes none current.
//  - The queue: PostMessageA and post() append; PeekMessageA, with PM_NOREMOVE
//    or PM_REMOVE, and GetMessageA take the first message that matches the
//    window and range filters. PostQuitMessage sets a flag: WM_QUIT (wParam =
//    the exit code, hwnd NULL) comes out only once no posted message is left,
//    and GetMessageA returns 0 for it. GetMessageA on an empty queue would
//    wait forever on one thread, so the fake aborts with a message instead.
//    TranslateMessage posts WM_CHAR for the key-downs of letters (lower case),
//    digits, space, Back, Tab, Return and Escape, and WM_SYSCHAR for Alt with
//    a letter or digit. DispatchMessageA and SendMessageA call the window's
//    class procedure. DestroyWindow drops the messages posted to the window.
//  - DefWindowProcA turns WM_SYSCOMMAND with SC_CLOSE into WM_CLOSE sent to the
//    window and destroys the window on WM_CLOSE; everything else gives 0.
//  - The desktop is 1024 x 768 at 32 bits. ChangeDisplaySettingsA accepts
//    640 x 480, 800 x 600 and 1024 x 768 at 16, 24 or 32 bits unless a test
//    offers another desktop and modes (otherwise DISP_CHANGE_BADMODE); a mode without
//    DM_BITSPERPEL means the desktop's depth; with NULL it goes back to the
//    desktop mode. GetSystemMetrics gives the current mode's size.
//  - The clock: QueryPerformanceCounter counts microseconds (frequency
//    1000000); Sleep moves it on by its milliseconds, and each SwapBuffers by
//    the time a test gives a frame's drawing. The clock calls and
//    timeBeginPeriod/timeEndPeriod are not logged, so the log stays the
//    calls that act on the system.
//  - wglGetProcAddress offers wglSwapIntervalEXT, which is logged when called.
//  - ShowCursor keeps Win32's display counter, starting at 0.
//  - MessageBoxA logs its call, writes "MessageBoxA: [caption] text (owner
//    NULL, flags 0x30)" on stderr, so that death tests can match it, and
//    returns IDOK.
//  - glGenTextures gives the names 1, 2, 3... after every reset(); glGetError
//    gives GL_NO_ERROR (GL_OUT_OF_MEMORY when made to fail); gluBuild2DMipmaps
//    gives 0 (GLU_OUT_OF_MEMORY when made to fail). glTexImage2D and
//    gluBuild2DMipmaps keep a copy of unsigned-byte pixels (uploads()).
//
// All state lives in one function-local static: tests call reset() first.
// Everything runs on the test's thread; the fake is not thread-safe.
#ifndef QORX_TESTS_FAKES_FAKEPLATFORM_H
#define QORX_TESTS_FAKES_FAKEPLATFORM_H

#include <windows.h>

#include <GL/gl.h>

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

namespace fake {

struct Call {
    std::string name;
    std::vector<std::string> args;
    bool failed; // a failure was requested for this call

    // "name(arg1, arg2)"
    std::string text() const;
};

// --- The log --------------------------------------------------------------

// Every call since the last reset(), in order.
const std::vector<Call>& calls();
// The calls from index `from` on, as text() or as bare names.
std::vector<std::string> texts(std::size_t from = 0);
std::vector<std::string> names(std::size_t from = 0);
// How many calls of that name are in the log.
std::size_t count(const std::string& name);

// Adds a call to the log; for other fakes recording into the same log.
// Returns true when a failure was requested for `name`: the caller then
// returns its failure value and does nothing else.
bool record(const char* name, std::vector<std::string> args);

// Argument formatting, as described above.
std::string integer(long long value);
std::string hex(unsigned long long value);
std::string real(float value);
std::string real(double value);
std::string text(const char* value);
std::string handle(const void* value);

// --- Failures -------------------------------------------------------------

// The next `times` calls of `name` fail, after `spared` calls that succeed;
// -1 means every call until reset().
void fail(const std::string& name, int times = -1, int spared = 0);

// Forgets the log, the failures, the hook and every class, window, context,
// message, mode and upload; handle and texture numbers start again at 1.
void reset();

// --- Messages -------------------------------------------------------------

// Key presses and a close request from the desktop, posted (not logged) to the
// window with the focus, else to the newest window.
void pressKey(WPARAM virtualKey);
void releaseKey(WPARAM virtualKey);
void requestClose(); // WM_SYSCOMMAND with SC_CLOSE, as a desktop close

// Runs `hook` inside every SwapBuffers, after logging it, with the number of
// that swap, counting from 1. An empty function removes it.
void onSwapBuffers(std::function<void(int swap)> hook);
int swapCount();

// --- State of the fake system -----------------------------------------------

struct DisplayMode {
    int width;
    int height;
    int bits;
};
// Another desktop, and the modes ChangeDisplaySettingsA accepts.
void offerModes(const DisplayMode& desktop, const std::vector<DisplayMode>& modes);
// A display that takes the modes it offers but whose screen then has this
// size, as GetSystemMetrics reports it.
void showModesAt(int width, int height);

// The clock in microseconds, and how far each SwapBuffers moves it.
long long clockMicroseconds();
void setSwapMicroseconds(long long microseconds);
// timeBeginPeriod calls not yet ended.
int raisedTimerPeriods();
DisplayMode displayMode();
bool displayChanged(); // the mode differs from the desktop's
int cursorCounter();
bool classRegistered(const std::string& name);
std::size_t windowCount();
bool windowExists(HWND window);
bool windowVisible(HWND window);
HGLRC currentContext();
std::size_t contextCount();

const WNDCLASSA& lastWindowClass();
const DEVMODEA& lastDisplayMode();              // the last non-null mode asked for
const PIXELFORMATDESCRIPTOR& lastPixelFormat(); // the last one passed to SetPixelFormat

struct Upload {
    std::string call; // "glTexImage2D" or "gluBuild2DMipmaps"
    GLint internalFormat;
    GLsizei width;
    GLsizei height;
    GLenum format;
    GLenum type;
    std::vector<unsigned char> pixels; // empty unless the type is GL_UNSIGNED_BYTE
};
const std::vector<Upload>& uploads();

// The program's path as GetModuleFileNameA gives it; empty for the test
// program's own. Kept across reset().
void setModuleFileName(const std::string& path);

} // namespace fake

#endif
