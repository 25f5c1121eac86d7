// Frames of the presentation's kind (clear, one textured quad, present) on
// the Win32 layer over SDL2, beside a minimal SDL2 program drawing the same
// frame, both windowed at 800x600 in the same X server. The layer's 60-a-
// second cap is off, so the figures are the cost of a frame on each side.
#include "RatioReporter.h"
#include "qorx/window/GlWindow.h"

#include <SDL.h>

#include <GL/gl.h>
#include <benchmark/benchmark.h>

#include <cstdio>
#include <utility>
#include <vector>

namespace {

const int width = 800;
const int height = 600;
const int textureSize = 256;

// A checkered RGBA picture, the same texture on both sides.
GLuint makeTexture()
{
    std::vector<unsigned char> pixels(textureSize * textureSize * 4);
    for (int y = 0; y < textureSize; ++y) {
        for (int x = 0; x < textureSize; ++x) {
            unsigned char* pixel = &pixels[(y * textureSize + x) * 4];
            bool light = ((x / 32) + (y / 32)) % 2 == 0;
            pixel[0] = light ? 230 : 40;
            pixel[1] = static_cast<unsigned char>(x);
            pixel[2] = static_cast<unsigned char>(y);
            pixel[3] = 255;
        }
    }
    GLuint texture = 0;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, textureSize, textureSize, 0, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    return texture;
}

// The presentation's quad: colour, texture coordinate and position per vertex.
void drawQuad()
{
    glBegin(GL_QUADS);
    glColor4f(1, 1, 1, 1);
    glTexCoord2f(0, 0);
    glVertex2f(0, 0);
    glColor4f(1, 1, 1, 1);
    glTexCoord2f(1, 0);
    glVertex2f(width, 0);
    glColor4f(1, 1, 1, 1);
    glTexCoord2f(1, 1);
    glVertex2f(width, height);
    glColor4f(1, 1, 1, 1);
    glTexCoord2f(0, 1);
    glVertex2f(0, height);
    glEnd();
}

// The drawing state GlWindow::open sets, for the plain SDL2 side.
void setPlainState()
{
    glViewport(0, 0, width, height);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glEnable(GL_TEXTURE_2D);
    glShadeModel(GL_SMOOTH);
    glClearColor(0, 0, 0, 1);
    glClearDepth(1.0);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glEnable(GL_BLEND);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0, width, 0, height, -1, 10);
    glScalef(1, -1, 1);
    glTranslatef(0, -height, 0);
}

struct PlainSdl {
    SDL_Window* window = nullptr;
    SDL_GLContext context = nullptr;
    GLuint texture = 0;
};

GlWindow* qorxWindow = nullptr;
GLuint qorxTexture = 0;
PlainSdl plain;

void BM_QorxPresent(benchmark::State& state)
{
    wglMakeCurrent(qorxWindow->deviceContext, qorxWindow->glContext);
    glBindTexture(GL_TEXTURE_2D, qorxTexture);
    for (auto _ : state) {
        qorxWindow->clear();
        drawQuad();
        qorxWindow->present();
    }
    state.counters["frames/s"] =
        benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

void BM_PlainSdlPresent(benchmark::State& state)
{
    SDL_GL_MakeCurrent(plain.window, plain.context);
    glBindTexture(GL_TEXTURE_2D, plain.texture);
    for (auto _ : state) {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        drawQuad();
        SDL_GL_SwapWindow(plain.window);
        SDL_Event event;
        while (SDL_PollEvent(&event)) {}
    }
    state.counters["frames/s"] =
        benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

bool openQorx()
{
    qorxWindow = new GlWindow;
    if (qorxWindow->registerClass() != 0 || qorxWindow->open(width, height, 32, "qorx present benchmark") != 0)
        return false;
    // The layer's own cost per frame, not the 60-a-second cap.
    qorxWindow->framePacer.enabled = false;
    qorxTexture = makeTexture();
    return true;
}

// What a minimal SDL2 program does: the same pixel format and swap interval
// as the layer asks for.
bool openPlain()
{
    SDL_GL_ResetAttributes();
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 16);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);
    plain.window = SDL_CreateWindow("plain SDL2 benchmark", SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED, width,
                                    height, SDL_WINDOW_OPENGL | SDL_WINDOW_SHOWN);
    if (plain.window == nullptr)
        return false;
    plain.context = SDL_GL_CreateContext(plain.window);
    if (plain.context == nullptr)
        return false;
    SDL_GL_SetSwapInterval(1);
    setPlainState();
    plain.texture = makeTexture();
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    if (!openQorx() || !openPlain()) {
        std::fprintf(stderr, "present-bench: no OpenGL window (%s)\n", SDL_GetError());
        return 1;
    }
    // CPU time counts every thread: Mesa's software renderer draws in its own.
    for (auto [name, frame] : {std::pair{"present/qorx", BM_QorxPresent}, {"present/sdl2", BM_PlainSdlPresent}})
        benchmark::RegisterBenchmark(name, frame)
            ->UseRealTime()
            ->MeasureProcessCPUTime()
            ->Unit(benchmark::kMicrosecond);
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    SDL_GL_DeleteContext(plain.context);
    SDL_DestroyWindow(plain.window);
    qorxWindow->shutdown();
    delete qorxWindow;
    return 0;
}
