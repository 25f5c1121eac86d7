#ifndef QORX_PLATFORM_SDL_XDISPLAY_H
#define QORX_PLATFORM_SDL_XDISPLAY_H

#include <SDL_events.h>
#include <SDL_video.h>

// What the layer adds to SDL on an X server (nothing elsewhere).
//
// X errors: SDL's own handler puts the desktop's mode back by calling Xlib
// from inside the handler, which deadlocks on the display's lock, and then
// ends the program; a window destroyed from outside (xdotool windowclose, a
// broken window manager) makes every swap an error. The layer's handler only
// notes which resource failed, so that the window's loss takes the close
// path (see InputTranslator).
//
// A lost connection (the X server ended or dropped the program) cannot be
// recovered from: the layer says so in one line on standard error and the
// program ends with exit code 255.
namespace XDisplay {

// After SDL video has started: the error handlers, the desktop's display
// configuration as it is now, and SDL's events for raw X events.
void start();
void stop();

// The X window behind an SDL window, or 0.
unsigned long windowOf(SDL_Window* window);
// Whether an X request on this window failed: the window is gone.
bool failedOn(unsigned long xWindow);
// The X window an event says was destroyed, or 0.
unsigned long destroyedBy(const SDL_Event& event);

// Puts back the display configuration seen at start, through a connection
// of its own, from any thread; for the signal watch's last resort.
void restoreDesktopFromAnyThread();

} // namespace XDisplay

#endif
