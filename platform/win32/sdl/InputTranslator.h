#ifndef QORX_PLATFORM_SDL_INPUTTRANSLATOR_H
#define QORX_PLATFORM_SDL_INPUTTRANSLATOR_H

#include <windows.h>

#include <SDL_events.h>

class MessageQueue;

// Turns SDL's events into the messages a Win32 window would get: key
// messages and close requests are queued as input; size and activation
// changes are sent to the window procedure at once, as Win32 sends them.
namespace InputTranslator {

// Takes SDL events until one becomes an input message in the queue or
// none are left. Only the video thread takes SDL events.
void pump(MessageQueue& queue);

// Close requests that come from outside SDL's events: a signal (see
// Signals.h), and windows that went away without the program asking
// (see XDisplay.h). Each closes as the desktop's close request does.
void requestCloses(MessageQueue& queue);

// The key message for an SDL key event: WM_KEYDOWN/WM_KEYUP, or
// WM_SYSKEYDOWN/WM_SYSKEYUP with Alt (without Ctrl) and for F10.
// False for a key without a virtual-key code.
bool keyMessage(const SDL_KeyboardEvent& key, HWND window, MSG* msg);

} // namespace InputTranslator

#endif
