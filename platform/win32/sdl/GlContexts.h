#ifndef QORX_PLATFORM_SDL_GLCONTEXTS_H
#define QORX_PLATFORM_SDL_GLCONTEXTS_H

#include <windows.h>

struct WindowRecord;

// WGL's rendering contexts over SDL's OpenGL contexts.
namespace GlContexts {

HGLRC create(HDC deviceContext);
BOOL makeCurrent(HDC deviceContext, HGLRC context);
BOOL destroy(HGLRC context);
BOOL swapBuffers(HDC deviceContext);

BOOL setSwapInterval(int interval);

void windowDestroyed(WindowRecord& record);

} // namespace GlContexts

#endif
