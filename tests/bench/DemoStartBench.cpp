// How long the presentation takes from process start to its first frame on
// screen, beside what libjpeg-turbo alone needs to decode the three bundled
// pictures, and where the rest goes: our JPEG reader, the texture loads, and
// GLU's mipmap building for the pictures' own size and for a power of two.
// Runs on the X server in DISPLAY, or starts a private Xvfb for itself.
#include "RatioReporter.h"

#include "qorx/image/JpegImage.h"
#include "qorx/image/Texture.h"
#include "qorx/window/GlWindow.h"

#include <benchmark/benchmark.h>

#include <windows.h>

#include <GL/gl.h>
#include <GL/glu.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <jpeglib.h>
#include <poll.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <utility>
#include <vector>

namespace {

const char* const Pictures[] = {"stormledge.jpg", "mirk.jpg", "fin.jpg"};

std::string assetPath(const char* name)
{
    return std::string(QORX_ASSETS_DIR) + "/" + name;
}

// libjpeg-turbo with its defaults, RGB rows into one buffer: the least any
// JPEG reader has to do.
size_t decodeWithLibjpeg(const std::string& path)
{
    FILE* file = std::fopen(path.c_str(), "rb");
    if (!file)
        return 0;
    jpeg_decompress_struct info;
    jpeg_error_mgr errors;
    info.err = jpeg_std_error(&errors);
    jpeg_create_decompress(&info);
    jpeg_stdio_src(&info, file);
    jpeg_read_header(&info, TRUE);
    jpeg_start_decompress(&info);
    const size_t stride = size_t(info.output_width) * info.output_components;
    std::vector<unsigned char> pixels(stride * info.output_height);
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = &pixels[info.output_scanline * stride];
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    std::fclose(file);
    return pixels.size();
}

void BM_LibjpegTurboDecodesTheThreePictures(benchmark::State& state)
{
    for (auto _ : state)
        for (const char* picture : Pictures)
            benchmark::DoNotOptimize(decodeWithLibjpeg(assetPath(picture)));
}

void BM_JpegImageDecodesTheThreePictures(benchmark::State& state)
{
    for (auto _ : state) {
        for (const char* picture : Pictures) {
            JpegImage image;
            benchmark::DoNotOptimize(image.load(assetPath(picture).c_str(), 0));
        }
    }
}

// What start-up step 7 does: decode, build the mipmaps, upload.
void BM_TexturesLoadTheThreePictures(benchmark::State& state)
{
    for (auto _ : state) {
        for (const char* picture : Pictures) {
            Texture texture;
            texture.setMipmaps(true);
            if (!texture.load(assetPath(picture).c_str()))
                state.SkipWithError("a picture did not load");
            glFinish();
            glDeleteTextures(1, &texture.id);
        }
    }
}

// The size GLU gives level 0 of a picture of this size.
std::pair<GLint, GLint> gluLevelZeroSize(GLint width, GLint height, const unsigned char* pixels)
{
    gluBuild2DMipmaps(GL_TEXTURE_2D, 3, width, height, GL_RGBA, GL_UNSIGNED_BYTE, pixels);
    GLint levelWidth = 0, levelHeight = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &levelWidth);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &levelHeight);
    return {levelWidth, levelHeight};
}

