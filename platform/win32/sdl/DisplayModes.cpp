#include "DisplayModes.h"

#include "GlContexts.h"
#include "VideoSystem.h"
#include "WindowRegistry.h"

#include <SDL.h>

#include <cstddef>
#include <cstdlib>

namespace {

const DWORD longestSide = 16384;

struct RequestedMode {
    bool active;
    bool scaled;
    SDL_DisplayMode mode;
};

RequestedMode requested = {};
HWND fullscreenWindow = NULL;
bool restoreRegistered = false;
int cursorCount = 0;

// Windows gives the desktop its mode back when the program that changed it
// ends; an X server keeps whatever mode it was last given.
void restoreAtExit()
{
    WindowRecord* record = WindowRegistry::window(fullscreenWindow);
    if (record != nullptr && record->sdlWindow != nullptr)
        SDL_SetWindowFullscreen(record->sdlWindow, 0);
}

bool sizeOf(const DEVMODEA& mode, const SDL_DisplayMode& desktop, int* width, int* height, int* bits)
{
    if (mode.dmSize < offsetof(DEVMODEA, dmPelsHeight) + sizeof mode.dmPelsHeight)
        return false;
    DWORD pelsWidth = (mode.dmFields & DM_PELSWIDTH) ? mode.dmPelsWidth : static_cast<DWORD>(desktop.w);
    DWORD pelsHeight = (mode.dmFields & DM_PELSHEIGHT) ? mode.dmPelsHeight : static_cast<DWORD>(desktop.h);
    if (pelsWidth == 0 || pelsHeight == 0 || pelsWidth > longestSide || pelsHeight > longestSide)
        return false;
    *width = static_cast<int>(pelsWidth);
    *height = static_cast<int>(pelsHeight);
    *bits = (mode.dmFields & DM_BITSPERPEL) ? static_cast<int>(mode.dmBitsPerPel) : 0;
    return true;
}

// A mode of that size with that depth, else one of that size at whatever
// depth the display runs (on X11 always the desktop's). SDL lists the modes
// with the highest refresh rate first.
bool findMode(int width, int height, int bits, SDL_DisplayMode* found)
{
    bool sizeFound = false;
    int count = SDL_GetNumDisplayModes(0);
    for (int index = 0; index < count; ++index) {
        SDL_DisplayMode mode;
        if (SDL_GetDisplayMode(0, index, &mode) != 0 || mode.w != width || mode.h != height)
            continue;
        if (bits == 0 || static_cast<int>(SDL_BITSPERPIXEL(mode.format)) == bits) {
            *found = mode;
            return true;
        }
        if (!sizeFound)
            *found = mode;
        sizeFound = true;
    }
    return sizeFound;
}

// Full-screen at the desktop's mode. Without a window manager nobody acts on
// SDL's full-screen request, so the window is first given the screen's size
// and place itself.
void coverDesktop(SDL_Window* window)
{
    SDL_Rect bounds;
    if (SDL_GetDisplayBounds(0, &bounds) != 0)
        return;
    SDL_SetWindowFullscreen(window, 0);
    SDL_SetWindowPosition(window, bounds.x, bounds.y);
    SDL_SetWindowSize(window, bounds.w, bounds.h);
    SDL_SetWindowFullscreen(window, SDL_WINDOW_FULLSCREEN_DESKTOP);
}

void applyMode(WindowRecord& record)
{
    if (record.scaled) {
        coverDesktop(record.sdlWindow);
        return;
    }
    SDL_SetWindowDisplayMode(record.sdlWindow, &requested.mode);
    SDL_SetWindowFullscreen(record.sdlWindow, SDL_WINDOW_FULLSCREEN);
}

bool takesFullscreen(const WindowRecord& record)
{
    return requested.active && WindowRegistry::window(fullscreenWindow) == nullptr && (record.style & WS_POPUP) != 0 &&
           (record.style & WS_CAPTION) != WS_CAPTION;
}

bool displayShows(const SDL_DisplayMode& mode, SDL_Window* window)
{
    SDL_DisplayMode current;
    int display = SDL_GetWindowDisplayIndex(window);
    if (display < 0 || SDL_GetCurrentDisplayMode(display, &current) != 0)
        return false;
    return current.w == mode.w && current.h == mode.h;
}

} // namespace

LONG DisplayModes::change(const DEVMODEA& mode)
{
    if (!VideoSystem::start())
        return DISP_CHANGE_FAILED;
    SDL_DisplayMode desktop;
    if (SDL_GetDesktopDisplayMode(0, &desktop) != 0)
        return DISP_CHANGE_FAILED;
    int width = 0;
    int height = 0;
    int bits = 0;
    if (!sizeOf(mode, desktop, &width, &height, &bits))
        return DISP_CHANGE_BADMODE;
    requested.active = true;
    requested.scaled = !findMode(width, height, bits, &requested.mode);
    if (!restoreRegistered)
        restoreRegistered = std::atexit(restoreAtExit) == 0;
    WindowRecord* record = WindowRegistry::window(fullscreenWindow);
    if (record != nullptr && record->sdlWindow != nullptr) {
        record->scaled = requested.scaled;
        applyMode(*record);
        if (record->scaled)
            GlContexts::windowScaled(*record);
        else
            windowShown(*record);
    }
    return DISP_CHANGE_SUCCESSFUL;
}

LONG DisplayModes::restore()
{
    requested.active = false;
    WindowRecord* record = WindowRegistry::window(fullscreenWindow);
    if (record != nullptr && record->sdlWindow != nullptr) {
        // The popup stays where it was, at its own size, on the desktop.
        SDL_SetWindowFullscreen(record->sdlWindow, 0);
        SDL_SetWindowSize(record->sdlWindow, record->clientWidth, record->clientHeight);
        if (record->clientX != CW_USEDEFAULT)
            SDL_SetWindowPosition(record->sdlWindow, record->clientX, record->clientY);
        record->scaled = false;
        record->fullscreen = false;
    }
    fullscreenWindow = NULL;
    return DISP_CHANGE_SUCCESSFUL;
}

Uint32 DisplayModes::prepareWindow(WindowRecord& record)
{
    if (!takesFullscreen(record))
        return 0;
    record.fullscreen = true;
    record.scaled = requested.scaled;
    fullscreenWindow = WindowRegistry::handleOf(&record);
    return record.scaled ? 0 : SDL_WINDOW_FULLSCREEN;
}

void DisplayModes::windowCreated(WindowRecord& record)
{
    if (!record.fullscreen)
        return;
    if (record.scaled)
        coverDesktop(record.sdlWindow);
    else
        SDL_SetWindowDisplayMode(record.sdlWindow, &requested.mode);
}

void DisplayModes::windowShown(WindowRecord& record)
{
    if (!record.fullscreen || record.scaled || !record.visible)
        return;
    if (displayShows(requested.mode, record.sdlWindow))
        return;
    record.scaled = true;
    coverDesktop(record.sdlWindow);
    GlContexts::windowScaled(record);
}

void DisplayModes::windowDestroyed(WindowRecord& record)
{
    if (WindowRegistry::handleOf(&record) == fullscreenWindow)
        fullscreenWindow = NULL;
}

int DisplayModes::showCursor(bool show)
{
    int before = cursorCount;
    cursorCount += show ? 1 : -1;
    bool visibilityChanged = (before >= 0) != (cursorCount >= 0);
    if (visibilityChanged && VideoSystem::isStarted())
        SDL_ShowCursor(cursorCount >= 0 ? SDL_ENABLE : SDL_DISABLE);
    return cursorCount;
}
