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
//
// Start-up: an X server resets when its last client leaves (unless started
// with -noreset, as Xvfb and Xorg are by default), and a reset drops the
// connections that were still being set up. A program started while the
// previous one was ending lost its connection that way and failed with
// "Error inicializando libreria". The layer therefore opens a connection of
// its own before SDL's, waiting out a reset in progress, and keeps it: with
// it open the server cannot reset under SDL's connections. The same
// connection serves to restore the desktop from the signal watch.
namespace XDisplay {

// Before SDL's X11 driver starts: the layer's own connection to the server
// that DISPLAY names, retried for a moment while a local server resets.
// False when there is no such server.
bool connect();

// After SDL video has started: the error handlers, the desktop's display
// configuration as it is now, and SDL's events for raw X events.
void start();
// Also closes the layer's connection.
void stop();

// The X window behind an SDL window, or 0.
unsigned long windowOf(SDL_Window* window);
// Whether an X request on this window failed: the window is gone.
bool failedOn(unsigned long xWindow);
// The X window an event says was destroyed, or 0.
unsigned long destroyedBy(const SDL_Event& event);

// XWayland lists the modes of its emulation and takes them, but only for
// the client that asked: its screen keeps the compositor's size, and the
// picture of a full-screen window in such a mode sits in a corner of it.
// True on such a display.
bool emulatesModes();

// Puts back the display configuration seen at start, through the layer's
// own connection, from any thread; for the signal watch's last resort.
void restoreDesktopFromAnyThread();

} // namespace XDisplay

#endif
