#include "DisplayModes.h"

#include "LayerState.h"
#include "WindowRegistry.h"
#include "XDisplay.h"

#include <SDL.h>

#include <cstddef>
#include <cstring>

namespace {

const DWORD LongestSide = 16384;

ModeRequest& requested()
{
    return Layer::state().modeRequest;
}

WindowRecord* fullscreenRecord()
{
    return WindowRegistry::window(requested().fullscreenWindow);
}

bool sizeOf(const DEVMODEA& mode, const SDL_DisplayMode& desktop, int* width, int* height, int* bits)
{
    if (mode.dmSize < offsetof(DEVMODEA, dmPelsHeight) + sizeof mode.dmPelsHeight)
        return false;
    DWORD pelsWidth = (mode.dmFields & DM_PELSWIDTH) ? mode.dmPelsWidth : static_cast<DWORD>(desktop.w);
    DWORD pelsHeight = (mode.dmFields & DM_PELSHEIGHT) ? mode.dmPelsHeight : static_cast<DWORD>(desktop.h);
    if (pelsWidth == 0 || pelsHeight == 0 || pelsWidth > LongestSide || pelsHeight > LongestSide)
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
    SDL_SetWindowDisplayMode(record.sdlWindow, &requested().mode);
    SDL_SetWindowFullscreen(record.sdlWindow, SDL_WINDOW_FULLSCREEN);
}

bool isPopup(const WindowRecord& record)
{
    return (record.style & WS_POPUP) != 0 && (record.style & WS_CAPTION) != WS_CAPTION;
}

bool takesChangedMode(const WindowRecord& record)
{
    return requested().active && fullscreenRecord() == nullptr && isPopup(record);
}

// As on Windows, a popup that covers the whole screen is the program's way
// of going full-screen at the desktop's mode.
bool coversScreen(const WindowRecord& record)
{
    SDL_Rect bounds;
    if (!isPopup(record) || SDL_GetDisplayBounds(0, &bounds) != 0)
        return false;
    return record.clientX == bounds.x && record.clientY == bounds.y && record.clientWidth == bounds.w &&
           record.clientHeight == bounds.h;
}

bool displayShows(const SDL_DisplayMode& mode, SDL_Window* window)
{
    SDL_DisplayMode current;
    int display = SDL_GetWindowDisplayIndex(window);
    if (display < 0 || SDL_GetCurrentDisplayMode(display, &current) != 0)
        return false;
    return current.w == mode.w && current.h == mode.h;
}

// A Wayland compositor lets no program change its output's mode: SDL's own
// backend and XWayland only emulate the modes they list.
bool modesAreEmulated()
{
    const char* driver = SDL_GetCurrentVideoDriver();
    return XDisplay::emulatesModes() || (driver != nullptr && std::strcmp(driver, "wayland") == 0);
}

} // namespace

LONG DisplayModes::change(const DEVMODEA& mode)
{
    if (!Layer::start())
        return DISP_CHANGE_FAILED;
    SDL_DisplayMode desktop;
    if (SDL_GetDesktopDisplayMode(0, &desktop) != 0)
        return DISP_CHANGE_FAILED;
    int width = 0;
    int height = 0;
    int bits = 0;
    SDL_DisplayMode found;
    if (!sizeOf(mode, desktop, &width, &height, &bits) || !findMode(width, height, bits, &found))
        return DISP_CHANGE_BADMODE;
    requested().active = true;
    requested().mode = found;
    WindowRecord* record = fullscreenRecord();
    if (record != nullptr && record->sdlWindow != nullptr) {
        applyMode(*record);
        windowShown(*record);
    }
    return DISP_CHANGE_SUCCESSFUL;
}

LONG DisplayModes::restore()
{
    requested().active = false;
    WindowRecord* record = fullscreenRecord();
    if (record != nullptr && record->sdlWindow != nullptr) {
        // The popup stays where it was, at its own size, on the desktop. A
        // window that went away only gives the mode back: SDL would wait in
        // vain for a lost window to move.
        SDL_SetWindowFullscreen(record->sdlWindow, 0);
        if (!record->lost) {
            SDL_SetWindowSize(record->sdlWindow, record->clientWidth, record->clientHeight);
            if (record->clientX != CW_USEDEFAULT)
                SDL_SetWindowPosition(record->sdlWindow, record->clientX, record->clientY);
        }
        record->fullscreen = false;
    }
    requested().fullscreenWindow = NULL;
    return DISP_CHANGE_SUCCESSFUL;
}

Uint32 DisplayModes::prepareWindow(WindowRecord& record)
{
    if (takesChangedMode(record)) {
        record.fullscreen = true;
        requested().fullscreenWindow = WindowRegistry::handleOf(&record);
        return SDL_WINDOW_FULLSCREEN;
    }
    record.coversScreen = coversScreen(record);
    return 0;
}

void DisplayModes::windowCreated(WindowRecord& record)
{
    if (record.fullscreen)
        SDL_SetWindowDisplayMode(record.sdlWindow, &requested().mode);
    else if (record.coversScreen)
        coverDesktop(record.sdlWindow);
}

// The display listed the mode yet did not take it: the window covers the
// desktop instead, so at least nothing else shows through.
void DisplayModes::windowShown(WindowRecord& record)
{
    if (!record.visible)
        return;
    if (record.coversScreen) {
        coverDesktop(record.sdlWindow);
        return;
    }
    if (!record.fullscreen)
        return;
    if (displayShows(requested().mode, record.sdlWindow))
        return;
    record.coversScreen = true;
    coverDesktop(record.sdlWindow);
}

void DisplayModes::windowDestroyed(WindowRecord& record)
{
    if (WindowRegistry::handleOf(&record) == requested().fullscreenWindow)
        requested().fullscreenWindow = NULL;
}

int DisplayModes::showCursor(bool show)
{
    int& count = Layer::state().cursorCount;
    const int before = count;
    count += show ? 1 : -1;
    const bool visibilityChanged = (before >= 0) != (count >= 0);
    if (visibilityChanged && Layer::isStarted())
        SDL_ShowCursor(count >= 0 ? SDL_ENABLE : SDL_DISABLE);
    return count;
}

int DisplayModes::screenMetric(int index)
{
    SDL_DisplayMode current;
    if (!Layer::start() || SDL_GetCurrentDisplayMode(0, &current) != 0)
        return 0;
    if (requested().active && !modesAreEmulated())
        current = requested().mode;
    if (index == SM_CXSCREEN)
        return current.w;
    if (index == SM_CYSCREEN)
        return current.h;
    return 0;
}
