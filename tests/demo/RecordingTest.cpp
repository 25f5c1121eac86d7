// The real program recording itself off-screen (--record DIR --frames N)
// under this test's X server: the files it writes, and what its frames show
// beside the bundled pictures placed by the scenes' formulas; and the same
// recording made without a display.
#include "qorx/image/JpegImage.h"
#include "support/DemoFiles.h"
#include "support/Files.h"

#include <gtest/gtest.h>

#include <png.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

const int Width = 800;
const int Height = 600;
const int Scene1Frames = 630;
const int Scene2Frames = 1115;
// Through the first frame of scene 3.
const int RecordedFrames = Scene1Frames + Scene2Frames + 1;

struct Outcome {
    int exitCode;
    std::string output; // standard output and error together
};

// Runs qorx-demo with these arguments, passed as they are (no shell between),
// on this test's X server or on no display at all.
Outcome runDemo(const std::vector<std::string>& arguments, const std::string& path = "", bool withDisplay = true)
{
    int channel[2];
    if (pipe(channel) != 0)
        return {-1, "no pipe"};
    const pid_t child = fork();
    if (child == 0) {
        dup2(channel[1], 1);
        dup2(channel[1], 2);
        close(channel[0]);
        if (!path.empty())
            setenv("PATH", path.c_str(), 1);
        if (!withDisplay) {
            for (const char* variable : {"DISPLAY", "WAYLAND_DISPLAY", "SDL_VIDEODRIVER"})
                unsetenv(variable);
            // SDL's offscreen driver draws through Mesa's EGL, which leaves
            // allocations behind in the driver it unloads, where no
            // suppression can name them (as in tests/display.cmake).
            const char* sanitizer = std::getenv("ASAN_OPTIONS");
            setenv("ASAN_OPTIONS", (std::string(sanitizer ? sanitizer : "") + ":detect_leaks=0").c_str(), 1);
        }
        std::vector<char*> argv = {const_cast<char*>(QORX_DEMO_PROGRAM)};
        for (const std::string& argument : arguments)
            argv.push_back(const_cast<char*>(argument.c_str()));
        argv.push_back(nullptr);
        execv(QORX_DEMO_PROGRAM, argv.data());
        _exit(127);
    }
    close(channel[1]);
    Outcome outcome = {-1, ""};
    char buffer[4096];
    for (ssize_t n; (n = read(channel[0], buffer, sizeof buffer)) > 0;)
        outcome.output.append(buffer, static_cast<size_t>(n));
    close(channel[0]);
    int status = 0;
    waitpid(child, &status, 0);
    outcome.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return outcome;
}

struct RgbFrame {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgb; // top row first
};

RgbFrame readPng(const fs::path& path)
{
    png_image image = {};
    image.version = PNG_IMAGE_VERSION;
    RgbFrame frame;
    if (!png_image_begin_read_from_file(&image, path.c_str()))
        return frame;
    image.format = PNG_FORMAT_RGB;
    frame.rgb.resize(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, frame.rgb.data(), 0, nullptr)) {
        frame.rgb.clear();
        return frame;
    }
    frame.width = static_cast<int>(image.width);
    frame.height = static_cast<int>(image.height);
    return frame;
}

// What the presentation draws in one frame: its scene, the clock's value
// and the opacity, following the scenes' rules in the program's own float
// and double steps (demo/RunDemo.cpp).
struct FrameState {
    int scene;
    float clock;
    float opacity;
};

