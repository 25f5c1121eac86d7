// The least an SDL2 program does to show a frame: an 800x600 window with an
// OpenGL context of the pixel format the layer asks for, one clear, one swap.
// The start-up benchmark's peer: like qorx-demo-first-frame it reports the
// swap through QORX_FIRST_FRAME_FD and ends there.
//
// With --pictures it also does the least the presentation's own start-up has
// to: libjpeg-turbo decodes the three pictures in the working directory
// straight into 4-byte pixels, GLU builds their mipmaps, and the first frame
// is a blended, textured quad. Its time is the floor for any program that
// shows these pictures so.
#include "StartupSteps.h"
#include "support/DemoFiles.h"
#include "support/PlainLibjpeg.h"

#include <SDL.h>

#include <GL/gl.h>
#include <GL/glu.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <initializer_list>
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

// One picture as the presentation's first texture: decoded, then mipmapped.
bool loadPicture(const char* name)
{
    const PlainLibjpeg picture = decodeWithLibjpeg(name, true);
    if (!picture.pixels)
        return false;
    GLuint texture = 0;
    mark(StartupStep::Decode);
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST_MIPMAP_NEAREST);
    gluBuild2DMipmaps(GL_TEXTURE_2D, 3, GLsizei(picture.width), GLsizei(picture.height), GL_RGBA, GL_UNSIGNED_BYTE,
                      picture.pixels.get());
    mark(StartupStep::Mipmaps);
    return true;
}

void drawTexturedQuad()
{
    glMatrixMode(GL_PROJECTION);
    glOrtho(0, 800, 600, 0, -1, 1);
    glEnable(GL_TEXTURE_2D);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glEnable(GL_BLEND);
    glBegin(GL_QUADS);
    const float corners[4][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
    for (const auto& corner : corners) {
        glColor4f(1, 1, 1, 0.5f);
        glTexCoord2f(corner[0], corner[1]);
        glVertex2f(800 * corner[0], 600 * corner[1]);
    }
    glEnd();
}

} // namespace

int main(int argc, char** argv)
{
    const bool withPictures = argc > 1 && std::strcmp(argv[1], "--pictures") == 0;
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
    if (withPictures) {
        for (const char* picture : DemoPictures) {
            if (!loadPicture(picture)) {
                std::fprintf(stderr, "bare-sdl2-first-frame: cannot open %s\n", picture);
                return 1;
            }
        }
        drawTexturedQuad();
    }
    SDL_GL_SwapWindow(window);
    mark(StartupStep::FirstFrame);
    _exit(0);
}
