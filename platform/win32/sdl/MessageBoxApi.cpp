// MessageBoxA of the Win32 subset.
#include "Signals.h"
#include "WindowRegistry.h"

#include <SDL.h>

#include <windows.h>

#include <cstdio>

namespace {

const UINT IconMask = 0xF0;
const UINT IconError = 0x10;
const UINT IconInformation = 0x40;

Uint32 sdlIconOf(UINT type)
{
    switch (type & IconMask) {
    case IconError:
        return SDL_MESSAGEBOX_ERROR;
    case MB_ICONWARNING:
        return SDL_MESSAGEBOX_WARNING;
    case IconInformation:
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
    Signals::boxShown(true);
    const bool shown = SDL_ShowMessageBox(&box, &pressed) == 0;
    Signals::boxShown(false);
    // A box ended by a signal was shown: the program is ending by the signal.
    if (!shown && Signals::received() == 0) {
        std::fprintf(stderr, "%s: %s\n", shownCaption, shownText);
        std::fflush(stderr);
    }
    return IDOK;
}

} // extern "C"
