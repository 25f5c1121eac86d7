// The fake's shared state; only the fake's own sources include this.
#ifndef QORX_TESTS_FAKES_FAKESTATE_H
#define QORX_TESTS_FAKES_FAKESTATE_H

#include "FakePlatform.h"

#include <deque>
#include <map>
#include <string>

namespace fake {
namespace detail {

// Handles are small numbers in ranges of their own, so the log can name them.
const uintptr_t windowBase = 0x20000;
const uintptr_t deviceContextBase = 0x30000;
const uintptr_t glContextBase = 0x40000;
const uintptr_t handleRange = 0x10000;
const uintptr_t instanceValue = 0x400000;
const uintptr_t iconValue = 0x500001;
const uintptr_t cursorValue = 0x500002;

struct Window {
    std::string className;
    std::string title;
    DWORD exStyle;
    DWORD style;
    RECT rect;
    WNDPROC proc;
    bool visible;
    int pixelFormat;
};

struct WindowClass {
    WNDCLASSA record;
    std::size_t windows;
};

struct Failure {
    int times;  // -1 for every call
    int spared; // calls that still succeed first
};

// 640 x 480, 800 x 600 and 1024 x 768, each at 16, 24 and 32 bits.
std::vector<DisplayMode> standardModes();

struct State {
    std::vector<Call> calls;
    std::map<std::string, Failure> failures;

    std::map<std::string, WindowClass> classes;
    std::map<HWND, Window> windows;
    std::map<HGLRC, HDC> contexts;
    uintptr_t windowsMade = 0;
    uintptr_t contextsMade = 0;
    HWND focus = NULL;
    HWND foreground = NULL;
    HWND newest = NULL;
    HGLRC current = NULL;

    std::deque<MSG> queue;
    bool quitPending = false;
    int quitCode = 0;

    DisplayMode desktop = {1024, 768, 32};
    DisplayMode mode = {1024, 768, 32};
    std::vector<DisplayMode> modes = standardModes();
    int shownWidth = 0; // the screen's size after a change; 0: the mode's
    int shownHeight = 0;
    int cursorCounter = 0;
    std::function<void(int)> swapHook;
    int swaps = 0;

    long long clockMicroseconds = 1;
    long long swapMicroseconds = 0;
    int timerPeriods = 0;

    WNDCLASSA lastClass = {};
    DEVMODEA lastMode = {};
    PIXELFORMATDESCRIPTOR lastPixelFormat = {};

    GLuint texturesMade = 0;
    std::vector<Upload> uploads;
};

State& state();

HWND windowHandle(uintptr_t number);
HDC deviceContextOf(HWND window);
HWND windowOf(HDC deviceContext); // NULL when it is no live window's context
Window* findWindow(HWND window);

// Calls the window's class procedure without logging a call; 0 for no window.
LRESULT sendToWindow(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// Removes the window and every message posted to it.
void destroyWindow(HWND window);

} // namespace detail
} // namespace fake

#endif
