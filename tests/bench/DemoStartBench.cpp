// How long the presentation takes from process start to its first frame,
// beside a bare SDL2 program that opens a window of the same size and swaps
// once, and beside that program doing the least the pictures need (decode,
// mipmaps, one textured frame), and what each start-up step takes of it; then the parts of the
// biggest steps on their own: our JPEG reader beside libjpeg-turbo, the
// texture loads, and GLU's mipmap building for the pictures' own size and
// for a power of two. Runs on the X server in DISPLAY, or starts a private
// Xvfb for itself.
#include "RatioReporter.h"
#include "StartupSteps.h"
#include "support/DemoFiles.h"
#include "support/PlainLibjpeg.h"

#include "qorx/image/JpegImage.h"
#include "qorx/image/Texture.h"
#include "qorx/window/GlWindow.h"

#include <benchmark/benchmark.h>

#include <windows.h>

#include <GL/gl.h>
#include <GL/glu.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <poll.h>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <utility>
#include <vector>

namespace {

// Where the pictures come from: the bundled ones, or QORX_BENCH_ASSETS (to
// measure other pictures, say an earlier version of them, in the same run).
const char* assetsDir()
{
    const char* chosen = std::getenv("QORX_BENCH_ASSETS");
    return chosen ? chosen : QORX_ASSETS_DIR;
}

std::string assetPath(const char* name)
{
    return std::string(assetsDir()) + "/" + name;
}

// libjpeg-turbo into four-byte pixels, as the record holds them.
void BM_LibjpegTurboDecodesTheThreePictures(benchmark::State& state)
{
    for (auto _ : state)
        for (const char* picture : DemoPictures)
            benchmark::DoNotOptimize(decodeWithLibjpeg(assetPath(picture).c_str(), true).pixels);
}

void BM_JpegImageDecodesTheThreePictures(benchmark::State& state)
{
    for (auto _ : state) {
        for (const char* picture : DemoPictures) {
            JpegImage image;
            benchmark::DoNotOptimize(image.load(assetPath(picture).c_str(), 0));
        }
    }
}

// What start-up step 7 does: decode, build the mipmaps, upload.
void BM_TexturesLoadTheThreePictures(benchmark::State& state)
{
    for (auto _ : state) {
        for (const char* picture : DemoPictures) {
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
    if (!image.load(assetPath(DemoPictures[0]).c_str(), 0)) {
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

struct ChildRun {
    bool presented;
    double seconds;    // from the fork to the first frame
    double cpuSeconds; // this process's and the child's, user and system
    std::vector<StepMark> marks;
};

double cpuSecondsOf(int who)
{
    rusage usage;
    getrusage(who, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// Starts `program` in the folder of the pictures and collects its step marks
// until the first frame's, which it sends just before it ends. Sound goes to
// SDL's dummy driver, so a machine without a sound card measures the same work.
ChildRun runToFirstFrame(const char* program, const char* argument)
{
    ChildRun run = {false, 0, 0, {}};
    int channel[2];
    if (pipe(channel) != 0)
        return run;
    const double cpuBefore = cpuSecondsOf(RUSAGE_SELF) + cpuSecondsOf(RUSAGE_CHILDREN);
    const auto start = std::chrono::steady_clock::now();
    const pid_t child = fork();
    if (child == 0) {
        close(channel[0]);
        setenv("QORX_FIRST_FRAME_FD", std::to_string(channel[1]).c_str(), 1);
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        if (chdir(assetsDir()) == 0)
            execl(program, program, argument, static_cast<char*>(nullptr));
        _exit(127);
    }
    close(channel[1]);
    pollfd wait = {channel[0], POLLIN, 0};
    StepMark mark;
    while (!run.presented && poll(&wait, 1, 60000) == 1 && read(channel[0], &mark, sizeof mark) == sizeof mark) {
        run.marks.push_back(mark);
        run.presented = mark.step == static_cast<int32_t>(StartupStep::FirstFrame);
    }
    close(channel[0]);
    if (!run.presented)
        kill(child, SIGKILL);
    waitpid(child, nullptr, 0);
    run.cpuSeconds = cpuSecondsOf(RUSAGE_SELF) + cpuSecondsOf(RUSAGE_CHILDREN) - cpuBefore;
    if (run.presented)
        run.seconds = (run.marks.back().nanoseconds - start.time_since_epoch().count()) / 1e9;
    run.marks.insert(run.marks.begin(), StepMark{-1, start.time_since_epoch().count(), 0});
    return run;
}

// Every run's marks, the fork first: one list for each program and argument.
std::vector<std::vector<StepMark>> qorxStartups;
std::vector<std::vector<StepMark>> bareStartups;
std::vector<std::vector<StepMark>> floorStartups; // the bare program with the pictures

// Process start to first frame, timed by the clock readings of the fork and
// of the child's first swap. The CPU time, the counter "cpu_ms", includes the
// child's: the reporter's ratios use it.
void BM_ProcessStartToFirstFrame(benchmark::State& state, const char* program, const char* argument,
                                 std::vector<std::vector<StepMark>>* startups)
{
    double cpuSeconds = 0;
    for (auto _ : state) {
        const ChildRun run = runToFirstFrame(program, argument);
        if (!run.presented) {
            state.SkipWithError("no frame within 60 s");
            return;
        }
        startups->push_back(run.marks);
        cpuSeconds += run.cpuSeconds;
        state.SetIterationTime(run.seconds);
    }
    state.counters["cpu_ms"] = benchmark::Counter(cpuSeconds * 1000, benchmark::Counter::kAvgIterations);
}

double median(std::vector<double> values)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    const size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

struct StepFigures {
    std::vector<double> time; // milliseconds, one a run
    std::vector<double> cpu;
};

// Per step, over every run: the time from the previous mark to the step's
// last, and the CPU time of the program's threads in it. A decode or mipmap
// step adds up its three pictures. The last entry is the whole start-up.
std::vector<StepFigures> stepFigures(const std::vector<std::vector<StepMark>>& runs, size_t stepCount)
{
    std::vector<StepFigures> figures(stepCount + 1);
    for (const std::vector<StepMark>& marks : runs) {
        std::vector<double> time(stepCount, 0), cpu(stepCount, 0);
        for (size_t i = 1; i < marks.size(); ++i) {
            time[size_t(marks[i].step)] += (marks[i].nanoseconds - marks[i - 1].nanoseconds) / 1e6;
            cpu[size_t(marks[i].step)] += (marks[i].cpuNanoseconds - marks[i - 1].cpuNanoseconds) / 1e6;
        }
        for (size_t step = 0; step < stepCount; ++step) {
            figures[step].time.push_back(time[step]);
            figures[step].cpu.push_back(cpu[step]);
        }
        figures[stepCount].time.push_back((marks.back().nanoseconds - marks.front().nanoseconds) / 1e6);
        figures[stepCount].cpu.push_back(marks.back().cpuNanoseconds / 1e6);
    }
    return figures;
}

struct Program {
    const char* label;
    std::vector<StepFigures> figures;
};

// One table, of time or of CPU time: each step's median per program and its
// share of that program's median start-up.
void printStepTable(const char* title, const char* const* names, size_t stepCount, const std::vector<Program>& programs,
                    std::vector<double> StepFigures::*column)
{
    std::printf("  %-38s", title);
    for (const Program& program : programs)
        std::printf(" %22s", program.label);
    std::printf("\n");
    for (size_t step = 0; step <= stepCount; ++step) {
        std::printf("  %-38s", step < stepCount ? names[step] : "whole start-up");
        for (const Program& program : programs) {
            const double ms = median(program.figures[step].*column);
            std::printf(" %12.1f %7.1f %%", ms, 100 * ms / median(program.figures[stepCount].*column));
        }
        std::printf("\n");
    }
}

// Each step's median and its share of the median start-up, in time and in
// CPU time (all the program's threads), for qorx-demo, the bare SDL2
// program, whose steps are process start, window with context, and its
// frame, and the same program doing the least the pictures need.
void reportStartupSteps()
{
    static const char* const Names[] = {"process start (exec, libraries)", "options, files' folder, sound set-up",
                                        "window and OpenGL context",       "JPEG decoding (3 pictures)",
                                        "gluBuild2DMipmaps (3 pictures)",  "soundtrack opened and playing",
                                        "first frame drawn and swapped"};
    const size_t stepCount = sizeof Names / sizeof Names[0];
    if (qorxStartups.empty() || bareStartups.empty() || floorStartups.empty())
        return;
    const std::vector<Program> programs = {{"qorx", stepFigures(qorxStartups, stepCount)},
                                           {"bare SDL2", stepFigures(bareStartups, stepCount)},
                                           {"SDL2 with the pictures", stepFigures(floorStartups, stepCount)}};
    std::printf("\nStart-up to the first frame, medians of %zu runs each (ms, share of the whole):\n",
                qorxStartups.size());
    printStepTable("time", Names, stepCount, programs, &StepFigures::time);
    printStepTable("CPU time", Names, stepCount, programs, &StepFigures::cpu);
    const auto whole = [&](size_t program, std::vector<double> StepFigures::*column) {
        return median(programs[program].figures[stepCount].*column);
    };
    for (size_t peer = 1; peer < programs.size(); ++peer)
        std::printf("  first frame, qorx / %s: %.2f in time, %.2f in CPU\n", programs[peer].label,
                    whole(0, &StepFigures::time) / whole(peer, &StepFigures::time),
                    whole(0, &StepFigures::cpu) / whole(peer, &StepFigures::cpu));
    std::printf("  first frame, SDL2 with the pictures / bare SDL2: %.2f in time, %.2f in CPU\n",
                whole(2, &StepFigures::time) / whole(1, &StepFigures::time),
                whole(2, &StepFigures::cpu) / whole(1, &StepFigures::cpu));
    std::fflush(stdout);
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
    // Both windowed at 800x600, the same size on every screen.
    RegisterBenchmark("first frame/qorx", BM_ProcessStartToFirstFrame, QORX_FIRST_FRAME_PROGRAM, "--windowed",
                      &qorxStartups)
        ->UseManualTime()
        ->Iterations(3)
        ->Unit(ms);
    RegisterBenchmark("first frame/bare sdl2", BM_ProcessStartToFirstFrame, QORX_BARE_SDL_PROGRAM, nullptr,
                      &bareStartups)
        ->UseManualTime()
        ->Iterations(3)
        ->Unit(ms);
    RegisterBenchmark("first frame/sdl2 with the pictures", BM_ProcessStartToFirstFrame, QORX_BARE_SDL_PROGRAM,
                      "--pictures", &floorStartups)
        ->UseManualTime()
        ->Iterations(3)
        ->Unit(ms);
    // Mesa's software renderer works in threads of its own: CPU time counts
    // every thread of the process.
    RegisterBenchmark("three texture loads", BM_TexturesLoadTheThreePictures)->MeasureProcessCPUTime()->Unit(ms);
    RegisterBenchmark("three gluBuild2DMipmaps, picture size", BM_Build2DMipmapsThreeTimes, false)
        ->MeasureProcessCPUTime()
        ->Unit(ms);
    RegisterBenchmark("three gluBuild2DMipmaps, prescaled", BM_Build2DMipmapsThreeTimes, true)
        ->MeasureProcessCPUTime()
        ->Unit(ms);
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
    reportStartupSteps();
    window.shutdown();
    return 0;
}
