// The window library on the SDL2 layer, in a 1024x768 Xvfb: one display mode
// only, so a full-screen 800x600 picture stays at the desktop's mode and is
// scaled to fill the screen.
#include "qorx/window/GlWindow.h"
#include "display/GlDrawing.h"
#include "display/XProbe.h"
#include "qorx/window/Keyboard.h"

#include "ChildProcess.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cstdlib>

namespace {

::testing::AssertionResult sameColour(const Rgb& seen, const Rgb& expected)
{
    bool near = std::abs(seen.red - expected.red) <= 8 && std::abs(seen.green - expected.green) <= 8 &&
                std::abs(seen.blue - expected.blue) <= 8;
    if (near)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "(" << seen.red << ", " << seen.green << ", " << seen.blue
                                         << ") instead of (" << expected.red << ", " << expected.green << ", "
                                         << expected.blue << ")";
}

bool onScreen(XProbe& probe, int x, int y, const Rgb& colour)
{
    return probe.shows(x, y, colour.red, colour.green, colour.blue);
}

const Rgb black = {0, 0, 0};
const Rgb red = {255, 0, 0};
const Rgb green = {0, 255, 0};
const Rgb blue = {0, 0, 255};
const Rgb white = {255, 255, 255};

// The class is registered once per process, so one window serves every test.
class GlWindowTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        window = new GlWindow;
        ASSERT_EQ(window->registerClass(), 0);
    }
    static void TearDownTestSuite()
    {
        window->shutdown();
        delete window;
    }
    void TearDown() override { window->close(); }

    // Presents until the key reaches the wanted state, a few seconds at most.
    static bool presentUntilKey(int key, unsigned char wanted)
    {
        Keyboard keyboard;
        for (int frame = 0; frame < 300; ++frame) {
            if (keyboard.isDown(key) == wanted)
                return true;
            window->present();
        }
        return keyboard.isDown(key) == wanted;
    }

    static GlWindow* window;
    XProbe probe;
};

GlWindow* GlWindowTest::window = nullptr;

TEST_F(GlWindowTest, AWindowedOpenGivesExactlyTheClientAreaAskedFor)
{
    ASSERT_EQ(window->open(800, 600, 16, "qorx windowed"), 0);
    unsigned long xWindow = probe.findWindow("qorx windowed");
    ASSERT_NE(xWindow, 0u);
    XProbe::Box box = probe.geometry(xWindow);
    EXPECT_EQ(box.width, 800);
    EXPECT_EQ(box.height, 600);
    RECT client;
    ASSERT_TRUE(GetClientRect(window->windowHandle, &client));
    EXPECT_EQ(client.right - client.left, 800);
    EXPECT_EQ(client.bottom - client.top, 600);
}

// The projection is pixel-exact with the origin at the top-left corner: a
// one-pixel square at (0, 0) lights exactly the top-left pixel, one ending at
// (800, 600) exactly the bottom-right one.
TEST_F(GlWindowTest, VerticesLandOnTheCornerPixels)
{
    ASSERT_EQ(window->open(800, 600, 16, "qorx corners"), 0);
    window->clear();
    fillRect(0, 0, 1, 1, red);
    fillRect(799, 599, 800, 600, green);
    EXPECT_TRUE(sameColour(readPixel(0, 0, 600), red));
    EXPECT_TRUE(sameColour(readPixel(1, 0, 600), black));
    EXPECT_TRUE(sameColour(readPixel(0, 1, 600), black));
    EXPECT_TRUE(sameColour(readPixel(799, 599, 600), green));
    EXPECT_TRUE(sameColour(readPixel(798, 599, 600), black));
    EXPECT_TRUE(sameColour(readPixel(799, 598, 600), black));
}

