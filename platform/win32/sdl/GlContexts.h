#ifndef QORX_PLATFORM_SDL_GLCONTEXTS_H
#define QORX_PLATFORM_SDL_GLCONTEXTS_H

#include <windows.h>

struct WindowRecord;

// WGL's rendering contexts over SDL's OpenGL contexts.
class GlContexts {
public:
    static const int capacity = 16;

    static HGLRC create(HDC deviceContext);
    static BOOL makeCurrent(HDC deviceContext, HGLRC context);
    static BOOL destroy(HGLRC context);
    static BOOL swapBuffers(HDC deviceContext);

    // The window's picture has to be scaled from now on: the context current
    // on this thread for it starts drawing off-screen.
    static void windowScaled(WindowRecord& record);
    static void windowDestroyed(WindowRecord& record);
};

#endif
