// Classes and windows of the Win32 subset.
#include "DisplayModes.h"
#include "GlContexts.h"
#include "LayerState.h"
#include "MessageQueue.h"
#include "WindowFrame.h"
#include "WindowRegistry.h"

#include <SDL.h>

#include <windows.h>

#include <cstdio>
#include <cstring>

#include <unistd.h>

namespace {

const char ModuleMarker = 0;
// Below this, a name's pointer is a resource number (MAKEINTRESOURCE).
const uintptr_t ResourceIdLimit = 0x10000;
const uintptr_t ResourceHandleBase = 0x10000;
// The client area Windows gives a window made at CW_USEDEFAULT's size.
const int DefaultClientWidth = 640;
const int DefaultClientHeight = 480;
const int NoDisplayExitCode = 255;

bool isResourceId(LPCSTR name)
{
    return reinterpret_cast<uintptr_t>(name) < ResourceIdLimit;
}

// The calling thread's focus window; a thread the layer has no room for has
// none.
HWND focusWindow()
{
    ThreadRecord* thread = Layer::currentThread();
    return thread == nullptr ? NULL : thread->focus;
}

void setFocusWindow(HWND window)
{
    ThreadRecord* thread = Layer::currentThread();
    if (thread != nullptr)
        thread->focus = window;
}

// As a lost display ends the program (XDisplay.h): with one line and 255.
[[noreturn]] void endForWantOfADisplay()
{
    std::fputs("qorx: no display to show the window on (no X server or Wayland compositor found)\n", stderr);
    std::fflush(nullptr);
    _exit(NoDisplayExitCode);
}

bool copyName(char* target, size_t capacity, LPCSTR source)
{
    size_t length = std::strlen(source);
    if (length >= capacity)
        return false;
    std::memcpy(target, source, length + 1);
    return true;
}

HWND addWindow(int classIndex, DWORD exStyle, LPCSTR windowName, DWORD style, int x, int y, int width, int height)
{
    MessageQueue* queue = MessageQueue::current();
    LayerState& state = Layer::state();
    std::lock_guard<std::mutex> guard(state.lock);
    int index = queue == nullptr ? -1 : state.windows.add();
    if (index < 0)
        return NULL;
    WindowRecord& record = state.windows.records[index];
    WindowFrame frame = WindowFrame::of(style, FALSE);
    record.procedure = state.classes.records[classIndex].procedure;
    record.classIndex = classIndex;
    record.style = style;
    record.exStyle = exStyle;
    copyName(record.title, sizeof record.title, windowName != nullptr ? windowName : "");
    record.clientX = x == CW_USEDEFAULT ? CW_USEDEFAULT : x + frame.left;
    record.clientY = y == CW_USEDEFAULT ? CW_USEDEFAULT : y + frame.top;
    int frameWidth = static_cast<int>(frame.left + frame.right);
    int frameHeight = static_cast<int>(frame.top + frame.bottom);
    int outerWidth = width == CW_USEDEFAULT ? DefaultClientWidth + frameWidth : width;
    int outerHeight = height == CW_USEDEFAULT ? DefaultClientHeight + frameHeight : height;
    record.clientWidth = outerWidth > frameWidth ? outerWidth - frameWidth : 0;
    record.clientHeight = outerHeight > frameHeight ? outerHeight - frameHeight : 0;
    record.ownerQueue = queue;
    return WindowRegistry::handleOf(&record);
}

void removeWindow(WindowRecord* record)
{
    LayerState& state = Layer::state();
    std::lock_guard<std::mutex> guard(state.lock);
    state.windows.remove(static_cast<int>(record - state.windows.records));
}

// What SDL has drawn, once there is an SDL window.
void clientSize(const WindowRecord& record, int* width, int* height)
{
    *width = record.clientWidth;
    *height = record.clientHeight;
    if (record.sdlWindow != nullptr)
        SDL_GL_GetDrawableSize(record.sdlWindow, width, height);
}

void clientOrigin(const WindowRecord& record, int* x, int* y)
{
    *x = record.clientX == CW_USEDEFAULT ? 0 : record.clientX;
    *y = record.clientY == CW_USEDEFAULT ? 0 : record.clientY;
    if (record.sdlWindow != nullptr)
        SDL_GetWindowPosition(record.sdlWindow, x, y);
}

} // namespace

