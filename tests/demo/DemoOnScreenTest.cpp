// The real program under the private X server of this test: the bundled
// pictures and soundtrack in a scratch directory, the sound written to a file
// by SDL's disk audio driver.
#include "support/ChildProcess.h"
#include "support/Commands.h"
#include "support/DemoFiles.h"
#include "support/Files.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

namespace fs = std::filesystem;

namespace {

const char* const Title = "hola! gl abierta!";
const char* const ErrorCaption = "Qorx - ERROR!";

std::string windowGeometry(const std::string& id)
{
    const std::string info = capture("xwininfo -id " + id);
    const auto field = [&info](const std::string& key) {
        const size_t at = info.find(key);
        return at == std::string::npos ? std::string("?") : std::to_string(std::atoi(info.c_str() + at + key.size()));
    };
    return field("Width: ") + "x" + field("Height: ") + "+" + field("Absolute upper-left X: ") + "+" +
           field("Absolute upper-left Y: ");
}

struct Brightness {
    double mean;
    double spread; // standard deviation: a picture, not a flat colour
};

// Brightness (0 to 255) of the 800 x 600 pixels of the screen, which the
// full-screen window covers.
Brightness screenBrightness(const TempFolder& scratch)
{
    const fs::path shot = scratch / "screen.ppm";
    capture("import -window root -crop 800x600+0+0 +repage -depth 8 ppm:" + shot.string());
    std::ifstream in(shot, std::ios::binary);
    std::string magic;
    int width = 0, height = 0, maximum = 0;
    in >> magic >> width >> height >> maximum;
    in.get();
    std::vector<unsigned char> pixels((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (magic != "P6" || pixels.empty())
        return {-1, -1};
    double sum = 0, squares = 0;
    for (unsigned char value : pixels) {
        sum += value;
        squares += double(value) * value;
    }
    const double mean = sum / pixels.size();
    return {mean, std::sqrt(squares / pixels.size() - mean * mean)};
}

class DemoOnScreen : public ::testing::Test {
protected:
    void SetUp() override { copyDemoFiles(QORX_ASSETS_DIR, scratch.root()); }

    std::vector<std::string> environment() const
    {
        return {"SDL_AUDIODRIVER=disk", "SDL_DISKAUDIOFILE=" + (scratch / "sound.raw").string()};
    }

    // Keys go to the window with the input focus; nothing else on this X
    // server gives it, so hand it over before each key.
    static void pressKey(const std::string& window, const char* key)
    {
        capture("xdotool windowfocus --sync " + window);
        capture(std::string("xdotool key ") + key);
    }

    TempFolder scratch;
};

TEST_F(DemoOnScreen, ShowsThePicturePlaysTheSoundtrackAndEndsOnEscape)
{
    ChildProcess demo({QORX_DEMO_PROGRAM}, {scratch.root(), environment()});
    ASSERT_TRUE(demo.started());

    std::string window;
    ASSERT_TRUE(waitUntil(60, [&] { return !(window = windowNamed(Title)).empty(); }))
        << "no window titled \"" << Title << "\"";
    EXPECT_EQ(windowGeometry(window), "800x600+0+0");

    // The storm is a dark picture, but far from black.
    Brightness screen = {0, 0};
    EXPECT_TRUE(waitUntil(60,
                          [&] {
                              screen = screenBrightness(scratch);
                              return screen.mean > 15 && screen.spread > 10;
                          }))
        << "the screen stayed dark: mean " << screen.mean << ", deviation " << screen.spread;

    int code = -1;
    EXPECT_TRUE(waitUntil(30, [&] {
        pressKey(window, "Escape");
        return (code = demo.waitForExit(1)) != ChildProcess::NotEnded;
    }));
    EXPECT_EQ(code, 0);
    EXPECT_GT(loudShare(readBytes(scratch.path("sound.raw"))), 0.05) << "the soundtrack came out silent";
}

TEST_F(DemoOnScreen, MissingPictureShowsTheErrorBoxAndExitsWith255)
{
    fs::remove(scratch / DemoPictures[1]);
    ChildProcess demo({QORX_DEMO_PROGRAM}, {scratch.root(), environment()});
    ASSERT_TRUE(demo.started());

    std::string box;
    ASSERT_TRUE(waitUntil(60, [&] { return !(box = windowNamed(ErrorCaption)).empty(); }))
        << "no box titled \"" << ErrorCaption << "\"";
    EXPECT_EQ(windowNamed(Title), "") << "the presentation's window is still there behind the box";
    EXPECT_TRUE(demo.running()) << "the box must wait for the user";

    int code = -1;
    EXPECT_TRUE(waitUntil(30, [&] {
        pressKey(box, "Return");
        return (code = demo.waitForExit(1)) != ChildProcess::NotEnded;
    }));
    EXPECT_EQ(code, 255);
}

} // namespace
