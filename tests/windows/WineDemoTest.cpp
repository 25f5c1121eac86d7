// The Windows build of the presentation (dist/qorx-windows) under Wine, on
// the X server of this test: an Xvfb without an 800 x 600 mode, or Xorg's
// dummy driver with one (QORX_MODE_SWITCH=1). Each run copies the programs,
// the DLLs and the bundled files it wants into a scratch folder; Wine's
// sound goes into a WAV file there.
#include "display/XProbe.h"
#include "support/ChildProcess.h"
#include "support/Commands.h"
#include "support/DemoFiles.h"
#include "support/Files.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace fs = std::filesystem;

namespace {

const char* const Title = "hola! gl abierta!";
const char* const ErrorCaption = "Qorx - ERROR!";
const size_t WavHeaderBytes = 44;
// Scene 1 draws 630 frames at 60 a second.
const double SceneOneSeconds = 630.0 / 60.0;
// Wine starts its server and loads its DLLs before the program runs.
const double StartSeconds = 60;

bool modeSwitches()
{
    const char* value = std::getenv("QORX_MODE_SWITCH");
    return value != nullptr && std::strcmp(value, "1") == 0;
}

double secondsSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

class WineDemo : public testing::Test {
protected:
    // The presentation started in the scratch folder, which holds the
    // programs and DLLs and the bundled files but those left out; its sound
    // goes into mix.wav.
    std::unique_ptr<ChildProcess> start(const std::vector<std::string>& leftOut = {})
    {
        for (const fs::directory_entry& entry : fs::directory_iterator(QORX_WINDOWS_DIST)) {
            const std::string name = entry.path().filename().string();
            if (std::find(leftOut.begin(), leftOut.end(), name) == leftOut.end())
                fs::copy(entry.path(), scratch / name);
        }
        ChildProcess::Options options;
        options.directory = scratch.root();
        options.environment = {"QORX_WINE_MIX=" + (scratch / "mix.wav").string()};
        options.keepErrorOutput = true;
        return std::make_unique<ChildProcess>(std::vector<std::string>{QORX_WINE, "qorx-demo.exe"}, options);
    }

    unsigned long waitForWindow(const char* title)
    {
        unsigned long window = 0;
        waitUntil(StartSeconds, [&] { return (window = probe.findWindow(title, false)) != 0; });
        return window;
    }

    void pressEscape(unsigned long window)
    {
        probe.focus(window);
        probe.tap("Escape");
    }

    TempFolder scratch;
    XProbe probe;
    XProbe::Box desktop = probe.screen();
};

// What the program wrote on standard error, with Windows' CR LF line ends as
// LF.
std::string errorLines(const ChildProcess& program)
{
    std::string lines = program.errorOutput();
    lines.erase(std::remove(lines.begin(), lines.end(), '\r'), lines.end());
    return lines;
}

TEST_F(WineDemo, FillsTheScreenFadesInPlaysAndKeepsSceneOneAtTenAndAHalfSeconds)
{
    std::unique_ptr<ChildProcess> demo = start();
    const unsigned long window = waitForWindow(Title);
    ASSERT_NE(window, 0u) << demo->errorOutput();

    // The scene fades in from black: time it from the screen, from the first
    // light to the black that opens scene 2.
    XProbe::Brightness brightness = {0, 0};
    ASSERT_TRUE(waitUntil(30, [&] { return (brightness = probe.brightness()).mean > 2; })) << "the screen stayed black";
    const auto lit = std::chrono::steady_clock::now();
    double brightest = 0;
    bool sceneTwo = waitUntil(SceneOneSeconds * 2, [&] {
        brightness = probe.brightness();
        brightest = std::max(brightest, brightness.mean);
        return secondsSince(lit) > 2 && brightness.mean < brightest / 5;
    });
    const double sceneOne = secondsSince(lit);
    EXPECT_TRUE(sceneTwo) << "no black between the scenes";
    EXPECT_NEAR(sceneOne, SceneOneSeconds, SceneOneSeconds / 10);
    std::printf("scene 1 lasted %.2f s on the screen\n", sceneOne);
    EXPECT_GT(brightest, 10) << "the picture showed";
    EXPECT_EQ(probe.findWindow(ErrorCaption, false), 0u);

    const XProbe::Box box = probe.geometry(window);
    const XProbe::Box screen = probe.screen();
    EXPECT_EQ(box.x, 0);
    EXPECT_EQ(box.y, 0);
    EXPECT_EQ(box.width, screen.width) << "the window covers the screen";
    EXPECT_EQ(box.height, screen.height);
    if (modeSwitches()) {
        EXPECT_EQ(screen.width, 800);
        EXPECT_EQ(screen.height, 600);
    } else {
        EXPECT_EQ(screen.width, desktop.width) << "no such mode: the desktop's is kept";
    }

    pressEscape(window);
    EXPECT_EQ(demo->waitForExit(20), 0) << demo->errorOutput();
    EXPECT_EQ(probe.screen().width, desktop.width) << "the desktop's mode is back";
    EXPECT_EQ(probe.screen().height, desktop.height);
    EXPECT_GT(loudShare(readBytes(scratch.path("mix.wav")), WavHeaderBytes), 0.2) << "the soundtrack was played";
}

TEST_F(WineDemo, ACloseRequestEndsWithZero)
{
    std::unique_ptr<ChildProcess> demo = start();
    const unsigned long window = waitForWindow(Title);
    ASSERT_NE(window, 0u) << demo->errorOutput();
    waitUntil(10, [&] { return probe.brightness().mean > 2; });
    probe.requestClose(window);
    EXPECT_EQ(demo->waitForExit(20), 0) << demo->errorOutput();
    EXPECT_EQ(probe.screen().width, desktop.width);
}

TEST_F(WineDemo, AMissingPictureShowsTheBoxOnTheDesktopAndEndsWith255)
{
    std::unique_ptr<ChildProcess> demo = start({DemoPictures[1]});
    const unsigned long box = waitForWindow(ErrorCaption);
    ASSERT_NE(box, 0u) << demo->errorOutput();
    EXPECT_EQ(probe.findWindow(Title, false), 0u) << "the window is gone before the box shows";
    // Under Wine the desktop's mode can come back a moment after the box shows.
    EXPECT_TRUE(waitUntil(2, [&] { return probe.screen().width == desktop.width; }))
        << "the box is on the desktop's own mode";
    EXPECT_EQ(demo->waitForExit(1), ChildProcess::NotEnded) << "the box waits for the user";
    probe.focus(box);
    probe.tap("Return");
    EXPECT_EQ(demo->waitForExit(20), 255) << demo->errorOutput();
    EXPECT_EQ(errorLines(*demo), "qorx: cannot load mirk.jpg: No such file or directory\n");
}

TEST_F(WineDemo, WithoutTheSoundtrackItRunsSilentlyAfterOneLine)
{
    std::unique_ptr<ChildProcess> demo = start({DemoSoundtrack});
    const unsigned long window = waitForWindow(Title);
    ASSERT_NE(window, 0u) << demo->errorOutput();
    EXPECT_TRUE(waitUntil(30, [&] { return probe.brightness().mean > 2; })) << "the pictures still show";
    pressEscape(window);
    EXPECT_EQ(demo->waitForExit(20), 0);
    EXPECT_EQ(errorLines(*demo), "qorx: running silently: larkspin.mp3: No such file or directory\n");
}

} // namespace
