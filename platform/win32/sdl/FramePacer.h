#ifndef QORX_PLATFORM_SDL_FRAMEPACER_H
#define QORX_PLATFORM_SDL_FRAMEPACER_H

#include <stdint.h>

// Keeps a window's frames from coming faster than about 60 a second, so a
// presentation that counts frames lasts as long on a 144 Hz screen (or on one
// without vsync) as on the 60 Hz screens it was made for.
class FramePacer {
public:
    static const int64_t framePeriodNs = 1000000000 / 60;

    // Called after each swap: sleeps until the next 1/60 s deadline. The
    // deadlines run on a fixed grid, so vsync at 60 Hz and this cap agree
    // instead of beating against each other; a frame that comes late moves
    // the grid rather than letting the following frames race to catch up.
    void waitForNextFrame();

    // The cap is on unless a benchmark turns it off (SdlLayerControl.h).
    static void setEnabled(bool enabled);
    static bool isEnabled();

private:
    int64_t nextDeadlineNs = 0;
};

#endif
