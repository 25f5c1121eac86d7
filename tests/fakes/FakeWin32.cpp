// Modules, classes, the display, windows, device contexts, pixel formats, WGL
// and message boxes of the fake system.
#include "FakeState.h"
#include "support/Lists.h"

#include <cstdio>

using namespace fake;
using namespace fake::detail;

namespace fake {
namespace detail {

HWND windowHandle(uintptr_t number)
{
    return reinterpret_cast<HWND>(windowBase + number);
}

HDC deviceContextOf(HWND window)
{
    const uintptr_t number = reinterpret_cast<uintptr_t>(window) - windowBase;
    return reinterpret_cast<HDC>(deviceContextBase + number);
}

std::vector<DisplayMode> standardModes()
{
    std::vector<DisplayMode> modes;
    for (const DisplayMode size : {DisplayMode{640, 480, 0}, DisplayMode{800, 600, 0}, DisplayMode{1024, 768, 0}}) {
        for (int bits : {16, 24, 32})
            modes.push_back({size.width, size.height, bits});
    }
    return modes;
}

HWND windowOf(HDC deviceContext)
{
    const uintptr_t number = reinterpret_cast<uintptr_t>(deviceContext) - deviceContextBase;
    const HWND window = windowHandle(number);
    return findWindow(window) != nullptr ? window : NULL;
}

Window* findWindow(HWND window)
{
    auto found = state().windows.find(window);
    return found == state().windows.end() ? nullptr : &found->second;
}

void destroyWindow(HWND window)
{
    State& s = state();
    Window* record = findWindow(window);
    if (record == nullptr)
        return;
    s.classes[record->className].windows--;
    s.windows.erase(window);
    for (auto it = s.queue.begin(); it != s.queue.end();)
        it = it->hwnd == window ? s.queue.erase(it) : it + 1;
    if (s.focus == window)
        s.focus = NULL;
    if (s.foreground == window)
        s.foreground = NULL;
    if (s.newest == window)
        s.newest = NULL;
}

} // namespace detail
} // namespace fake

namespace {

std::string boolean(BOOL value)
{
    return value ? "TRUE" : "FALSE";
}

// The offered mode a request names, taking what it leaves out from the desktop.
bool findMode(const DEVMODEA& request, DisplayMode* found)
{
    const DWORD size = DM_PELSWIDTH | DM_PELSHEIGHT;
    if ((request.dmFields & size) != size)
        return false;
    const int bits = (request.dmFields & DM_BITSPERPEL) ? static_cast<int>(request.dmBitsPerPel) : state().desktop.bits;
    for (const DisplayMode& mode : state().modes) {
        if (mode.width == static_cast<int>(request.dmPelsWidth) &&
            mode.height == static_cast<int>(request.dmPelsHeight) && mode.bits == bits) {
            *found = mode;
            return true;
        }
    }
    return false;
}

BOOL WINAPI swapIntervalExt(int interval)
{
    return !record("wglSwapIntervalEXT", {integer(interval)});
}

std::vector<std::string> pixelFormatArgs(const PIXELFORMATDESCRIPTOR* descriptor)
{
    if (descriptor == nullptr)
        return {"NULL"};
    return {integer(descriptor->nSize),      integer(descriptor->nVersion),   hex(descriptor->dwFlags),
            integer(descriptor->iPixelType), integer(descriptor->cColorBits), integer(descriptor->cDepthBits)};
}

// The frame Win32 draws round an overlapped window: a sizing border on every
// side and a caption on top.
const LONG frameWidth = 8;
const LONG captionHeight = 23;

RECT clientRectOf(const Window& window)
{
    RECT rect = {0, 0, window.rect.right - window.rect.left, window.rect.bottom - window.rect.top};
    if (window.style & WS_CAPTION) {
        rect.right -= 2 * frameWidth;
        rect.bottom -= 2 * frameWidth + captionHeight;
    }
    return rect;
}

} // namespace

HMODULE WINAPI GetModuleHandleA(LPCSTR moduleName)
{
    if (record("GetModuleHandleA", {text(moduleName)}) || moduleName != nullptr)
        return NULL;
    return reinterpret_cast<HMODULE>(instanceValue);
}

HICON WINAPI LoadIconA(HINSTANCE instance, LPCSTR iconName)
{
    if (record("LoadIconA", {handle(instance), handle(iconName)}))
        return NULL;
    return reinterpret_cast<HICON>(iconValue);
}

