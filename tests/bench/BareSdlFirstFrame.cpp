// The least an SDL2 program does to show a frame: an 800x600 window with an
// OpenGL context of the pixel format the layer asks for, one clear, one swap.
// The start-up benchmark's peer: like qorx-demo-first-frame it reports the
// swap through QORX_FIRST_FRAME_FD and ends there.
#include "StartupSteps.h"

#include <SDL.h>

#include <GL/gl.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <unistd.h>

namespace {

// As the qorx program sends them: the step and the clocks' readings.
void mark(StartupStep step)
{
    const char* fd = std::getenv("QORX_FIRST_FRAME_FD");
    timespec cpu = {0, 0};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &cpu);
    const StepMark record = {static_cast<int32_t>(step), std::chrono::steady_clock::now().time_since_epoch().count(),
                             int64_t(cpu.tv_sec) * 1000000000 + cpu.tv_nsec};
    if (fd && write(std::atoi(fd), &record, sizeof record) != sizeof record)
        _exit(3);
}

} // namespace

int main(int, char**)
{
    mark(StartupStep::ProcessStart);
    if (SDL_Init(SDL_INIT_VIDEO) != 0) {
        std::fprintf(stderr, "bare-sdl2-first-frame: %s\n", SDL_GetError());
        return 1;
    }
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 16);
    SDL_Window* window = SDL_CreateWindow("bare SDL2", SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED, 800, 600,
                                          SDL_WINDOW_OPENGL | SDL_WINDOW_SHOWN);
    SDL_GLContext context = window ? SDL_GL_CreateContext(window) : nullptr;
    if (context == nullptr) {
        std::fprintf(stderr, "bare-sdl2-first-frame: %s\n", SDL_GetError());
        return 1;
    }
    SDL_GL_SetSwapInterval(1);
    mark(StartupStep::Window);
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    SDL_GL_SwapWindow(window);
    mark(StartupStep::FirstFrame);
    _exit(0);
}
