// MessageBoxA of the Win32 subset.
#include "WindowRegistry.h"

#include <SDL.h>

#include <windows.h>

#include <cstdio>

namespace {

const UINT iconMask = 0xF0;
const UINT iconError = 0x10;
const UINT iconInformation = 0x40;

Uint32 sdlIconOf(UINT type)
{
    switch (type & iconMask) {
    case iconError:
        return SDL_MESSAGEBOX_ERROR;
    case MB_ICONWARNING:
        return SDL_MESSAGEBOX_WARNING;
    case iconInformation:
        return SDL_MESSAGEBOX_INFORMATION;
    default:
        return 0;
    }
}

} // namespace

extern "C" {

// Only the OK button exists. Where no display can show the box (no X server,
// no Wayland compositor), its caption and text go to standard error on one
// line, so that the message is not lost.
int WINAPI MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type)
{
    const char* shownText = text != nullptr ? text : "";
    const char* shownCaption = caption != nullptr ? caption : "Error";
    WindowRecord* record = WindowRegistry::window(owner);

    SDL_MessageBoxButtonData button;
    button.flags = SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT | SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT;
    button.buttonid = IDOK;
    button.text = "OK";
    SDL_MessageBoxData box;
    box.flags = sdlIconOf(type);
    box.window = record != nullptr ? record->sdlWindow : nullptr;
    box.title = shownCaption;
    box.message = shownText;
    box.numbuttons = 1;
    box.buttons = &button;
    box.colorScheme = nullptr;

    int pressed = 0;
    if (SDL_ShowMessageBox(&box, &pressed) != 0) {
        std::fprintf(stderr, "%s: %s\n", shownCaption, shownText);
        std::fflush(stderr);
    }
    return IDOK;
}

} // extern "C"