HCURSOR WINAPI LoadCursorA(HINSTANCE instance, LPCSTR cursorName)
{
    if (record("LoadCursorA", {handle(instance), handle(cursorName)}))
        return NULL;
    return reinterpret_cast<HCURSOR>(cursorValue);
}

ATOM WINAPI RegisterClassA(const WNDCLASSA* c)
{
    State& s = state();
    const bool failed =
        record("RegisterClassA", {hex(c->style), c->lpfnWndProc ? "proc" : "NULL", integer(c->cbClsExtra),
                                  integer(c->cbWndExtra), handle(c->hInstance), handle(c->hIcon), handle(c->hCursor),
                                  handle(c->hbrBackground), text(c->lpszMenuName), text(c->lpszClassName)});
    s.lastClass = *c;
    if (failed || c->lpszClassName == nullptr || c->lpfnWndProc == nullptr)
        return 0;
    auto inserted = s.classes.emplace(c->lpszClassName, WindowClass{*c, 0});
    if (!inserted.second)
        return 0;
    inserted.first->second.record.lpszClassName = inserted.first->first.c_str();
    inserted.first->second.record.lpszMenuName = nullptr;
    return static_cast<ATOM>(0xC000 + s.classes.size());
}

BOOL WINAPI UnregisterClassA(LPCSTR className, HINSTANCE instance)
{
    State& s = state();
    if (record("UnregisterClassA", {text(className), handle(instance)}) || className == nullptr)
        return FALSE;
    auto found = s.classes.find(className);
    if (found == s.classes.end() || found->second.record.hInstance != instance || found->second.windows > 0)
        return FALSE;
    s.classes.erase(found);
    return TRUE;
}

LONG WINAPI ChangeDisplaySettingsA(DEVMODEA* mode, DWORD flags)
{
    State& s = state();
    if (mode == nullptr) {
        if (record("ChangeDisplaySettingsA", {"NULL", hex(flags)}))
            return DISP_CHANGE_FAILED;
        s.mode = s.desktop;
        return DISP_CHANGE_SUCCESSFUL;
    }
    const bool failed =
        record("ChangeDisplaySettingsA", {integer(mode->dmSize), hex(mode->dmFields), integer(mode->dmBitsPerPel),
                                          integer(mode->dmPelsWidth), integer(mode->dmPelsHeight), hex(flags)});
    s.lastMode = *mode;
    if (failed)
        return DISP_CHANGE_FAILED;
    if (!findMode(*mode, &s.mode))
        return DISP_CHANGE_BADMODE;
    if (s.shownWidth != 0) {
        s.mode.width = s.shownWidth;
        s.mode.height = s.shownHeight;
    }
    return DISP_CHANGE_SUCCESSFUL;
}

int WINAPI ShowCursor(BOOL show)
{
    State& s = state();
    if (!record("ShowCursor", {boolean(show)}))
        s.cursorCounter += show ? 1 : -1;
    return s.cursorCounter;
}

BOOL WINAPI AdjustWindowRectEx(RECT* rect, DWORD style, BOOL menu, DWORD exStyle)
{
    if (record("AdjustWindowRectEx", {hex(style), boolean(menu), hex(exStyle)}) || rect == nullptr)
        return FALSE;
    if (style & WS_CAPTION) {
        rect->left -= frameWidth;
        rect->right += frameWidth;
        rect->top -= frameWidth + captionHeight;
        rect->bottom += frameWidth;
    }
    return TRUE;
}

HWND WINAPI CreateWindowExA(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style, int x, int y, int width,
                            int height, HWND parent, HMENU menu, HINSTANCE instance, LPVOID param)
{
    State& s = state();
    const bool failed = record("CreateWindowExA", {hex(exStyle), text(className), text(windowName), hex(style),
                                                   integer(x), integer(y), integer(width), integer(height),
                                                   handle(parent), handle(menu), handle(instance), handle(param)});
    if (failed || className == nullptr)
        return NULL;
    auto found = s.classes.find(className);
    if (found == s.classes.end())
        return NULL;
    const LONG left = x == CW_USEDEFAULT ? 40 : x;
    const LONG top = y == CW_USEDEFAULT ? 40 : y;
    Window window = {className,
                     text(windowName),
                     exStyle,
                     style,
                     {left, top, left + width, top + height},
                     found->second.record.lpfnWndProc,
                     false,
                     0};
    const HWND handle = windowHandle(++s.windowsMade);
    s.windows.emplace(handle, window);
    found->second.windows++;
    s.newest = handle;
    return handle;
}

