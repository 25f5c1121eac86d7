#ifndef QORX_PLATFORM_SDL_VIDEOSYSTEM_H
#define QORX_PLATFORM_SDL_VIDEOSYSTEM_H

// SDL's video subsystem as the layer uses it. Layer::start calls it; the
// layer's state says whether it runs and on which thread, and how many
// windows there are. It needs nothing of that state itself.
namespace VideoSystem {

// Starts SDL video with a driver that can show something, or the one
// SDL_VIDEODRIVER names; without a display, SDL's offscreen driver, and
// withoutDisplay says so.
bool startDriver(bool& withoutDisplay);

// Holds the screen saver off, or lets it run again (Layer::windowCreated).
void holdOffScreenSaver(bool held);

bool isHeadlessDriver(const char* driverName);

} // namespace VideoSystem

#endif