extern "C" {

HMODULE WINAPI GetModuleHandleA(LPCSTR moduleName)
{
    if (moduleName != nullptr)
        return NULL;
    return reinterpret_cast<HMODULE>(const_cast<char*>(&ModuleMarker));
}

// The system's own icons and cursors; the program has no resources.
HICON WINAPI LoadIconA(HINSTANCE instance, LPCSTR iconName)
{
    if (instance != NULL || !isResourceId(iconName))
        return NULL;
    return reinterpret_cast<HICON>(ResourceHandleBase + reinterpret_cast<uintptr_t>(iconName));
}

HCURSOR WINAPI LoadCursorA(HINSTANCE instance, LPCSTR cursorName)
{
    return LoadIconA(instance, cursorName);
}

ATOM WINAPI RegisterClassA(const WNDCLASSA* windowClass)
{
    if (windowClass == nullptr || windowClass->lpfnWndProc == nullptr || windowClass->lpszClassName == nullptr ||
        isResourceId(windowClass->lpszClassName) || windowClass->lpszClassName[0] == '\0')
        return 0;
    if (!Layer::start())
        return 0;
    LayerState& state = Layer::state();
    std::lock_guard<std::mutex> guard(state.lock);
    if (WindowRegistry::findClass(windowClass->lpszClassName, windowClass->hInstance) >= 0)
        return 0;
    int index = state.classes.add();
    if (index < 0)
        return 0;
    ClassRecord& record = state.classes.records[index];
    if (!copyName(record.name, sizeof record.name, windowClass->lpszClassName)) {
        state.classes.remove(index);
        return 0;
    }
    record.instance = windowClass->hInstance;
    record.procedure = windowClass->lpfnWndProc;
    record.style = windowClass->style;
    return WindowRegistry::atomOf(index);
}

BOOL WINAPI UnregisterClassA(LPCSTR className, HINSTANCE instance)
{
    LayerState& state = Layer::state();
    std::lock_guard<std::mutex> guard(state.lock);
    int index = WindowRegistry::findClass(className, instance);
    if (index < 0 || WindowRegistry::classHasWindows(index))
        return FALSE;
    state.classes.remove(index);
    return TRUE;
}

BOOL WINAPI AdjustWindowRectEx(RECT* rect, DWORD style, BOOL menu, DWORD exStyle)
{
    (void)exStyle;
    if (rect == nullptr)
        return FALSE;
    WindowFrame frame = WindowFrame::of(style, menu);
    rect->left -= frame.left;
    rect->top -= frame.top;
    rect->right += frame.right;
    rect->bottom += frame.bottom;
    return TRUE;
}

HWND WINAPI CreateWindowExA(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style, int x, int y, int width,
                            int height, HWND parent, HMENU menu, HINSTANCE instance, LPVOID param)
{
    // Only top-level windows: the layer has no child windows.
    if (parent != NULL || menu != NULL || !Layer::start())
        return NULL;
    int classIndex = WindowRegistry::findClass(className, instance);
    if (classIndex < 0)
        return NULL;
    HWND window = addWindow(classIndex, exStyle, windowName, style, x, y, width, height);
    if (window == NULL)
        return NULL;
    Layer::windowCreated();
    CREATESTRUCTA create;
    create.lpCreateParams = param;
    create.hInstance = instance;
    create.hMenu = menu;
    create.hwndParent = parent;
    create.cy = height;
    create.cx = width;
    create.y = y;
    create.x = x;
    create.style = static_cast<LONG>(style);
    create.lpszName = windowName;
    create.lpszClass = className;
    create.dwExStyle = exStyle;
    if (SendMessageA(window, WM_CREATE, 0, reinterpret_cast<LPARAM>(&create)) == -1) {
        DestroyWindow(window);
        return NULL;
    }
    return window;
}

BOOL WINAPI ShowWindow(HWND window, int command)
{
    WindowRecord* record = WindowRegistry::window(window);
    if (record == nullptr)
        return FALSE;
    if (command != SW_HIDE && Layer::state().withoutDisplay)
        endForWantOfADisplay();
    bool wasVisible = record->visible;
    record->visible = command != SW_HIDE;
    if (record->visible != wasVisible)
        SendMessageA(window, WM_SHOWWINDOW, record->visible ? TRUE : FALSE, 0);
    if (record->sdlWindow != nullptr) {
        if (record->visible)
            SDL_ShowWindow(record->sdlWindow);
        else
            SDL_HideWindow(record->sdlWindow);
        DisplayModes::windowShown(*record);
    }
    return wasVisible ? TRUE : FALSE;
}

BOOL WINAPI SetForegroundWindow(HWND window)
{
    WindowRecord* record = WindowRegistry::window(window);
    if (record == nullptr)
        return FALSE;
    if (record->sdlWindow != nullptr)
        SDL_RaiseWindow(record->sdlWindow);
    return TRUE;
}

HWND WINAPI SetFocus(HWND window)
{
    WindowRecord* record = WindowRegistry::window(window);
    if (window != NULL && record == nullptr)
        return NULL;
    HWND previous = focusWindow();
    if (previous == window)
        return previous;
    setFocusWindow(window);
    if (WindowRegistry::window(previous) != nullptr)
        SendMessageA(previous, WM_KILLFOCUS, reinterpret_cast<WPARAM>(window), 0);
    if (record != nullptr) {
        if (record->sdlWindow != nullptr && record->visible)
            SDL_SetWindowInputFocus(record->sdlWindow);
        SendMessageA(window, WM_SETFOCUS, reinterpret_cast<WPARAM>(previous), 0);
    }
    return previous;
}

BOOL WINAPI DestroyWindow(HWND window)
{
    WindowRecord* record = WindowRegistry::window(window);
    if (record == nullptr)
        return FALSE;
    SendMessageA(window, WM_DESTROY, 0, 0);
    record = WindowRegistry::window(window);
    if (record == nullptr)
        return TRUE;
    if (focusWindow() == window)
        setFocusWindow(NULL);
    GlContexts::windowDestroyed(*record);
    DisplayModes::windowDestroyed(*record);
    if (record->sdlWindow != nullptr)
        SDL_DestroyWindow(record->sdlWindow);
    removeWindow(record);
    Layer::windowDestroyed();
    return TRUE;
}

BOOL WINAPI GetClientRect(HWND window, RECT* rect)
{
    WindowRecord* record = WindowRegistry::window(window);
    if (record == nullptr || rect == nullptr)
        return FALSE;
    int width = 0;
    int height = 0;
    clientSize(*record, &width, &height);
    *rect = {0, 0, width, height};
    return TRUE;
}

BOOL WINAPI GetWindowRect(HWND window, RECT* rect)
{
    WindowRecord* record = WindowRegistry::window(window);
    if (record == nullptr || rect == nullptr)
        return FALSE;
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    clientOrigin(*record, &x, &y);
    clientSize(*record, &width, &height);
    WindowFrame frame = WindowFrame::of(record->style, FALSE);
    *rect = {x - frame.left, y - frame.top, x + width + frame.right, y + height + frame.bottom};
    return TRUE;
}

HDC WINAPI GetDC(HWND window)
{
    return WindowRegistry::dcOf(WindowRegistry::window(window));
}

int WINAPI ReleaseDC(HWND window, HDC deviceContext)
{
    WindowRecord* record = WindowRegistry::window(window);
    return record != nullptr && WindowRegistry::windowOfDc(deviceContext) == record ? 1 : 0;
}

} // extern "C"
