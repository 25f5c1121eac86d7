#ifndef QORX_WINDOW_FRAMEPACER_H
#define QORX_WINDOW_FRAMEPACER_H

#include <cstdint>

// Keeps frames from coming faster than 60 a second. The presentation counts
// time in frames, so its scenes last as long on a 144 Hz screen, or on one
// without vsync, as on the 60 Hz screens they were made for.
class FramePacer {
public:
    static const int FramesPerSecond = 60;

    FramePacer();
    virtual ~FramePacer();

    // From open to close: the system's sleep gets millisecond precision.
    void start();
    void stop();

    // Called after each swap: sleeps until the next 1/60 s deadline. The
    // deadlines run on a fixed grid, so vsync at 60 Hz and this cap agree
    // instead of beating against each other; a frame that comes more than a
    // frame late moves the grid rather than letting the following frames race
    // to catch up.
    void waitForNextFrame();

    // On unless a program wants its frames as fast as the machine allows.
    bool enabled;

private:
    int64_t ticksPerFrame;
    int64_t ticksPerMillisecond;
    int64_t nextDeadline;
    bool started;
};

#endif
