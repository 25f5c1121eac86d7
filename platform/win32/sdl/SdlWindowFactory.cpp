#include "SdlWindowFactory.h"

#include "DisplayModes.h"
#include "LayerState.h"
#include "PixelFormat.h"
#include "WindowRegistry.h"
#include "XDisplay.h"

#include <SDL.h>

namespace {

int sdlPosition(int position)
{
    return position == CW_USEDEFAULT ? static_cast<int>(SDL_WINDOWPOS_UNDEFINED) : position;
}

Uint32 flagsOf(const WindowRecord& record)
{
    Uint32 flags = SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN;
    if ((record.style & WS_CAPTION) != WS_CAPTION)
        flags |= SDL_WINDOW_BORDERLESS;
    if (record.style & WS_THICKFRAME)
        flags |= SDL_WINDOW_RESIZABLE;
    return flags;
}

SDL_Window* makeWindow(const WindowRecord& record, const PixelFormat& format, Uint32 flags, bool relaxedColour)
{
    format.applyToSdl(relaxedColour);
    int width = record.clientWidth > 0 ? record.clientWidth : 1;
    int height = record.clientHeight > 0 ? record.clientHeight : 1;
    return SDL_CreateWindow(record.title, sdlPosition(record.clientX), sdlPosition(record.clientY), width, height,
                            flags);
}

} // namespace

bool SdlWindowFactory::create(WindowRecord& record, const PixelFormat& format)
{
    Uint32 flags = flagsOf(record) | DisplayModes::prepareWindow(record);
    // Win32 gives the closest format the display has; GLX refuses a colour
    // depth it lacks (24 bits on a 16-bit X server), so ask again for any.
    SDL_Window* window = makeWindow(record, format, flags, false);
    if (window == nullptr)
        window = makeWindow(record, format, flags, true);
    if (window == nullptr) {
        record.fullscreen = false;
        record.coversScreen = false;
        DisplayModes::windowDestroyed(record);
        return false;
    }
    record.sdlWindow = window;
    record.xWindow = XDisplay::windowOf(window);
    record.pixelFormat = format.number();
    // SDL gives a hidden cursor to the windows that exist when it is hidden,
    // and to a new one only once the pointer comes in; Win32 hides it
    // everywhere at once.
    if (Layer::state().cursorCount < 0)
        SDL_SetCursor(nullptr);
    DisplayModes::windowCreated(record);
    if (record.visible) {
        SDL_ShowWindow(window);
        DisplayModes::windowShown(record);
    }
    return true;
}