// gluBuild2DMipmaps alone, three times on the first picture: at its own size,
// or scaled beforehand to the size GLU picks for it, which spares GLU the
// rescale of the whole picture that comes before the level-by-level halving.
void BM_Build2DMipmapsThreeTimes(benchmark::State& state, bool prescaled)
{
    JpegImage image;
    if (!image.load(assetPath(Pictures[0]).c_str(), 0)) {
        state.SkipWithError("the picture did not load");
        return;
    }
    GLint width = GLint(image.width), height = GLint(image.height);
    std::vector<unsigned char> pixels(image.pixels, image.pixels + size_t(width) * height * 4);
    GLuint name = 0;
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    const auto [levelWidth, levelHeight] = gluLevelZeroSize(width, height, pixels.data());
    if (prescaled) {
        std::vector<unsigned char> scaled(size_t(levelWidth) * levelHeight * 4);
        gluScaleImage(GL_RGBA, width, height, GL_UNSIGNED_BYTE, pixels.data(), levelWidth, levelHeight,
                      GL_UNSIGNED_BYTE, scaled.data());
        pixels.swap(scaled);
        width = levelWidth;
        height = levelHeight;
    }
    state.SetLabel(std::to_string(width) + "x" + std::to_string(height) + " in, level 0 " + std::to_string(levelWidth) +
                   "x" + std::to_string(levelHeight));
    for (auto _ : state) {
        for (int i = 0; i < 3; ++i)
            gluBuild2DMipmaps(GL_TEXTURE_2D, 3, width, height, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
        glFinish();
    }
    glDeleteTextures(1, &name);
}

// Waits up to `seconds` for one byte on `fd`.
bool readByte(int fd, double seconds)
{
    pollfd wait = {fd, POLLIN, 0};
    char byte = 0;
    return poll(&wait, 1, int(seconds * 1000)) == 1 && read(fd, &byte, 1) == 1;
}

// The real program, started in the folder of the bundled files, timed from
// the fork to the return of its first SwapBuffers. Sound goes to SDL's dummy
// driver, so a machine without a sound card measures the same work.
void BM_ProcessStartToFirstFrame(benchmark::State& state)
{
    for (auto _ : state) {
        int channel[2];
        if (pipe(channel) != 0) {
            state.SkipWithError("no pipe");
            return;
        }
        const auto start = std::chrono::steady_clock::now();
        const pid_t child = fork();
        if (child == 0) {
            close(channel[0]);
            setenv("QORX_FIRST_FRAME_FD", std::to_string(channel[1]).c_str(), 1);
            setenv("SDL_AUDIODRIVER", "dummy", 1);
            if (chdir(QORX_ASSETS_DIR) == 0)
                execl(QORX_FIRST_FRAME_PROGRAM, QORX_FIRST_FRAME_PROGRAM, static_cast<char*>(nullptr));
            _exit(127);
        }
        close(channel[1]);
        const bool presented = readByte(channel[0], 60);
        const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
        close(channel[0]);
        kill(child, SIGKILL);
        waitpid(child, nullptr, 0);
        if (!presented) {
            state.SkipWithError("no frame within 60 s");
            return;
        }
        state.SetIterationTime(elapsed.count());
    }
}

// Without an X server, run again under a private Xvfb.
void ensureDisplay(char** argv)
{
    if (std::getenv("DISPLAY"))
        return;
    static char self[4096];
    const ssize_t length = readlink("/proc/self/exe", self, sizeof self - 1);
    if (length <= 0)
        return;
    self[length] = 0;
    std::vector<char*> args = {const_cast<char*>(QORX_SOURCE_DIR "/tests/support/with-x-server"),
                               const_cast<char*>("xvfb"), const_cast<char*>("1024x768x24"), self};
    for (char** arg = argv + 1; *arg; ++arg)
        args.push_back(*arg);
    args.push_back(nullptr);
    execv(args[0], args.data());
    std::perror("with-x-server");
    std::exit(1);
}

// "GROUP/qorx" beside "GROUP/PEER": the report ends with their ratio.
void registerBenchmarks()
{
    using benchmark::RegisterBenchmark;
    const benchmark::TimeUnit ms = benchmark::kMillisecond; // one unit, so that ratios compare
    RegisterBenchmark("decode three pictures/qorx", BM_JpegImageDecodesTheThreePictures)->Unit(ms);
    RegisterBenchmark("decode three pictures/libjpeg-turbo", BM_LibjpegTurboDecodesTheThreePictures)->Unit(ms);
    RegisterBenchmark("first frame/qorx", BM_ProcessStartToFirstFrame)->UseManualTime()->Iterations(3)->Unit(ms);
    RegisterBenchmark("first frame/libjpeg-turbo decoding", BM_LibjpegTurboDecodesTheThreePictures)->Unit(ms);
    RegisterBenchmark("three texture loads", BM_TexturesLoadTheThreePictures)->Unit(ms);
    RegisterBenchmark("three gluBuild2DMipmaps, picture size", BM_Build2DMipmapsThreeTimes, false)->Unit(ms);
    RegisterBenchmark("three gluBuild2DMipmaps, prescaled", BM_Build2DMipmapsThreeTimes, true)->Unit(ms);
}

} // namespace

int main(int argc, char** argv)
{
    ensureDisplay(argv);
    // A windowed context of the program's size for the in-process cases.
    GlWindow window;
    if (window.registerClass() || window.open(800, 600, 32, "qorx benchmark")) {
        std::fprintf(stderr, "no OpenGL window\n");
        return 1;
    }
    registerBenchmarks();
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    window.shutdown();
    return 0;
}
