#include "LayerState.h"

#include "Signals.h"
#include "VideoSystem.h"
#include "XDisplay.h"

#include <SDL.h>

#include <cstdlib>

namespace {

// Constant-initialised: no code runs before main.
LayerState layerState;
bool exitHookRegistered = false;

// A thread's hold on its record; the record is free again when the thread ends.
struct ThreadLease {
    int index = -1;
    ~ThreadLease();
};

thread_local ThreadLease lease;

ThreadLease::~ThreadLease()
{
    if (index < 0)
        return;
    std::lock_guard<std::mutex> guard(layerState.lock);
    layerState.threads[index].queue.clear();
    layerState.threadUsed[index] = false;
}

void forgetThreadState(ThreadRecord& thread)
{
    thread.queue.clear();
    thread.focus = NULL;
    thread.currentContext = NULL;
}

void leaveFullscreen()
{
    LayerState& state = layerState;
    WindowRecord* fullscreen = state.windows.find(reinterpret_cast<uintptr_t>(state.modeRequest.fullscreenWindow));
    if (fullscreen != nullptr && fullscreen->sdlWindow != nullptr)
        SDL_SetWindowFullscreen(fullscreen->sdlWindow, 0);
}

// Windows gives the desktop its mode back when the program that changed it
// ends, however it ends; an X server keeps whatever mode it was last given.
// The rest goes with the process: stopping SDL here would unload the OpenGL
// driver under the leak checker's feet. A program ended by a signal ends
// with that signal, once the display is given back.
void atExit()
{
    if (!layerState.started.load())
        return;
    const int signal = Signals::received();
    Signals::stop();
    leaveFullscreen();
    if (signal != 0)
        Signals::endWith(signal);
}

} // namespace

LayerState& Layer::state()
{
    return layerState;
}

bool Layer::start()
{
    if (layerState.started.load())
        return true;
    if (!VideoSystem::startDriver(layerState.withoutDisplay))
        return false;
    layerState.videoThread = SDL_ThreadID();
    layerState.started.store(true);
    XDisplay::start();
    Signals::start();
    if (!exitHookRegistered)
        exitHookRegistered = std::atexit(atExit) == 0;
    return true;
}

bool Layer::isStarted()
{
    return layerState.started.load();
}

void Layer::windowCreated()
{
    if (layerState.windowCount++ == 0)
        VideoSystem::holdOffScreenSaver(true);
}

void Layer::windowDestroyed()
{
    if (layerState.windowCount > 0 && --layerState.windowCount == 0)
        VideoSystem::holdOffScreenSaver(false);
}

bool Layer::isVideoThread()
{
    return layerState.started.load() && SDL_ThreadID() == layerState.videoThread;
}

void Layer::stop()
{
    if (!layerState.started.load())
        return;
    Signals::stop();
    leaveFullscreen();
    LayerState& state = layerState;
    SDL_GL_MakeCurrent(SDL_GL_GetCurrentWindow(), nullptr);
    for (int index = 0; index < ContextCapacity; ++index) {
        if (state.contexts.isUsed(index))
            SDL_GL_DeleteContext(state.contexts.records[index].context);
    }
    for (int index = 0; index < WindowCapacity; ++index) {
        if (state.windows.isUsed(index) && state.windows.records[index].sdlWindow != nullptr)
            SDL_DestroyWindow(state.windows.records[index].sdlWindow);
    }
    XDisplay::stop();
    SDL_QuitSubSystem(SDL_INIT_VIDEO);

    std::lock_guard<std::mutex> guard(state.lock);
    state.contexts.clear();
    state.windows.clear();
    state.classes.clear();
    state.modeRequest = ModeRequest();
    state.windowCount = 0;
    state.cursorCount = 0;
    state.withoutDisplay = false;
    for (int index = 0; index < ThreadCapacity; ++index) {
        if (state.threadUsed[index])
            forgetThreadState(state.threads[index]);
    }
    state.videoThread = 0;
    state.started.store(false);
}

ThreadRecord* Layer::currentThread()
{
    if (lease.index >= 0)
        return &layerState.threads[lease.index];
    std::lock_guard<std::mutex> guard(layerState.lock);
    for (int index = 0; index < ThreadCapacity; ++index) {
        if (layerState.threadUsed[index])
            continue;
        layerState.threadUsed[index] = true;
        ThreadRecord& thread = layerState.threads[index];
        forgetThreadState(thread);
        thread.thread = SDL_ThreadID();
        lease.index = index;
        return &thread;
    }
    return nullptr;
}
