// The message queue and the swap that hands each frame to the browser. The
// page's keys join the queue as WM_KEYDOWN and WM_KEYUP with Windows'
// virtual-key codes, which are the browser's key codes.
#include "PageCalls.h"
#include "PageState.h"

#include <GL/gl.h>

extern "C" {

BOOL WINAPI PeekMessageA(LPMSG msg, HWND, UINT, UINT, UINT removeMessage)
{
    PageState& page = PageState::current();
    page.pullPageKeys();
    if (page.count == 0 && !page.quitPosted)
        return FALSE;
    if (msg == NULL)
        return TRUE;
    if (removeMessage & PM_REMOVE)
        return page.take(*msg) ? TRUE : FALSE;
    *msg =
        page.count > 0 ? page.queue[page.head] : MSG{NULL, WM_QUIT, static_cast<WPARAM>(page.quitCode), 0, 0, {0, 0}};
    return TRUE;
}

// Never waits in a page: a caller that finds nothing queued gets WM_NULL.
BOOL WINAPI GetMessageA(LPMSG msg, HWND, UINT, UINT)
{
    if (msg == NULL)
        return -1;
    PageState& page = PageState::current();
    if (!page.take(*msg))
        *msg = MSG{page.window, WM_NULL, 0, 0, 0, {0, 0}};
    return msg->message == WM_QUIT ? FALSE : TRUE;
}

BOOL WINAPI TranslateMessage(const MSG* msg)
{
    return msg != NULL && (msg->message == WM_KEYDOWN || msg->message == WM_KEYUP);
}

LRESULT WINAPI DispatchMessageA(const MSG* msg)
{
    PageState& page = PageState::current();
    if (msg == NULL || msg->hwnd == NULL || msg->hwnd != page.window || page.windowProc == NULL)
        return 0;
    return page.windowProc(msg->hwnd, msg->message, msg->wParam, msg->lParam);
}

LRESULT WINAPI DefWindowProcA(HWND window, UINT message, WPARAM, LPARAM)
{
    if (message == WM_CLOSE)
        DestroyWindow(window);
    return 0;
}

LRESULT WINAPI SendMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    PageState& page = PageState::current();
    if (window == NULL || window != page.window || page.windowProc == NULL)
        return 0;
    return page.windowProc(window, message, wParam, lParam);
}

BOOL WINAPI PostMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return PageState::current().post(window, message, wParam, lParam);
}

void WINAPI PostQuitMessage(int exitCode)
{
    PageState& page = PageState::current();
    page.quitPosted = true;
    page.quitCode = exitCode;
}

// The browser shows what was drawn once control goes back to it; it comes
// back on the animation frame that may carry the next picture. A canvas that
// changed size in between (full screen, a resized window) gets the picture
// centred again.
BOOL WINAPI SwapBuffers(HDC deviceContext)
{
    PageState& page = PageState::current();
    if (deviceContext == NULL || !page.contextMade)
        return FALSE;
    qorx_page_present();
    if (qorx_page_fit_canvas())
        page.refitViewport();
    return TRUE;
}

} // extern "C"