std::vector<FrameState> presentationFrames(int count)
{
    std::vector<FrameState> frames;
    float clock = 0, speed = 0;
    const struct {
        bool endsByClock;
        double endBound, opacityOrigin, opacityFactor, step, growth, start;
    } scenes[] = {{true, 6, 0, -23, 0.0001, 0.000001, 0},
                  {true, 10, 1, -3, 0.0001, 0.000001, 1},
                  {false, 0, 0, -23, 0.00005, 0.0000005, 0}};
    for (int scene = 0; scene < 3; ++scene) {
        clock = static_cast<float>(scenes[scene].start);
        while (static_cast<int>(frames.size()) < count) {
            const double c = clock;
            if (scenes[scene].endsByClock && !(c * -23 < scenes[scene].endBound))
                break;
            const double opacity = (c - scenes[scene].opacityOrigin) * scenes[scene].opacityFactor;
            frames.push_back({scene + 1, clock, static_cast<float>(opacity)});
            clock = static_cast<float>(c - (static_cast<double>(speed) + scenes[scene].step));
            speed = static_cast<float>(static_cast<double>(speed) + scenes[scene].growth);
        }
    }
    return frames;
}

// OpenGL draws the quad as two triangles, split along one diagonal or the
// other as the driver likes, and interpolates the texture coordinate within
// each triangle from its three corners. Split 0 runs from the top-left corner
// to the bottom-right one, split 1 from the top-right to the bottom-left.
void textureCoordinate(const double corners[4][2], int split, double x, double y, double st[2])
{
    const double screen[4][2] = {{0, 0}, {Width, 0}, {Width, Height}, {0, Height}};
    int triangle[3];
    if (split == 0) {
        const bool upper = y * Width < x * Height;
        triangle[0] = 0, triangle[1] = upper ? 1 : 2, triangle[2] = upper ? 2 : 3;
    } else {
        const bool upper = y * Width < (Width - x) * Height;
        triangle[0] = 1, triangle[1] = upper ? 0 : 2, triangle[2] = 3;
        if (!upper)
            triangle[1] = 2;
    }
    const double* a = screen[triangle[0]];
    const double* b = screen[triangle[1]];
    const double* c = screen[triangle[2]];
    const double area = (b[0] - a[0]) * (c[1] - a[1]) - (c[0] - a[0]) * (b[1] - a[1]);
    const double wb = ((x - a[0]) * (c[1] - a[1]) - (c[0] - a[0]) * (y - a[1])) / area;
    const double wc = ((b[0] - a[0]) * (y - a[1]) - (x - a[0]) * (b[1] - a[1])) / area;
    for (int k = 0; k < 2; ++k)
        st[k] = (1 - wb - wc) * corners[triangle[0]][k] + wb * corners[triangle[1]][k] + wc * corners[triangle[2]][k];
}

// The bundled picture drawn as the scene's quad places it: each screen pixel
// takes the texture coordinate interpolated within its triangle and the
// picture's colour there (bilinear, repeating past the edges), scaled by the
// opacity over black.
RgbFrame expectedFrame(const JpegImage& picture, const FrameState& state, int split)
{
    const double c = state.clock;
    const double corners[4][2] = {{-0.9 * c, -c}, {c + 1, -0.95 * c}, {0.98 * c + 1, c + 1}, {-c, c + 1}};
    const double opacity = std::min(1.0, std::max(0.0, double(state.opacity)));
    const int w = static_cast<int>(picture.width), h = static_cast<int>(picture.height);
    const auto texel = [&](int x, int y, int channel) {
        x = ((x % w) + w) % w;
        y = ((y % h) + h) % h;
        return double(picture.pixels[(size_t(y) * w + x) * 4 + channel]);
    };
    RgbFrame frame{Width, Height, std::vector<uint8_t>(size_t(Width) * Height * 3)};
    for (int y = 0; y < Height; ++y) {
        for (int x = 0; x < Width; ++x) {
            double st[2];
            textureCoordinate(corners, split, x + 0.5, y + 0.5, st);
            const double px = st[0] * w - 0.5, py = st[1] * h - 0.5;
            const int x0 = static_cast<int>(std::floor(px)), y0 = static_cast<int>(std::floor(py));
            const double fx = px - x0, fy = py - y0;
            for (int channel = 0; channel < 3; ++channel) {
                const double value =
                    (1 - fx) * (1 - fy) * texel(x0, y0, channel) + fx * (1 - fy) * texel(x0 + 1, y0, channel) +
                    (1 - fx) * fy * texel(x0, y0 + 1, channel) + fx * fy * texel(x0 + 1, y0 + 1, channel);
                frame.rgb[(size_t(y) * Width + x) * 3 + channel] = static_cast<uint8_t>(std::lround(value * opacity));
            }
        }
    }
    return frame;
}

