#ifndef QORX_PLATFORM_SDL_GLCONTEXTS_H
#define QORX_PLATFORM_SDL_GLCONTEXTS_H

#include <windows.h>

struct WindowRecord;

// WGL's rendering contexts over SDL's OpenGL contexts.
class GlContexts {
public:
    static HGLRC create(HDC deviceContext);
    static BOOL makeCurrent(HDC deviceContext, HGLRC context);
    static BOOL destroy(HGLRC context);
    static BOOL swapBuffers(HDC deviceContext);

    static BOOL setSwapInterval(int interval);

    static void windowDestroyed(WindowRecord& record);
};

#endif
