#ifndef QORX_PLATFORM_SDL_VIDEOSYSTEM_H
#define QORX_PLATFORM_SDL_VIDEOSYSTEM_H

// SDL's video subsystem as the layer uses it. Layer::start calls it; the
// layer's state says whether it runs and on which thread.
class VideoSystem {
public:
    // Starts SDL video with a driver that can show something, or the one
    // SDL_VIDEODRIVER names; without a display, SDL's offscreen driver,
    // with the layer's state marked so (see Layer::start).
    static bool startDriver();

    // The screen saver is held off from the first window to the last.
    static void windowCreated();
    static void windowDestroyed();

    static bool isHeadlessDriver(const char* driverName);
};

#endif
