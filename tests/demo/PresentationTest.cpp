// runDemo against the recording fakes of Win32, OpenGL and the sound library.
// Each run happens in a child process (the window class can be registered
// only once per process, and a fatal error ends the process); the child
// leaves its call log in a file, which the test then reads back.
#include "TestImages.h"

#include "FakePlatform.h"
#include "demo/RunDemo.h"
#include "support/DemoFiles.h"
#include "support/Files.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include <unistd.h>

namespace fs = std::filesystem;
using ::testing::ElementsAre;
using ::testing::ElementsAreArray;

namespace {

const unsigned Storm = 1, Mirk = 2, Fin = 3; // texture names in load order
const int Scene1Frames = 630;
const int Scene2Frames = 1115;

struct LoggedCall {
    std::string name;
    std::vector<std::string> args;

    std::string text() const
    {
        std::string result = name + "(";
        for (size_t i = 0; i < args.size(); ++i)
            result += (i ? ", " : "") + args[i];
        return result + ")";
    }
};
using Log = std::vector<LoggedCall>;

char logPath[4096]; // where the child's exit handler writes its log

void writeLogAtExit()
{
    std::ofstream out(logPath);
    for (const fake::Call& call : fake::calls()) {
        out << call.name;
        for (const std::string& arg : call.args)
            out << '\x1f' << arg;
        out << '\n';
    }
}

Log readLog(const fs::path& path)
{
    Log log;
    std::ifstream in(path);
    for (std::string line; std::getline(in, line);) {
        LoggedCall call;
        size_t start = 0, end;
        do {
            end = line.find('\x1f', start);
            const std::string field = line.substr(start, end - start);
            if (start == 0)
                call.name = field;
            else
                call.args.push_back(field);
            start = end + 1;
        } while (end != std::string::npos);
        log.push_back(call);
    }
    return log;
}

// A scratch directory with three small pictures (TGAs behind JPEG names, of
// three sizes so that the uploads tell them apart) and a stand-in soundtrack.
class Stage {
public:
    Stage()
    {
        writeTga(dir.path(DemoPictures[0]), RgbPicture::gradient(2, 2));
        writeTga(dir.path(DemoPictures[1]), RgbPicture::gradient(3, 2));
        writeTga(dir.path(DemoPictures[2]), RgbPicture::gradient(2, 3));
        std::ofstream(dir / DemoSoundtrack) << "ID3";
    }

    void remove(const char* name) { fs::remove(dir / name); }

    // Runs the presentation in a child inside the stage and returns the
    // child's call log; `prepare` runs in the child first (a swap hook...).
    Log run(int expectedExitCode, const std::function<void()>& prepare, const char* commandLine = "")
    {
        const fs::path log = dir / "calls.log";
        std::strncpy(logPath, log.c_str(), sizeof logPath - 1);
        const fs::path home = fs::current_path();
        fs::current_path(dir.root());
        EXPECT_EXIT(
            {
                fake::reset();
                prepare();
                std::atexit(writeLogAtExit);
                std::exit(runDemo(commandLine));
            },
            ::testing::ExitedWithCode(expectedExitCode), "");
        fs::current_path(home);
        return readLog(log);
    }

