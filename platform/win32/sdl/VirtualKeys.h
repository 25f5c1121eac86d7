#ifndef QORX_PLATFORM_SDL_VIRTUALKEYS_H
#define QORX_PLATFORM_SDL_VIRTUALKEYS_H

#include <SDL_keyboard.h>

// Windows virtual-key codes for SDL's keys: the layout decides letters and
// digits (the key that types 'A' is 'A'), other keys go by their position.
namespace VirtualKeys {

// 0 for a key that has no virtual-key code.
int fromSdl(const SDL_Keysym& key);
// Keys whose Win32 key messages carry the extended-key flag.
bool isExtended(const SDL_Keysym& key);
// The character TranslateMessage makes of a key with these modifiers,
// or 0 for none.
int characterOf(int virtualKey, Uint16 modifiers);

} // namespace VirtualKeys

#endif
