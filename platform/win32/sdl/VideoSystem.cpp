#include "VideoSystem.h"

#include <SDL.h>

#include <atomic>
#include <cstdlib>
#include <cstring>

namespace {

std::atomic<bool> started{false};
SDL_threadID videoThread = 0;
int windowCount = 0;

bool driverNamedByUser()
{
    const char* named = std::getenv("SDL_VIDEODRIVER");
    return named != nullptr && named[0] != '\0';
}

} // namespace

bool VideoSystem::isHeadlessDriver(const char* driverName)
{
    return driverName == nullptr || std::strcmp(driverName, "offscreen") == 0 ||
           std::strcmp(driverName, "dummy") == 0;
}

bool VideoSystem::start()
{
    if (started.load())
        return true;
    // Ctrl+C and kill end the program as they end any other; SDL would turn
    // them into a quit event that nobody asked for.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    // A full-screen window keeps its mode when another window takes the
    // focus, as it does on Windows.
    SDL_SetHint(SDL_HINT_VIDEO_MINIMIZE_ON_FOCUS_LOSS, "0");
    // The layer holds the screen saver off itself, while windows exist.
    SDL_SetHint(SDL_HINT_VIDEO_ALLOW_SCREENSAVER, "1");
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0)
        return false;
    if (!driverNamedByUser() && isHeadlessDriver(SDL_GetCurrentVideoDriver())) {
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        return false;
    }
    videoThread = SDL_ThreadID();
    started.store(true);
    return true;
}

bool VideoSystem::isStarted()
{
    return started.load();
}

bool VideoSystem::isVideoThread()
{
    return started.load() && SDL_ThreadID() == videoThread;
}

void VideoSystem::windowCreated()
{
    if (windowCount++ == 0)
        SDL_DisableScreenSaver();
}

void VideoSystem::windowDestroyed()
{
    if (windowCount > 0 && --windowCount == 0)
        SDL_EnableScreenSaver();
}
