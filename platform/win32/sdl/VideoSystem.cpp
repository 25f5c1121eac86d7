#include "VideoSystem.h"

#include "XDisplay.h"

#include <SDL.h>

#include <cstdlib>
#include <cstring>

namespace {

const char OffscreenDriver[] = "offscreen";

bool isSet(const char* variable)
{
    const char* value = std::getenv(variable);
    return value != nullptr && value[0] != '\0';
}

// SDL's drivers in SDL's order, leaving out those that draw nowhere, and
// Wayland where it has no runtime directory to find a compositor in (it
// would only print its complaint).
bool startDisplayDriver()
{
    for (int index = 0; index < SDL_GetNumVideoDrivers(); ++index) {
        const char* name = SDL_GetVideoDriver(index);
        if (VideoSystem::isHeadlessDriver(name))
            continue;
        if (std::strcmp(name, "wayland") == 0 && !isSet("XDG_RUNTIME_DIR"))
            continue;
        if (std::strcmp(name, "x11") == 0 && !XDisplay::connect())
            continue;
        SDL_SetHint(SDL_HINT_VIDEODRIVER, name);
        if (SDL_InitSubSystem(SDL_INIT_VIDEO) == 0)
            return true;
    }
    SDL_ResetHint(SDL_HINT_VIDEODRIVER);
    return false;
}

// Windows that are never shown still draw: SDL's offscreen driver gives
// them Mesa's contexts, the same pixels as on a display.
bool startWithoutDisplay()
{
    SDL_SetHint(SDL_HINT_VIDEODRIVER, OffscreenDriver);
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) == 0)
        return true;
    SDL_ResetHint(SDL_HINT_VIDEODRIVER);
    return false;
}

} // namespace

bool VideoSystem::isHeadlessDriver(const char* driverName)
{
    return driverName == nullptr || std::strcmp(driverName, OffscreenDriver) == 0 ||
           std::strcmp(driverName, "dummy") == 0 || std::strcmp(driverName, "evdev") == 0;
}

bool VideoSystem::startDriver(bool& withoutDisplay)
{
    withoutDisplay = false;
    // Signals are the layer's (Signals.h); SDL would turn them into a quit
    // event that nobody asked for.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    // A full-screen window keeps its mode when another window takes the
    // focus, as it does on Windows.
    SDL_SetHint(SDL_HINT_VIDEO_MINIMIZE_ON_FOCUS_LOSS, "0");
    // The layer holds the screen saver off itself, while windows exist.
    SDL_SetHint(SDL_HINT_VIDEO_ALLOW_SCREENSAVER, "1");
    if (!isSet("SDL_VIDEODRIVER"))
        return startDisplayDriver() || (withoutDisplay = startWithoutDisplay());
    if (std::strcmp(std::getenv("SDL_VIDEODRIVER"), "x11") == 0)
        XDisplay::connect();
    return SDL_InitSubSystem(SDL_INIT_VIDEO) == 0;
}

// SDL leaves its request to the X server in the output buffer; pumping sends
// it at once rather than at the next frame.
void VideoSystem::holdOffScreenSaver(bool held)
{
    if (held)
        SDL_DisableScreenSaver();
    else
        SDL_EnableScreenSaver();
    SDL_PumpEvents();
}