// The scenes fade in by their vertices' opacity, drawn at one depth over
// what is there: blending by the source's alpha, and a depth test that lets
// an equal depth through.
TEST_F(GlWindowTest, TranslucentQuadsBlendOverWhatIsThereAtTheSameDepth)
{
    ASSERT_EQ(window->open(800, 600, 16, "qorx blending"), 0);
    window->clear();
    fillRect(0, 0, 400, 600, white);
    fillRect(0, 0, 800, 600, red, 0.5f);
    EXPECT_TRUE(sameColour(readPixel(200, 300, 600), {255, 128, 128})) << "half red over white";
    EXPECT_TRUE(sameColour(readPixel(600, 300, 600), {128, 0, 0})) << "half red over black";
}

TEST_F(GlWindowTest, EscapeFromTheServerReachesTheKeyboardAfterAPresent)
{
    ASSERT_EQ(window->open(800, 600, 16, "qorx escape"), 0);
    window->present();
    // Keys go where the server has the focus: the program's request for it
    // travels on its own connection, and a busy server may not have taken
    // it yet when the probe's key arrives.
    const unsigned long xWindow = probe.findWindow("qorx escape");
    for (int attempt = 0; attempt < 250 && probe.focusedWindow() != xWindow; ++attempt)
        window->present();
    ASSERT_EQ(probe.focusedWindow(), xWindow);
    Keyboard keyboard;
    ASSERT_EQ(keyboard.isDown(27), 0);
    probe.key("Escape", true);
    EXPECT_TRUE(presentUntilKey(27, 1));
    probe.key("Escape", false);
    EXPECT_TRUE(presentUntilKey(27, 0));
}

TEST_F(GlWindowTest, AFullScreenPictureWithoutItsModeFillsTheScreenScaled)
{
    window->setFullscreen();
    ASSERT_EQ(window->open(800, 600, 16, "qorx full screen"), 0);
    unsigned long xWindow = probe.findWindow("qorx full screen");
    ASSERT_NE(xWindow, 0u);
    XProbe::Box box = probe.geometry(xWindow);
    EXPECT_EQ(box.x, 0);
    EXPECT_EQ(box.y, 0);
    EXPECT_EQ(box.width, 1024);
    EXPECT_EQ(box.height, 768);
    RECT client;
    GetClientRect(window->windowHandle, &client);
    EXPECT_EQ(client.right, 1024) << "the window covers the screen";
    EXPECT_EQ(window->width, 800) << "the picture keeps its own size";

    window->clear();
    drawQuarters(800, 600);
    EXPECT_TRUE(sameColour(readPixel(0, 0, 768), red));
    EXPECT_TRUE(sameColour(readPixel(1023, 767, 768), white));
    window->present();
    // 1024x768 is 4:3 too: the picture covers the whole screen.
    EXPECT_TRUE(onScreen(probe, 0, 0, red));
    EXPECT_TRUE(onScreen(probe, 1023, 0, green));
    EXPECT_TRUE(onScreen(probe, 0, 767, blue));
    EXPECT_TRUE(onScreen(probe, 1023, 767, white));
    EXPECT_TRUE(onScreen(probe, 500, 380, red)) << "the quarters meet at (512, 384)";
    EXPECT_TRUE(onScreen(probe, 524, 388, white));

    // The pointer hides over the full-screen picture, and shows again once
    // the window has closed.
    probe.movePointer(600, 500);
    EXPECT_FALSE(probe.cursorShown());
    ASSERT_EQ(window->close(), 0);
    probe.movePointer(610, 510);
    EXPECT_TRUE(probe.cursorShown());
}

// The program on its own, as a child process: the desktop asks its window to
// close, and the process must end by itself with exit code 0.
TEST(GlWindowCloseRequest, EndsTheProcessWithExitCodeZero)
{
    ChildProcess child({QORX_WINDOW_CHILD, "close-request"});
    ASSERT_TRUE(child.started());
    XProbe probe;
    unsigned long xWindow = probe.findWindow("qorx child");
    ASSERT_NE(xWindow, 0u);
    probe.requestClose(xWindow);
    EXPECT_EQ(child.waitForExit(20), 0);
}

} // namespace