BOOL WINAPI ShowWindow(HWND window, int command)
{
    Window* record = findWindow(window);
    if (fake::record("ShowWindow", {handle(window), integer(command)}) || record == nullptr)
        return FALSE;
    const bool wasVisible = record->visible;
    record->visible = command != SW_HIDE;
    return wasVisible;
}

BOOL WINAPI SetForegroundWindow(HWND window)
{
    if (record("SetForegroundWindow", {handle(window)}) || findWindow(window) == nullptr)
        return FALSE;
    state().foreground = window;
    return TRUE;
}

HWND WINAPI SetFocus(HWND window)
{
    State& s = state();
    if (record("SetFocus", {handle(window)}) || (window != NULL && findWindow(window) == nullptr))
        return NULL;
    const HWND previous = s.focus;
    s.focus = window;
    return previous;
}

BOOL WINAPI DestroyWindow(HWND window)
{
    if (record("DestroyWindow", {handle(window)}) || findWindow(window) == nullptr)
        return FALSE;
    destroyWindow(window);
    return TRUE;
}

BOOL WINAPI GetClientRect(HWND window, RECT* rect)
{
    const Window* record = findWindow(window);
    if (fake::record("GetClientRect", {handle(window)}) || record == nullptr || rect == nullptr)
        return FALSE;
    *rect = clientRectOf(*record);
    return TRUE;
}

BOOL WINAPI GetWindowRect(HWND window, RECT* rect)
{
    const Window* record = findWindow(window);
    if (fake::record("GetWindowRect", {handle(window)}) || record == nullptr || rect == nullptr)
        return FALSE;
    *rect = record->rect;
    return TRUE;
}

HDC WINAPI GetDC(HWND window)
{
    if (record("GetDC", {handle(window)}) || findWindow(window) == nullptr)
        return NULL;
    return deviceContextOf(window);
}

int WINAPI ReleaseDC(HWND window, HDC deviceContext)
{
    if (record("ReleaseDC", {handle(window), handle(deviceContext)}))
        return 0;
    return window != NULL && windowOf(deviceContext) == window ? 1 : 0;
}

int WINAPI ChoosePixelFormat(HDC deviceContext, const PIXELFORMATDESCRIPTOR* descriptor)
{
    if (record("ChoosePixelFormat", joined({handle(deviceContext)}, pixelFormatArgs(descriptor))))
        return 0;
    if (windowOf(deviceContext) == NULL || descriptor == nullptr)
        return 0;
    return 1;
}

BOOL WINAPI SetPixelFormat(HDC deviceContext, int format, const PIXELFORMATDESCRIPTOR* descriptor)
{
    State& s = state();
    const bool failed =
        record("SetPixelFormat", joined({handle(deviceContext), integer(format)}, pixelFormatArgs(descriptor)));
    if (descriptor != nullptr)
        s.lastPixelFormat = *descriptor;
    Window* window = findWindow(windowOf(deviceContext));
    if (failed || window == nullptr || format != 1 || window->pixelFormat != 0)
        return FALSE;
    window->pixelFormat = format;
    return TRUE;
}

BOOL WINAPI SwapBuffers(HDC deviceContext)
{
    State& s = state();
    const bool failed = record("SwapBuffers", {handle(deviceContext)});
    ++s.swaps;
    s.clockMicroseconds += s.swapMicroseconds;
    if (s.swapHook) {
        // Copied, so that a hook may replace itself.
        std::function<void(int)> hook = s.swapHook;
        hook(s.swaps);
    }
    return !failed && windowOf(deviceContext) != NULL;
}

int WINAPI GetSystemMetrics(int index)
{
    if (record("GetSystemMetrics", {integer(index)}))
        return 0;
    const DisplayMode& mode = state().mode;
    return index == SM_CXSCREEN ? mode.width : index == SM_CYSCREEN ? mode.height : 0;
}

BOOL WINAPI QueryPerformanceCounter(LARGE_INTEGER* count)
{
    count->QuadPart = state().clockMicroseconds;
    return TRUE;
}