    TempFolder dir;
};

void pressEscapeAt(int swapNumber, bool releaseAtOnce = false)
{
    fake::onSwapBuffers([=](int swap) {
        if (swap != swapNumber)
            return;
        fake::pressKey(VK_ESCAPE);
        if (releaseAtOnce)
            fake::releaseKey(VK_ESCAPE);
    });
}

struct TexCoord {
    float s;
    float t;
};

// One drawn frame: from its glClear to the glClear of the next.
struct Frame {
    unsigned texture;
    float opacity;
    std::vector<TexCoord> texCoords;
    std::vector<std::string> calls; // texts of every call of the frame
};

float number(const std::string& text)
{
    return std::strtof(text.c_str(), nullptr);
}

std::vector<Frame> framesOf(const Log& log)
{
    std::vector<Frame> frames;
    unsigned bound = 0;
    bool inFrame = false;
    for (const LoggedCall& call : log) {
        if (call.name == "glBindTexture") {
            bound = std::stoul(call.args[1]);
            inFrame = false;
        } else if (call.name == "glClear") {
            frames.push_back(Frame{bound, 0, {}, {}});
            inFrame = true;
        } else if (call.name == "ChangeDisplaySettingsA" && call.args[0] == "NULL") {
            inFrame = false; // shutdown
        }
        if (!inFrame)
            continue;
        Frame& frame = frames.back();
        frame.calls.push_back(call.text());
        if (call.name == "glColor4f")
            frame.opacity = number(call.args[3]);
        if (call.name == "glTexCoord2f")
            frame.texCoords.push_back({number(call.args[0]), number(call.args[1])});
    }
    return frames;
}

std::vector<Frame> framesWithTexture(const std::vector<Frame>& frames, unsigned texture)
{
    std::vector<Frame> result;
    for (const Frame& frame : frames)
        if (frame.texture == texture)
            result.push_back(frame);
    return result;
}

// 1-based number of the first frame drawn fully opaque, 0 for none.
int firstOpaqueFrame(const std::vector<Frame>& frames)
{
    for (size_t i = 0; i < frames.size(); ++i)
        if (frames[i].opacity >= 1)
            return static_cast<int>(i + 1);
    return 0;
}

std::vector<std::string> texts(const Log& log, size_t from = 0)
{
    std::vector<std::string> result;
    for (size_t i = from; i < log.size(); ++i)
        result.push_back(log[i].text());
    return result;
}

// Index of the first call from `from` on whose text, or name when `text`
// has no argument list, is `text`; log.size() when there is none.
size_t indexOf(const Log& log, const std::string& text, size_t from = 0)
{
    const bool byName = text.find('(') == std::string::npos;
    for (size_t i = from; i < log.size(); ++i)
        if ((byName ? log[i].name : log[i].text()) == text)
            return i;
    return log.size();
}

size_t lastIndexOf(const Log& log, const std::string& text)
{
    for (size_t i = log.size(); i-- > 0;)
        if (log[i].text() == text)
            return i;
    return log.size();
}

std::vector<std::string> quadCalls(float opacity, std::array<TexCoord, 4> coords)
{
    const std::array<std::pair<int, int>, 4> corners = {{{0, 0}, {800, 0}, {800, 600}, {0, 600}}};
    std::vector<std::string> calls = {"glClear(16640)", "glBegin(7)"};
    for (size_t i = 0; i < 4; ++i) {
        calls.push_back("glColor4f(1, 1, 1, " + fake::real(opacity) + ")");
        calls.push_back("glTexCoord2f(" + fake::real(coords[i].s) + ", " + fake::real(coords[i].t) + ")");
        calls.push_back("glVertex2f(" + std::to_string(corners[i].first) + ", " + std::to_string(corners[i].second) +
                        ")");
    }
    calls.push_back("glEnd()");
    return calls;
}

std::vector<std::string> withPresent(std::vector<std::string> calls, bool soundFirst)
{
    const std::vector<std::string> present = {"SwapBuffers(hdc1)", "PeekMessageA(NULL, 0, 0, 0x0)"};
    if (!soundFirst)
        calls.insert(calls.end(), present.begin(), present.end());
    calls.push_back("FSOUND_3D_Update()");
    if (soundFirst)
        calls.insert(calls.end(), present.begin(), present.end());
    return calls;
}

TEST(Presentation, WithoutEscapeScenesOneAndTwoRunTheirLengthFadingInAsTheClockDrifts)
{
    Stage stage;
    const int scene3Frames = 5;
    const Log log = stage.run(0, [] { pressEscapeAt(Scene1Frames + Scene2Frames + scene3Frames); });
    const std::vector<Frame> frames = framesOf(log);
    const std::vector<Frame> storm = framesWithTexture(frames, Storm);
    const std::vector<Frame> mirk = framesWithTexture(frames, Mirk);
    const std::vector<Frame> fin = framesWithTexture(frames, Fin);
    ASSERT_EQ(storm.size(), Scene1Frames);
    ASSERT_EQ(mirk.size(), Scene2Frames);
    ASSERT_EQ(fin.size(), scene3Frames);
    EXPECT_EQ(frames.size(), storm.size() + mirk.size() + fin.size());

    // Each first frame: black, and the picture's resting position.
    // Each first frame: black, and the picture's resting position. The
    // products of c = 0 and of c - 1 = 0 with negative factors are -0.
    const std::array<TexCoord, 4> whole = {{{-0.f, -0.f}, {1, -0.f}, {1, 1}, {-0.f, 1}}};
    EXPECT_THAT(storm[0].calls, ElementsAreArray(withPresent(quadCalls(-0.f, whole), false)));
    EXPECT_THAT(mirk[0].calls, ElementsAreArray(withPresent(
                                   quadCalls(-0.f, {{{-0.9f, -1}, {2, -0.95f}, {1.98f, 2}, {-1, 2}}}), false)));
    EXPECT_THAT(fin[0].calls, ElementsAreArray(withPresent(quadCalls(-0.f, whole), true)));

    EXPECT_EQ(firstOpaqueFrame(storm), 213);
    EXPECT_EQ(firstOpaqueFrame(mirk), 367);
    // Every frame has the same calls in the scene's order of present and
    // sound (the last one also handles the Escape key).
    for (const auto* scene : {&storm, &mirk, &fin}) {
        for (size_t i = 1; i + 1 < scene->size(); ++i) {
            const Frame& frame = (*scene)[i];
            std::array<TexCoord, 4> coords;
            std::copy(frame.texCoords.begin(), frame.texCoords.end(), coords.begin());
            ASSERT_THAT(frame.calls, ElementsAreArray(withPresent(quadCalls(frame.opacity, coords), scene == &fin)))
                << "frame " << i + 1 << " of the scene of texture " << frame.texture;
        }
    }
}

TEST(Presentation, StartsUpAndShutsDownInOrder)
{
    Stage stage;
    const Log log = stage.run(0, [] { pressEscapeAt(2); });
    const size_t open = indexOf(log, "ShowWindow(hwnd1, 5)");
    ASSERT_LT(open, log.size());
    EXPECT_EQ(log[0].text(), "FSOUND_SetOutput(2)");
    EXPECT_EQ(log[1].text(), "FSOUND_SetMixer(4)");
    EXPECT_EQ(log[2].text(), "FSOUND_Init(44000, 64, 0)");
    EXPECT_EQ(log[3].name, "GetModuleHandleA");
    EXPECT_LT(indexOf(log, "RegisterClassA"), open);
    EXPECT_LT(indexOf(log, "ChangeDisplaySettingsA(148, 0x1c0000, 16, 800, 600, 0x4)"), open);
    EXPECT_LT(indexOf(log, "CreateWindowExA"), open);

    // After the window's own set-up: the three textures, the music, then the
    // first texture bound and blending on, and the first frame.
    const size_t textures = indexOf(log, "glGenTextures(1)", open);
    ASSERT_LT(textures, log.size());
    std::vector<std::string> expected;
    for (auto [name, width, height] : {std::tuple{1, 2, 2}, {2, 3, 2}, {3, 2, 3}}) {
        expected.push_back("glGenTextures(1)");
        expected.push_back("glBindTexture(3553, " + std::to_string(name) + ")");
        expected.push_back("glTexParameteri(3553, 10241, 9984)"); // nearest mipmap nearest
        expected.push_back("glTexParameteri(3553, 10240, 9729)"); // linear magnification
        expected.push_back("gluBuild2DMipmaps(3553, 3, " + std::to_string(width) + ", " + std::to_string(height) +
                           ", 6408, 5121)");
    }
    for (const char* text : {"FSOUND_Stream_OpenMpeg(larkspin.mp3, 43)", "FSOUND_Stream_Play(-1, stream)",
                             "glBindTexture(3553, 1)", "glEnable(3042)", "glClear(16640)"})
        expected.push_back(text);
    const std::vector<std::string> all = texts(log, textures);
    EXPECT_THAT(std::vector<std::string>(all.begin(), all.begin() + expected.size()), ElementsAreArray(expected));

    // Escape seen after frame 2: the other scenes only bind their textures,
    // then the window is taken down and the class unregistered; the window
    // object's destructor tries that once more, in vain.
    const size_t lastFrameEnd = indexOf(log, "FSOUND_3D_Update()", indexOf(log, "DispatchMessageA"));
    ASSERT_LT(lastFrameEnd, log.size());
    EXPECT_THAT(texts(log, lastFrameEnd + 1),
                ElementsAre("glBindTexture(3553, 2)", "glDisable(2884)", "glBindTexture(3553, 3)",
                            "ChangeDisplaySettingsA(NULL, 0x0)", "ShowCursor(TRUE)", "wglMakeCurrent(NULL, NULL)",
                            "wglDeleteContext(hglrc1)", "ReleaseDC(hwnd1, hdc1)", "DestroyWindow(hwnd1)",
                            "UnregisterClassA(the Morrowgate accelerated library, instance)",
                            "UnregisterClassA(the Morrowgate accelerated library, instance)"));
    EXPECT_EQ(framesOf(log).size(), 2u);
}

TEST(Presentation, EscapeDuringSceneOneEndsItAfterThatFrameAndSkipsTheOtherScenes)
{
    Stage stage;
    const Log log = stage.run(0, [] { pressEscapeAt(10, true); });
    const std::vector<Frame> frames = framesOf(log);
    EXPECT_EQ(framesWithTexture(frames, Storm).size(), 10u);
    EXPECT_EQ(frames.size(), 10u);
    const size_t bindMirk = lastIndexOf(log, "glBindTexture(3553, 2)");
    const size_t bindFin = lastIndexOf(log, "glBindTexture(3553, 3)");
    EXPECT_LT(bindMirk, bindFin);
    EXPECT_LT(bindFin, log.size());
    EXPECT_EQ(indexOf(log, "glBegin(7)", bindMirk), log.size());
}

TEST(Presentation, AMissingSoundtrackChangesNothingElse)
{
    Stage withMusic;
    Stage silent;
    silent.remove("larkspin.mp3");
    const int escapeAt = Scene1Frames + 20;
    std::vector<std::string> heard = texts(withMusic.run(0, [] { pressEscapeAt(escapeAt); }));
    std::vector<std::string> quiet = texts(silent.run(0, [] { pressEscapeAt(escapeAt); }));
    ASSERT_EQ(heard.size(), quiet.size());
    for (size_t i = 0; i < heard.size(); ++i)
        if (heard[i] != quiet[i]) {
            EXPECT_THAT(std::vector<std::string>({heard[i], quiet[i]}),
                        ElementsAre("FSOUND_Stream_Play(-1, stream)", "FSOUND_Stream_Play(-1, NULL)"));
        }
}

TEST(Presentation, APictureThatDoesNotLoadShutsTheWindowDownThenShowsTheErrorAndExitsWithMinusOne)
{
    Stage stage;
    std::ofstream(stage.dir / "mirk.jpg", std::ios::trunc) << "not a picture";
    const fs::path home = fs::current_path();
    fs::current_path(stage.dir.root());
    // The log goes to stderr at exit, after the fake's own line for the box.
    EXPECT_EXIT(
        {
            fake::reset();
            std::atexit([] {
                for (const std::string& text : fake::texts())
                    std::fprintf(stderr, "%s\n", text.c_str());
            });
            runDemo("");
        },
        ::testing::ExitedWithCode(255),
        "^qorx: cannot load mirk.jpg: not a JPEG, TGA, TIFF or PNG file\n"
        "MessageBoxA: \\[Qorx - ERROR!\\] Error cargando la textura \\(owner NULL, flags 0x30\\).*"
        "gluBuild2DMipmaps\\(3553, 3, 2, 2, 6408, 5121\\)\n"
        "ChangeDisplaySettingsA\\(NULL, 0x0\\).*DestroyWindow\\(hwnd1\\)\n"
        "UnregisterClassA\\(the Morrowgate accelerated library, instance\\)\n"
        "MessageBoxA\\(NULL, Error cargando la textura, Qorx - ERROR!, 0x30\\)\n$");
    fs::current_path(home);
}

// Nowhere to find the pictures: the places looked in, then the same box and
// exit code, before any window is opened.
TEST(Presentation, MissingPicturesAreReportedWithThePlacesLookedInBeforeAnyWindow)
{
    Stage stage;
    for (const char* name : DemoPictures)
        stage.remove(name);
    const Log log = stage.run(255, [&] { fake::setModuleFileName((stage.dir / "bin/qorx-demo").string()); });
    EXPECT_THAT(texts(log), ElementsAre("MessageBoxA(NULL, Error cargando la textura, Qorx - ERROR!, 0x30)"));
}

TEST(Presentation, WindowedItIsTheSamePresentationInAnOverlappedWindowWithTheDisplayLeftAlone)
{
    Stage stage;
    const std::vector<std::string> fullscreen = texts(stage.run(0, [] { pressEscapeAt(3); }));
    const std::vector<std::string> windowed = texts(stage.run(
        0, [] { pressEscapeAt(3); }, "--windowed"));
    std::vector<std::string> expected;
    for (const std::string& call : fullscreen) {
        if (call.rfind("ChangeDisplaySettingsA", 0) == 0 || call.rfind("ShowCursor", 0) == 0 ||
            call.rfind("GetSystemMetrics", 0) == 0)
            continue;
        if (call.rfind("AdjustWindowRectEx", 0) == 0)
            expected.push_back("AdjustWindowRectEx(0xcf0000, FALSE, 0x40100)");
        else if (call.rfind("CreateWindowExA", 0) == 0)
            expected.push_back("CreateWindowExA(0x40100, the Morrowgate accelerated library, hola! gl abierta!, "
                               "0x6cf0000, -2147483648, -2147483648, 816, 639, NULL, NULL, instance, NULL)");
        else
            expected.push_back(call);
    }
    EXPECT_THAT(windowed, ElementsAreArray(expected));
}

// A recording needs framebuffer objects, which the fake's OpenGL 1.1 lacks:
// it says so and ends with 1, no box shown, the hidden window taken down,
// after the sound of the stretch is written.
TEST(Presentation, ARecordingWithoutFramebufferObjectsEndsWithOneAndNoBox)
{
    Stage stage;
    std::ofstream(stage.dir / "larkspin.mp3", std::ios::trunc) << "not an MP3";
    const std::string command = "--record \"" + (stage.dir / "rec ording").string() + "\" --frames 3";
    const std::vector<std::string> calls = texts(stage.run(
        1, [] {}, command.c_str()));
    EXPECT_EQ(std::count(calls.begin(), calls.end(), "ShowWindow(hwnd1, 5)"), 0);
    EXPECT_EQ(std::count_if(calls.begin(), calls.end(),
                            [](const std::string& call) {
                                return call.rfind("MessageBoxA", 0) == 0 || call.rfind("FSOUND_", 0) == 0 ||
                                       call.rfind("ChangeDisplaySettingsA", 0) == 0;
                            }),
              0);
    EXPECT_EQ(calls.back(), "UnregisterClassA(the Morrowgate accelerated library, instance)");
    EXPECT_EQ(fs::file_size(stage.dir / "rec ording" / "soundtrack.wav"), 44u + 3 * 735 * 4) << "silence";
    EXPECT_FALSE(fs::exists(stage.dir / "rec ording" / "frame-000001.png"));
}

// --help and a bad command line are answered before anything else happens.
TEST(Presentation, HelpAndUsageErrorsTouchNothing)
{
    Stage stage;
    const auto quiet = [] { std::freopen("/dev/null", "w", stdout); };
    EXPECT_THAT(texts(stage.run(0, quiet, "--help")), ElementsAre());
    EXPECT_THAT(texts(stage.run(2, quiet, "--windowed --bogus")), ElementsAre());
    EXPECT_EXIT(std::exit(runDemo("\"--frames\" 3")), ::testing::ExitedWithCode(2),
                "^qorx-demo: --frames goes with --record\nTry 'qorx-demo --help'.\n$");
}

} // namespace
