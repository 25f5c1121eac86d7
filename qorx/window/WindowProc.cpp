#include "qorx/window/WindowProc.h"

#include "qorx/window/KeyStateTable.h"

// Key messages keep the key-state table; a close request becomes a quit
// message that the next GlWindow::present acts on. Size and activation
// changes are swallowed: the picture keeps the size it was opened with.
LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CLOSE:
        PostQuitMessage(0);
        return 0;
    case WM_SIZE:
    case WM_ACTIVATE:
        return 0;
    case WM_KEYDOWN:
        KeyStateTable[wParam & 0xFF] = 1;
        return 0;
    case WM_KEYUP:
        KeyStateTable[wParam & 0xFF] = 0;
        return 0;
    case WM_SYSCOMMAND:
        // The presentation must not be interrupted by the screen saver or a
        // monitor power-down.
        if (wParam == SC_SCREENSAVE || wParam == SC_MONITORPOWER)
            return 0;
        break;
    default:
        break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}