struct Difference {
    double mean;       // of the block averages' absolute differences
    double worstShare; // share of blocks off by more than BlockTolerance
};

const int Block = 8;
const double BlockTolerance = 16;

// Compared as averages over 8x8 blocks, channel by channel.
Difference compare(const RgbFrame& actual, const RgbFrame& expected)
{
    double sum = 0;
    size_t blocks = 0, worst = 0;
    for (int by = 0; by < Height; by += Block) {
        for (int bx = 0; bx < Width; bx += Block) {
            for (int channel = 0; channel < 3; ++channel) {
                double a = 0, e = 0;
                for (int y = by; y < by + Block; ++y)
                    for (int x = bx; x < bx + Block; ++x) {
                        a += actual.rgb[(size_t(y) * Width + x) * 3 + channel];
                        e += expected.rgb[(size_t(y) * Width + x) * 3 + channel];
                    }
                const double difference = std::fabs(a - e) / (Block * Block);
                sum += difference;
                worst += difference > BlockTolerance;
                ++blocks;
            }
        }
    }
    return {sum / blocks, double(worst) / blocks};
}

class Recording : public ::testing::Test {
protected:
    // One recording for every case: it takes a while.
    static void SetUpTestSuite()
    {
        scratch = new TempFolder;
        // A folder name with a blank and quotes: it must reach the program
        // whole through the layer's command line.
        const fs::path assets = *scratch / "my \"assets\" folder";
        fs::create_directories(assets);
        copyDemoFiles(QORX_ASSETS_DIR, assets.string());
        outcome = new Outcome(runDemo({"--assets", assets.string(), "--record", (*scratch / "frames").string(),
                                       "--frames", std::to_string(RecordedFrames)}));
    }
    static void TearDownTestSuite()
    {
        delete scratch;
        delete outcome;
    }

    static fs::path frames() { return *scratch / "frames"; }

    static TempFolder* scratch;
    static Outcome* outcome;
};

TempFolder* Recording::scratch = nullptr;
Outcome* Recording::outcome = nullptr;

TEST_F(Recording, WritesTheNumberedFramesAtTheScreensSizeAndTheSoundOfTheirStretch)
{
    ASSERT_NE(outcome, nullptr);
    ASSERT_EQ(outcome->exitCode, 0) << outcome->output;
    EXPECT_EQ(outcome->output, "qorx-demo: recorded 1746 frames (29.100 s) into " + frames().string() + "\n");

    std::set<std::string> expected = {"soundtrack.wav"};
    for (int frame = 1; frame <= RecordedFrames; ++frame) {
        char name[32];
        std::snprintf(name, sizeof name, "frame-%06d.png", frame);
        expected.insert(name);
    }
    std::set<std::string> written;
    for (const fs::directory_entry& entry : fs::directory_iterator(frames()))
        written.insert(entry.path().filename().string());
    EXPECT_EQ(written, expected);
    for (int frame : {1, 2, 1000, RecordedFrames}) {
        char name[32];
        std::snprintf(name, sizeof name, "frame-%06d.png", frame);
        const RgbFrame png = readPng(frames() / name);
        EXPECT_EQ(png.width, Width) << name;
        EXPECT_EQ(png.height, Height) << name;
    }

    // 16-bit stereo at the soundtrack's 44.1 kHz: 735 sample pairs a frame.
    const Bytes wav = readBytes((frames() / "soundtrack.wav").string());
    ASSERT_GE(wav.size(), 44u);
    const auto field = [&wav](size_t at, int bytes) {
        uint32_t value = 0;
        for (int i = bytes - 1; i >= 0; --i)
            value = value << 8 | wav[at + i];
        return value;
    };
    EXPECT_EQ(std::string(wav.begin(), wav.begin() + 4), "RIFF");
    EXPECT_EQ(field(22, 2), 2u);
    EXPECT_EQ(field(24, 4), 44100u);
    EXPECT_EQ(field(34, 2), 16u);
    const uint32_t dataBytes = RecordedFrames * 735u * 4;
    EXPECT_EQ(field(40, 4), dataBytes);
    EXPECT_EQ(wav.size(), 44u + dataBytes);
    size_t loud = 0;
    for (size_t at = 44; at + 1 < wav.size(); at += 2)
        loud += std::abs(int16_t(field(at, 2))) > 256;
    EXPECT_GT(loud, (wav.size() - 44) / 2 / 10) << "the soundtrack came out silent";
}

