#include "GlContexts.h"

#include "LayerState.h"
#include "PixelFormat.h"
#include "WindowRegistry.h"

#include <SDL.h>

namespace {

HandleTable<ContextRecord, ContextCapacity>& contexts()
{
    return Layer::state().contexts;
}

ContextRecord* recordOf(HGLRC context)
{
    return contexts().find(reinterpret_cast<uintptr_t>(context));
}

// NULL for a thread the layer has no room for: it has no context either.
HGLRC currentContext()
{
    ThreadRecord* thread = Layer::currentThread();
    return thread == nullptr ? NULL : thread->currentContext;
}

void setCurrentContext(HGLRC context)
{
    ThreadRecord* thread = Layer::currentThread();
    if (thread != nullptr)
        thread->currentContext = context;
}

ContextRecord* currentRecord()
{
    return recordOf(currentContext());
}

void releaseCurrent()
{
    ContextRecord* record = currentRecord();
    if (record != nullptr)
        record->current = false;
    setCurrentContext(NULL);
}

} // namespace

HGLRC GlContexts::create(HDC deviceContext)
{
    WindowRecord* window = WindowRegistry::windowOfDc(deviceContext);
    if (window == nullptr || window->sdlWindow == nullptr)
        return NULL;
    int index = contexts().add();
    if (index < 0)
        return NULL;
    // SDL makes a new context current; WGL leaves the current one alone.
    SDL_Window* previousWindow = SDL_GL_GetCurrentWindow();
    SDL_GLContext previousContext = SDL_GL_GetCurrentContext();
    SDL_GLContext made = SDL_GL_CreateContext(window->sdlWindow);
    SDL_GL_MakeCurrent(previousWindow, previousContext);
    if (made == nullptr) {
        contexts().remove(index);
        return NULL;
    }
    ContextRecord& record = contexts().records[index];
    record.context = made;
    record.pixelFormat = window->pixelFormat;
    return reinterpret_cast<HGLRC>(contexts().handleOf(index));
}

BOOL GlContexts::makeCurrent(HDC deviceContext, HGLRC context)
{
    if (context == NULL) {
        releaseCurrent();
        SDL_GL_MakeCurrent(SDL_GL_GetCurrentWindow(), nullptr);
        return TRUE;
    }
    ContextRecord* record = recordOf(context);
    WindowRecord* window = WindowRegistry::windowOfDc(deviceContext);
    if (record == nullptr || window == nullptr || window->sdlWindow == nullptr)
        return FALSE;
    // As in WGL: the window must have the context's pixel format, and a
    // context is current on one thread at a time.
    if (window->pixelFormat != record->pixelFormat)
        return FALSE;
    if (record->current && record->thread != SDL_ThreadID())
        return FALSE;
    if (SDL_GL_MakeCurrent(window->sdlWindow, record->context) != 0)
        return FALSE;
    releaseCurrent();
    setCurrentContext(context);
    record->current = true;
    record->thread = SDL_ThreadID();
    record->window = WindowRegistry::handleOf(window);
    return TRUE;
}

BOOL GlContexts::destroy(HGLRC context)
{
    ContextRecord* record = recordOf(context);
    if (record == nullptr)
        return FALSE;
    if (record->current && record->thread != SDL_ThreadID())
        return FALSE;
    if (context == currentContext())
        releaseCurrent();
    SDL_GL_DeleteContext(record->context);
    contexts().remove(contexts().indexOf(reinterpret_cast<uintptr_t>(context)));
    return TRUE;
}

BOOL GlContexts::swapBuffers(HDC deviceContext)
{
    WindowRecord* window = WindowRegistry::windowOfDc(deviceContext);
    if (window == nullptr || window->sdlWindow == nullptr)
        return FALSE;
    SDL_GL_SwapWindow(window->sdlWindow);
    return TRUE;
}

// WGL's swap interval belongs to the context current on the thread.
BOOL GlContexts::setSwapInterval(int interval)
{
    if (currentRecord() == nullptr)
        return FALSE;
    return SDL_GL_SetSwapInterval(interval) == 0 ? TRUE : FALSE;
}

void GlContexts::windowDestroyed(WindowRecord& window)
{
    HWND handle = WindowRegistry::handleOf(&window);
    for (int index = 0; index < ContextCapacity; ++index) {
        if (contexts().isUsed(index) && contexts().records[index].window == handle)
            contexts().records[index].window = NULL;
    }
}
