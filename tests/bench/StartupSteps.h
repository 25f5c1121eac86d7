#ifndef QORX_TESTS_BENCH_STARTUPSTEPS_H
#define QORX_TESTS_BENCH_STARTUPSTEPS_H

#include <cstdint>

// The steps of the presentation's start-up, each named by the call it ends
// with (tests/bench/FirstFrameSignal.cpp). Decode and Mipmaps come once per
// picture.
enum class StartupStep : int32_t {
    ProcessStart, // WinMain entered: exec, dynamic loading, static set-up
    Sound,        // options, the files' folder, FSOUND_Init
    Window,       // the window and its OpenGL context, up to SetFocus
    Decode,       // a picture decoded, at its texture's glGenTextures
    Mipmaps,      // its gluBuild2DMipmaps returned
    Soundtrack,   // the MP3 opened and playing
    FirstFrame,   // the first SwapBuffers returned
};

// What the program sends for each step: the step, steady_clock's count and
// the CPU time of all the program's threads so far.
struct StepMark {
    int32_t step;
    int64_t nanoseconds;
    int64_t cpuNanoseconds;
};

#endif
