#ifndef QORX_PLATFORM_SDL_SDLLAYERCONTROL_H
#define QORX_PLATFORM_SDL_SDLLAYERCONTROL_H

// Settings of the SDL2 stand-in for Win32 that have no Win32 counterpart.
// Only benchmarks use them; the program itself never does.

// SwapBuffers never returns faster than about 60 frames a second. Turning the
// cap off lets a benchmark measure the layer's own cost per frame; vsync, where
// the display has it, still applies.
void qorxSetFrameRateCap(bool enabled);

#endif
