#ifndef QORX_PLATFORM_SDL_VIDEOSYSTEM_H
#define QORX_PLATFORM_SDL_VIDEOSYSTEM_H

// SDL's video subsystem as the layer uses it: started on first need, on the
// thread that will own the windows.
class VideoSystem {
public:
    // Starts SDL video unless it runs already. Fails when there is no display:
    // SDL would fall back to a driver that draws nowhere (offscreen, dummy),
    // where a full-screen presentation could be neither seen nor stopped. A
    // driver named in SDL_VIDEODRIVER is taken as asked, whatever it is.
    static bool start();
    static bool isStarted();

    // True on the thread that started SDL video: only it may pump SDL's events.
    static bool isVideoThread();

    // The screen saver is held off from the first window to the last.
    static void windowCreated();
    static void windowDestroyed();

    static bool isHeadlessDriver(const char* driverName);
};

#endif
