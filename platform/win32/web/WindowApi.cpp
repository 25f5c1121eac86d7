// Module, class, window, device context, display and message box calls over
// the page. There is one window, the canvas; its title is the page's.
#include "PageCalls.h"
#include "PageState.h"

#include <cstring>

namespace {

// Distinct non-null handles for the one module, window and device context.
HINSTANCE const Module = reinterpret_cast<HINSTANCE>(1);
HWND const Canvas = reinterpret_cast<HWND>(2);
HDC const CanvasDc = reinterpret_cast<HDC>(3);
HICON const SystemIcon = reinterpret_cast<HICON>(4);
ATOM const ClassAtom = 1;
int const OnlyPixelFormat = 1;

} // namespace

extern "C" {

HMODULE WINAPI GetModuleHandleA(LPCSTR moduleName)
{
    return moduleName == NULL ? Module : NULL;
}

// The program has no file of its own in a page.
DWORD WINAPI GetModuleFileNameA(HMODULE, LPSTR fileName, DWORD size)
{
    if (fileName != NULL && size > 0)
        fileName[0] = '\0';
    return 0;
}

HICON WINAPI LoadIconA(HINSTANCE, LPCSTR)
{
    return SystemIcon;
}

HCURSOR WINAPI LoadCursorA(HINSTANCE, LPCSTR)
{
    return SystemIcon;
}

ATOM WINAPI RegisterClassA(const WNDCLASSA* windowClass)
{
    PageState& page = PageState::current();
    if (windowClass == NULL || windowClass->lpfnWndProc == NULL || page.classRegistered)
        return 0;
    page.windowProc = windowClass->lpfnWndProc;
    page.classRegistered = true;
    return ClassAtom;
}

BOOL WINAPI UnregisterClassA(LPCSTR, HINSTANCE)
{
    PageState& page = PageState::current();
    if (!page.classRegistered || page.window != NULL)
        return FALSE;
    page.classRegistered = false;
    return TRUE;
}

// The browser cannot change the screen's mode: a request for one asks for
// full screen (where the browser allows it) and is answered as a display
// without that mode would answer, so the window takes the whole canvas and
// the picture is letterboxed in it.
LONG WINAPI ChangeDisplaySettingsA(DEVMODEA* mode, DWORD)
{
    PageState& page = PageState::current();
    if (mode == NULL) {
        qorx_page_leave_fullscreen();
        return DISP_CHANGE_SUCCESSFUL;
    }
    if ((mode->dmFields & DM_PELSWIDTH) && (mode->dmFields & DM_PELSHEIGHT)) {
        page.pictureWidth = static_cast<int>(mode->dmPelsWidth);
        page.pictureHeight = static_cast<int>(mode->dmPelsHeight);
    }
    if (mode->dmFields & DM_BITSPERPEL)
        qorx_page_enter_fullscreen();
    return DISP_CHANGE_BADMODE;
}

int WINAPI ShowCursor(BOOL show)
{
    PageState& page = PageState::current();
    page.cursorCount += show ? 1 : -1;
    qorx_page_show_cursor(page.cursorCount >= 0);
    return page.cursorCount;
}

// The canvas has no frame.
BOOL WINAPI AdjustWindowRectEx(RECT* rect, DWORD, BOOL, DWORD)
{
    return rect != NULL;
}

HWND WINAPI CreateWindowExA(DWORD, LPCSTR, LPCSTR windowName, DWORD style, int, int, int width, int height, HWND, HMENU,
                            HINSTANCE, LPVOID)
{
    PageState& page = PageState::current();
    if (!page.classRegistered || page.window != NULL)
        return NULL;
    if (!(style & WS_POPUP) || page.pictureWidth <= 0) {
        page.pictureWidth = width;
        page.pictureHeight = height;
    }
    page.window = Canvas;
    qorx_page_set_title(windowName != NULL ? windowName : "");
    return Canvas;
}

BOOL WINAPI ShowWindow(HWND window, int)
{
    return window == Canvas;
}

BOOL WINAPI SetForegroundWindow(HWND window)
{
    return window == Canvas;
}

HWND WINAPI SetFocus(HWND window)
{
    return window == Canvas ? Canvas : NULL;
}

BOOL WINAPI DestroyWindow(HWND window)
{
    PageState& page = PageState::current();
    if (window != Canvas || page.window == NULL)
        return FALSE;
    page.window = NULL;
    return TRUE;
}

BOOL WINAPI GetClientRect(HWND window, RECT* rect)
{
    if (window != Canvas || rect == NULL)
        return FALSE;
    *rect = {0, 0, qorx_page_canvas_width(), qorx_page_canvas_height()};
    return TRUE;
}

BOOL WINAPI GetWindowRect(HWND window, RECT* rect)
{
    return GetClientRect(window, rect);
}

// The screen is the canvas, which fills the browser's window at the device's
// resolution.
int WINAPI GetSystemMetrics(int index)
{
    qorx_page_fit_canvas();
    if (index == SM_CXSCREEN)
        return qorx_page_canvas_width();
    if (index == SM_CYSCREEN)
        return qorx_page_canvas_height();
    return 0;
}

HDC WINAPI GetDC(HWND window)
{
    return window == Canvas ? CanvasDc : NULL;
}

int WINAPI ReleaseDC(HWND, HDC deviceContext)
{
    return deviceContext == CanvasDc ? 1 : 0;
}

// WebGL offers one kind of drawing buffer: RGBA, double-buffered.
int WINAPI ChoosePixelFormat(HDC deviceContext, const PIXELFORMATDESCRIPTOR* descriptor)
{
    return deviceContext == CanvasDc && descriptor != NULL ? OnlyPixelFormat : 0;
}

BOOL WINAPI SetPixelFormat(HDC deviceContext, int format, const PIXELFORMATDESCRIPTOR*)
{
    return deviceContext == CanvasDc && format == OnlyPixelFormat;
}

int WINAPI MessageBoxA(HWND, LPCSTR text, LPCSTR caption, UINT)
{
    return qorx_page_message_box(text != NULL ? text : "", caption != NULL ? caption : "Error");
}

} // extern "C"
