#include "VirtualKeys.h"

#include <windows.h>

namespace {

struct KeyPair {
    SDL_Keycode sdl;
    int virtualKey;
};

// Codes beyond those that <windows.h> names for the program.
const int VkLeftWindows = 0x5B;
const int VkRightWindows = 0x5C;
const int VkApplications = 0x5D;
const int VkNumpad0 = 0x60;
const int VkMultiply = 0x6A;
const int VkAdd = 0x6B;
const int VkSubtract = 0x6D;
const int VkDecimal = 0x6E;
const int VkDivide = 0x6F;
const int VkNumLock = 0x90;
const int VkScrollLock = 0x91;
const int VkSnapshot = 0x2C;

const KeyPair NamedKeys[] = {
    {SDLK_BACKSPACE, VK_BACK},
    {SDLK_TAB, VK_TAB},
    {SDLK_RETURN, VK_RETURN},
    {SDLK_KP_ENTER, VK_RETURN},
    {SDLK_LSHIFT, VK_SHIFT},
    {SDLK_RSHIFT, VK_SHIFT},
    {SDLK_LCTRL, VK_CONTROL},
    {SDLK_RCTRL, VK_CONTROL},
    {SDLK_LALT, VK_MENU},
    {SDLK_RALT, VK_MENU},
    {SDLK_PAUSE, VK_PAUSE},
    {SDLK_CAPSLOCK, VK_CAPITAL},
    {SDLK_ESCAPE, VK_ESCAPE},
    {SDLK_SPACE, VK_SPACE},
    {SDLK_PAGEUP, VK_PRIOR},
    {SDLK_PAGEDOWN, VK_NEXT},
    {SDLK_END, VK_END},
    {SDLK_HOME, VK_HOME},
    {SDLK_LEFT, VK_LEFT},
    {SDLK_UP, VK_UP},
    {SDLK_RIGHT, VK_RIGHT},
    {SDLK_DOWN, VK_DOWN},
    {SDLK_INSERT, VK_INSERT},
    {SDLK_DELETE, VK_DELETE},
    {SDLK_PRINTSCREEN, VkSnapshot},
    {SDLK_LGUI, VkLeftWindows},
    {SDLK_RGUI, VkRightWindows},
    {SDLK_APPLICATION, VkApplications},
    {SDLK_KP_MULTIPLY, VkMultiply},
    {SDLK_KP_PLUS, VkAdd},
    {SDLK_KP_MINUS, VkSubtract},
    {SDLK_KP_PERIOD, VkDecimal},
    {SDLK_KP_DIVIDE, VkDivide},
    {SDLK_NUMLOCKCLEAR, VkNumLock},
    {SDLK_SCROLLLOCK, VkScrollLock},
};

// US positions of the punctuation keys (VK_OEM_*), for layouts that put
// other characters there.
struct ScancodePair {
    SDL_Scancode scancode;
    int virtualKey;
};

const ScancodePair PunctuationKeys[] = {
    {SDL_SCANCODE_SEMICOLON, 0xBA},    {SDL_SCANCODE_EQUALS, 0xBB},      {SDL_SCANCODE_COMMA, 0xBC},
    {SDL_SCANCODE_MINUS, 0xBD},        {SDL_SCANCODE_PERIOD, 0xBE},      {SDL_SCANCODE_SLASH, 0xBF},
    {SDL_SCANCODE_GRAVE, 0xC0},        {SDL_SCANCODE_LEFTBRACKET, 0xDB}, {SDL_SCANCODE_BACKSLASH, 0xDC},
    {SDL_SCANCODE_RIGHTBRACKET, 0xDD}, {SDL_SCANCODE_APOSTROPHE, 0xDE},  {SDL_SCANCODE_NONUSBACKSLASH, 0xE2},
};

int fromKeycode(SDL_Keycode code)
{
    if (code >= SDLK_a && code <= SDLK_z)
        return 'A' + (code - SDLK_a);
    if (code >= SDLK_0 && code <= SDLK_9)
        return '0' + (code - SDLK_0);
    if (code >= SDLK_F1 && code <= SDLK_F12)
        return VK_F1 + (code - SDLK_F1);
    if (code >= SDLK_F13 && code <= SDLK_F24)
        return VK_F1 + 12 + (code - SDLK_F13);
    if (code == SDLK_KP_0)
        return VkNumpad0;
    if (code >= SDLK_KP_1 && code <= SDLK_KP_9)
        return VkNumpad0 + 1 + (code - SDLK_KP_1);
    for (const KeyPair& pair : NamedKeys) {
        if (pair.sdl == code)
            return pair.virtualKey;
    }
    return 0;
}

// Keys whose layout gives them no code above (punctuation, letters outside
// ASCII) go by their US position.
int fromScancode(SDL_Scancode scancode)
{
    if (scancode >= SDL_SCANCODE_A && scancode <= SDL_SCANCODE_Z)
        return 'A' + (scancode - SDL_SCANCODE_A);
    if (scancode >= SDL_SCANCODE_1 && scancode <= SDL_SCANCODE_9)
        return '1' + (scancode - SDL_SCANCODE_1);
    if (scancode == SDL_SCANCODE_0)
        return '0';
    for (const ScancodePair& pair : PunctuationKeys) {
        if (pair.scancode == scancode)
            return pair.virtualKey;
    }
    return 0;
}

} // namespace

int VirtualKeys::fromSdl(const SDL_Keysym& key)
{
    int fromLayout = fromKeycode(key.sym);
    return fromLayout != 0 ? fromLayout : fromScancode(key.scancode);
}

bool VirtualKeys::isExtended(const SDL_Keysym& key)
{
    switch (key.sym) {
    case SDLK_RCTRL:
    case SDLK_RALT:
    case SDLK_KP_ENTER:
    case SDLK_KP_DIVIDE:
    case SDLK_INSERT:
    case SDLK_DELETE:
    case SDLK_HOME:
    case SDLK_END:
    case SDLK_PAGEUP:
    case SDLK_PAGEDOWN:
    case SDLK_LEFT:
    case SDLK_RIGHT:
    case SDLK_UP:
    case SDLK_DOWN:
    case SDLK_NUMLOCKCLEAR:
    case SDLK_PRINTSCREEN:
        return true;
    default:
        return false;
    }
}

int VirtualKeys::characterOf(int virtualKey, Uint16 modifiers)
{
    bool shift = (modifiers & KMOD_SHIFT) != 0;
    bool capsLock = (modifiers & KMOD_CAPS) != 0;
    bool control = (modifiers & KMOD_CTRL) != 0;
    if (virtualKey >= 'A' && virtualKey <= 'Z') {
        if (control)
            return virtualKey - 'A' + 1;
        return shift != capsLock ? virtualKey : virtualKey - 'A' + 'a';
    }
    if (virtualKey >= '0' && virtualKey <= '9')
        return shift || control ? 0 : virtualKey;
    switch (virtualKey) {
    case VK_SPACE:
        return ' ';
    case VK_RETURN:
        return '\r';
    case VK_ESCAPE:
        return VK_ESCAPE; // ASCII's ESC has the key's own code
    case VK_BACK:
        return '\b';
    case VK_TAB:
        return '\t';
    default:
        return 0;
    }
}
