#ifndef QORX_PLATFORM_SDL_DISPLAYMODES_H
#define QORX_PLATFORM_SDL_DISPLAYMODES_H

#include <windows.h>

#include <SDL_video.h>

struct WindowRecord;

// The display mode that ChangeDisplaySettingsA asks for. SDL changes a
// display's mode only for a full-screen window, so the mode is held until a
// border-less popup window takes it: that window becomes full-screen in the
// mode when it is shown, and the desktop's mode comes back when the mode is
// restored or the window goes.
//
// X11 cannot change its colour depth while it runs: a mode of the asked size
// whose depth differs is taken at the desktop's depth. A size the display
// does not list is refused with DISP_CHANGE_BADMODE, as Windows refuses it;
// a border-less popup that covers the screen then goes full-screen at the
// desktop's mode.
namespace DisplayModes {

LONG change(const DEVMODEA& mode);
LONG restore();

// SDL window flags for a window about to be made: full-screen for the
// popup that takes a changed mode, and the record marked accordingly
// (also when it covers the screen at the desktop's mode).
Uint32 prepareWindow(WindowRecord& record);
void windowCreated(WindowRecord& record);
// The switch happens when the window is shown; if the display refused
// the mode after all, the window covers the desktop instead.
void windowShown(WindowRecord& record);
void windowDestroyed(WindowRecord& record);

// Win32's cursor display count: the cursor shows while it is 0 or more.
int showCursor(bool show);

// GetSystemMetrics' screen size: from a change on, the mode's, as Windows
// switches at once; the screen's own where the display only emulates its
// modes (Wayland, XWayland: see XDisplay.h).
int screenMetric(int index);

} // namespace DisplayModes

#endif