// Tolerance. The expected frame places the picture as OpenGL does (the
// triangles, the texture coordinates), but samples it otherwise: these
// frames shrink the picture, so OpenGL takes the nearest texel of a mipmap
// level GLU filtered, where the expected frame blends four texels of the
// full picture. Along every sharp edge (rain, lightning) single pixels then
// differ by many levels, so frames are compared as 8x8 block averages:
// those measured 0.42 and 0.48 levels apart on average for the two
// pictures, with no block more than 16 levels apart. The limits, 1 level on
// average and 0.5 % of the blocks beyond 16, leave room for that and catch
// what matters: the picture shifted by 3 pixels is 2.4 to 3 levels off with
// 2 to 3 % of the blocks beyond 16; 10 % dimmer, 6 to 13 levels; the frame
// 30 frames later, 5 to 7 levels; mirrored, 45 or more.
TEST_F(Recording, FramesShowThePicturesWhereTheScenesFormulasPlaceThem)
{
    ASSERT_NE(outcome, nullptr);
    ASSERT_EQ(outcome->exitCode, 0) << outcome->output;
    const std::vector<FrameState> states = presentationFrames(RecordedFrames);
    ASSERT_EQ(states[Scene1Frames - 1].scene, 1);
    ASSERT_EQ(states[Scene1Frames].scene, 2);
    ASSERT_EQ(states[Scene1Frames + Scene2Frames].scene, 3);

    // Each scene starts at opacity 0: nothing but black.
    for (int frame : {1, Scene1Frames + 1, Scene1Frames + Scene2Frames + 1}) {
        char name[32];
        std::snprintf(name, sizeof name, "frame-%06d.png", frame);
        const RgbFrame png = readPng(frames() / name);
        ASSERT_EQ(png.rgb.size(), size_t(Width) * Height * 3) << name;
        EXPECT_EQ(std::count(png.rgb.begin(), png.rgb.end(), 0), std::ptrdiff_t(png.rgb.size())) << name;
    }

    // The first fully opaque frame of the storm and of the fog.
    for (const auto& [scene, picture] : {std::pair{1, DemoPictures[0]}, {2, DemoPictures[1]}}) {
        int frame = 0;
        while (!(states[frame].scene == scene && states[frame].opacity >= 1))
            ++frame;
        JpegImage image;
        ASSERT_TRUE(image.load((fs::path(QORX_ASSETS_DIR) / picture).c_str(), 0));
        char name[32];
        std::snprintf(name, sizeof name, "frame-%06d.png", frame + 1);
        const RgbFrame png = readPng(frames() / name);
        ASSERT_EQ(png.rgb.size(), size_t(Width) * Height * 3) << name;
        const Difference split0 = compare(png, expectedFrame(image, states[frame], 0));
        const Difference split1 = compare(png, expectedFrame(image, states[frame], 1));
        const Difference difference = split0.mean < split1.mean ? split0 : split1;
        EXPECT_LT(difference.mean, 1.0) << name << " against " << picture;
        EXPECT_LT(difference.worstShare, 0.005) << name << " against " << picture;
    }
}

