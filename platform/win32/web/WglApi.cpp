// One WebGL context, made through emscripten's own path so that its OpenGL
// 1.1 emulation is set up with it.
#include "PageCalls.h"
#include "PageState.h"

namespace {

HGLRC const CanvasContext = reinterpret_cast<HGLRC>(5);
// WebGL's depth buffer has at least 16 bits, as the window asks for.
const int DepthBits = 16;

} // namespace

extern "C" {

HGLRC WINAPI wglCreateContext(HDC deviceContext)
{
    PageState& page = PageState::current();
    if (deviceContext == NULL)
        return NULL;
    if (!page.contextMade && !qorx_page_create_context(DepthBits))
        return NULL;
    page.contextMade = true;
    return CanvasContext;
}

BOOL WINAPI wglMakeCurrent(HDC, HGLRC glContext)
{
    return glContext == NULL || glContext == CanvasContext;
}

// The context lives as long as the page; the window's close keeps it.
BOOL WINAPI wglDeleteContext(HGLRC glContext)
{
    return glContext == CanvasContext;
}

// No extensions: the animation frames pace the swaps.
PROC WINAPI wglGetProcAddress(LPCSTR)
{
    return NULL;
}

} // extern "C"
