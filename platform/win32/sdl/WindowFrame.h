#ifndef QORX_PLATFORM_SDL_WINDOWFRAME_H
#define QORX_PLATFORM_SDL_WINDOWFRAME_H

#include <windows.h>

// The frame that Win32 puts round a client area of a given style. The
// desktop draws the real frame; the layer uses these fixed sizes so that a
// window made at AdjustWindowRectEx's size has exactly the client area asked
// for, whatever the desktop's decorations measure.
struct WindowFrame {
    LONG left;
    LONG top;
    LONG right;
    LONG bottom;

    static WindowFrame of(DWORD style, BOOL menu);
};

#endif