TEST(RecordingFailure, EndsWithOneAndSaysWhy)
{
    const TempFolder scratch;
    std::ofstream(scratch / "file") << "not a folder";
    const std::string assets = QORX_ASSETS_DIR;
    const struct {
        std::vector<std::string> arguments;
        std::string path;
        std::string output;
    } cases[] = {
        {{"--record", (scratch / "file/frames").string(), "--frames", "2", "--assets", assets},
         "",
         "qorx-demo: cannot make the folder " + (scratch / "file/frames").string() + ": Not a directory\n"},
        {{"--record", (scratch / "out.mp4").string(), "--frames", "2", "--assets", assets},
         (scratch / "empty").string(),
         "qorx-demo: --record FILE.mp4 needs ffmpeg, which is not on the PATH; --record DIR writes the frames and "
         "the sound instead\n"},
        {{"--record", (scratch / "frames").string(), "--frames", "2", "--assets", (scratch / "none").string()},
         "",
         "qorx-demo: --assets " + (scratch / "none").string() + ": no such folder\n"},
    };
    for (const auto& each : cases) {
        const Outcome outcome = runDemo(each.arguments, each.path);
        EXPECT_EQ(outcome.exitCode, 1) << outcome.output;
        EXPECT_EQ(outcome.output, each.output);
    }
    EXPECT_FALSE(fs::exists(scratch / "frames")) << "nothing is made before the files are found";
}

// A machine without a display (a server, CI) records all the same, with
// nothing set by hand: byte for byte what the X server's recording holds.
TEST(RecordingWithoutADisplay, IsByteForByteTheRecordingMadeOnTheXServer)
{
    TempFolder scratch;
    const std::string onServer = scratch.path("on the server");
    const std::string nowhere = scratch.path("nowhere");
    const auto record = [](const std::string& folder, bool withDisplay) {
        return runDemo({"--record", folder, "--frames", "40", "--assets", QORX_ASSETS_DIR}, "", withDisplay);
    };
    const Outcome first = record(onServer, true);
    ASSERT_EQ(first.exitCode, 0) << first.output;
    const Outcome second = record(nowhere, false);
    ASSERT_EQ(second.exitCode, 0) << second.output;
    EXPECT_EQ(second.output, "qorx-demo: recorded 40 frames (0.667 s) into " + nowhere + "\n");
    int files = 0;
    for (const fs::directory_entry& entry : fs::directory_iterator(onServer)) {
        const std::string name = entry.path().filename().string();
        EXPECT_TRUE(readBytes(entry.path().string()) == readBytes(nowhere + "/" + name)) << name;
        ++files;
    }
    EXPECT_EQ(files, 41);
    EXPECT_EQ(std::distance(fs::directory_iterator(nowhere), fs::directory_iterator()), files);
}

// One video with sound, when Debian's ffmpeg is there to make it.
TEST(RecordingVideo, IsOneMp4WithTheFramesAndTheSound)
{
    if (std::system("command -v ffmpeg > /dev/null && command -v ffprobe > /dev/null") != 0)
        GTEST_SKIP() << "ffmpeg is not installed";
    const TempFolder scratch;
    const fs::path video = scratch / "a video.mp4";
    const Outcome outcome = runDemo({"--record", video.string(), "--frames", "90", "--assets", QORX_ASSETS_DIR});
    EXPECT_EQ(outcome.exitCode, 0) << outcome.output;
    FILE* probe = popen(("ffprobe -v error -count_frames -show_entries stream=codec_type,width,height,nb_read_frames "
                         "-of csv=p=0 '" +
                         video.string() + "'")
                            .c_str(),
                        "r");
    std::string streams;
    char buffer[256];
    while (probe && std::fgets(buffer, sizeof buffer, probe))
        streams += buffer;
    if (probe)
        pclose(probe);
    EXPECT_NE(streams.find("video,800,600,90"), std::string::npos) << streams;
    EXPECT_NE(streams.find("audio"), std::string::npos) << streams;
    EXPECT_EQ(std::distance(fs::directory_iterator(scratch.root()), fs::directory_iterator()), 1)
        << "only the video is left";
}

} // namespace
