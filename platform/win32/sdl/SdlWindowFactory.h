#ifndef QORX_PLATFORM_SDL_SDLWINDOWFACTORY_H
#define QORX_PLATFORM_SDL_SDLWINDOWFACTORY_H

struct PixelFormat;
struct WindowRecord;

// Makes the SDL window behind a Win32 window once its pixel format is known.
namespace SdlWindowFactory {

// Hidden unless the window was shown before; full-screen if it takes a
// display mode. False if SDL could not make it.
bool create(WindowRecord& record, const PixelFormat& format);

} // namespace SdlWindowFactory

#endif
