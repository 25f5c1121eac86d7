#ifndef QORX_PLATFORM_SDL_WINDOWREGISTRY_H
#define QORX_PLATFORM_SDL_WINDOWREGISTRY_H

#include "LayerState.h"

#include <windows.h>

// Look-ups in the layer's classes and windows (LayerState). Windows belong
// to the video thread; Layer::state().lock guards only what other threads
// may look at (a window's owning queue, for PostMessageA).
class WindowRegistry {
public:
    // Class names compare without regard to case, as in Win32; a name whose
    // pointer is below 0x10000 is an atom.
    static int findClass(LPCSTR name, HINSTANCE instance);
    static ATOM atomOf(int classIndex);
    static bool classHasWindows(int classIndex);

    static WindowRecord* window(HWND window);
    static WindowRecord* windowOfDc(HDC deviceContext);
    static WindowRecord* windowOfSdl(unsigned int sdlWindowId);
    static HWND handleOf(const WindowRecord* record);
    static HDC dcOf(const WindowRecord* record);
};

#endif
