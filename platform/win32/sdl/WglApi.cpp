// Pixel formats, rendering contexts and buffer swaps of the WGL subset.
#include "GlContexts.h"
#include "PixelFormat.h"
#include "SdlWindowFactory.h"
#include "WindowRegistry.h"

#include <SDL.h>

#include <windows.h>

#include <cstring>

namespace {

BOOL WINAPI swapIntervalExt(int interval)
{
    return GlContexts::setSwapInterval(interval);
}

} // namespace

extern "C" {

int WINAPI ChoosePixelFormat(HDC deviceContext, const PIXELFORMATDESCRIPTOR* descriptor)
{
    if (WindowRegistry::windowOfDc(deviceContext) == nullptr || descriptor == nullptr)
        return 0;
    return PixelFormat::choose(*descriptor);
}

// A window's pixel format is set once; this is where its SDL window is made.
BOOL WINAPI SetPixelFormat(HDC deviceContext, int format, const PIXELFORMATDESCRIPTOR* descriptor)
{
    (void)descriptor;
    WindowRecord* window = WindowRegistry::windowOfDc(deviceContext);
    PixelFormat chosen;
    if (window == nullptr || window->pixelFormat != 0 || !PixelFormat::decode(format, &chosen))
        return FALSE;
    return SdlWindowFactory::create(*window, chosen) ? TRUE : FALSE;
}

BOOL WINAPI SwapBuffers(HDC deviceContext)
{
    return GlContexts::swapBuffers(deviceContext);
}

HGLRC WINAPI wglCreateContext(HDC deviceContext)
{
    return GlContexts::create(deviceContext);
}

BOOL WINAPI wglMakeCurrent(HDC deviceContext, HGLRC glContext)
{
    return GlContexts::makeCurrent(deviceContext, glContext);
}

BOOL WINAPI wglDeleteContext(HGLRC glContext)
{
    return GlContexts::destroy(glContext);
}

// The WGL extension the window library asks for is the layer's own; other
// names are the driver's OpenGL extensions. As with GLX, a name the driver
// lacks may still give a pointer: check the extension string first.
PROC WINAPI wglGetProcAddress(LPCSTR name)
{
    if (name == nullptr)
        return NULL;
    if (std::strcmp(name, "wglSwapIntervalEXT") == 0)
        return reinterpret_cast<PROC>(reinterpret_cast<void (*)()>(swapIntervalExt));
    return reinterpret_cast<PROC>(SDL_GL_GetProcAddress(name));
}

} // extern "C"