BOOL WINAPI QueryPerformanceFrequency(LARGE_INTEGER* frequency)
{
    frequency->QuadPart = 1000000;
    return TRUE;
}

void WINAPI Sleep(DWORD milliseconds)
{
    state().clockMicroseconds += 1000LL * milliseconds;
}

UINT WINAPI timeBeginPeriod(UINT)
{
    ++state().timerPeriods;
    return TIMERR_NOERROR;
}

UINT WINAPI timeEndPeriod(UINT)
{
    --state().timerPeriods;
    return TIMERR_NOERROR;
}

PROC WINAPI wglGetProcAddress(LPCSTR name)
{
    if (record("wglGetProcAddress", {text(name)}) || std::string(name) != "wglSwapIntervalEXT")
        return NULL;
    return reinterpret_cast<PROC>(reinterpret_cast<void (*)()>(swapIntervalExt));
}

int WINAPI MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type)
{
    if (record("MessageBoxA", {handle(owner), fake::text(text), fake::text(caption), hex(type)}))
        return 0;
    std::fprintf(stderr, "MessageBoxA: [%s] %s (owner %s, flags 0x%x)\n", fake::text(caption).c_str(),
                 fake::text(text).c_str(), handle(owner).c_str(), type);
    std::fflush(stderr);
    return IDOK;
}

HGLRC WINAPI wglCreateContext(HDC deviceContext)
{
    State& s = state();
    if (record("wglCreateContext", {handle(deviceContext)}))
        return NULL;
    const Window* window = findWindow(windowOf(deviceContext));
    if (window == nullptr || window->pixelFormat == 0)
        return NULL;
    const HGLRC context = reinterpret_cast<HGLRC>(glContextBase + ++s.contextsMade);
    s.contexts.emplace(context, deviceContext);
    return context;
}

BOOL WINAPI wglMakeCurrent(HDC deviceContext, HGLRC glContext)
{
    State& s = state();
    if (record("wglMakeCurrent", {handle(deviceContext), handle(glContext)}))
        return FALSE;
    if (glContext == NULL) {
        s.current = NULL;
        return TRUE;
    }
    if (s.contexts.count(glContext) == 0 || windowOf(deviceContext) == NULL)
        return FALSE;
    s.current = glContext;
    return TRUE;
}

BOOL WINAPI wglDeleteContext(HGLRC glContext)
{
    State& s = state();
    if (record("wglDeleteContext", {handle(glContext)}) || s.contexts.erase(glContext) == 0)
        return FALSE;
    if (s.current == glContext)
        s.current = NULL;
    return TRUE;
}

namespace fake {

DisplayMode displayMode()
{
    return state().mode;
}

bool displayChanged()
{
    const DisplayMode& mode = state().mode;
    const DisplayMode& desktop = state().desktop;
    return mode.width != desktop.width || mode.height != desktop.height || mode.bits != desktop.bits;
}

int cursorCounter()
{
    return state().cursorCounter;
}

bool classRegistered(const std::string& name)
{
    return state().classes.count(name) != 0;
}

std::size_t windowCount()
{
    return state().windows.size();
}

bool windowExists(HWND window)
{
    return findWindow(window) != nullptr;
}

bool windowVisible(HWND window)
{
    const Window* record = findWindow(window);
    return record != nullptr && record->visible;
}

HGLRC currentContext()
{
    return state().current;
}

std::size_t contextCount()
{
    return state().contexts.size();
}

const WNDCLASSA& lastWindowClass()
{
    return state().lastClass;
}

const DEVMODEA& lastDisplayMode()
{
    return state().lastMode;
}

const PIXELFORMATDESCRIPTOR& lastPixelFormat()
{
    return state().lastPixelFormat;
}

void offerModes(const DisplayMode& desktop, const std::vector<DisplayMode>& modes)
{
    state().desktop = desktop;
    state().mode = desktop;
    state().modes = modes;
}

void showModesAt(int width, int height)
{
    state().shownWidth = width;
    state().shownHeight = height;
}

long long clockMicroseconds()
{
    return state().clockMicroseconds;
}

void setSwapMicroseconds(long long microseconds)
{
    state().swapMicroseconds = microseconds;
}

int raisedTimerPeriods()
{
    return state().timerPeriods;
}

void onSwapBuffers(std::function<void(int)> hook)
{
    state().swapHook = std::move(hook);
}

int swapCount()
{
    return state().swaps;
}

} // namespace fake
