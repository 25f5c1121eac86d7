#ifndef QORX_PLATFORM_SDL_SIGNALS_H
#define QORX_PLATFORM_SDL_SIGNALS_H

// Ctrl+C, kill and a closed terminal (SIGINT, SIGTERM, SIGHUP) end a program
// on the layer as the desktop's close request does, and the program then
// ends with the signal, so that shells see 130, 143 or 129.
//
// The handler only notes the signal. The video thread takes it at its next
// message call and posts a close request to each of its windows: the window
// procedure and the program's own teardown then run as for a close from the
// desktop, and at exit the layer gives the desktop its mode back and ends
// the process with the signal. A program that makes no message call for a
// while (loading its pictures, or showing a message box) is ended by the
// signal watch instead, a moment after the signal: it puts the desktop's
// display mode back itself and ends the process with the signal. A second
// signal while the first is still being handled ends the program at once.
namespace Signals {

// Installs the handlers and starts the watch; the layer starts them with
// SDL video.
void start();
void stop();

// On the video thread, at each message call: the signal to act on now,
// or 0. A signal is taken only by a thread that has windows to close.
int take(bool threadHasWindows);

// SDL shows a message box from a child process, which would stay on the
// screen after the program ends: while a box is up, the watch ends the
// box's process too.
void boxShown(bool shown);

// The signal the program is ending with, or 0.
int received();
// Ends the process with the signal, as its default action does.
[[noreturn]] void endWith(int signal);

} // namespace Signals

#endif
