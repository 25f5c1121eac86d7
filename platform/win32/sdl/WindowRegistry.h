#ifndef QORX_PLATFORM_SDL_WINDOWREGISTRY_H
#define QORX_PLATFORM_SDL_WINDOWREGISTRY_H

#include "LayerState.h"

#include <windows.h>

// Look-ups in the layer's classes and windows (LayerState). Windows belong
// to the video thread; Layer::state().lock guards only what other threads
// may look at (a window's owning queue, for PostMessageA).
namespace WindowRegistry {

// Class names compare without regard to case, as in Win32; a name whose
// pointer is below 0x10000 is an atom.
int findClass(LPCSTR name, HINSTANCE instance);
ATOM atomOf(int classIndex);
bool classHasWindows(int classIndex);

WindowRecord* window(HWND window);
WindowRecord* windowOfDc(HDC deviceContext);
WindowRecord* windowOfSdl(unsigned int sdlWindowId);
HWND handleOf(const WindowRecord* record);
HDC dcOf(const WindowRecord* record);

} // namespace WindowRegistry

#endif
