// Real display-mode changes, on Xorg with the dummy driver: a 16-bit screen
// at 1024x768 that also offers 800x600 (tests/display/xorg-dummy.conf).
#include "display/GlDrawing.h"
#include "display/XProbe.h"
#include "qorx/window/GlWindow.h"

#include "ChildProcess.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cstdlib>

namespace {

void expectScreen(XProbe& probe, int width, int height)
{
    XProbe::Box screen = probe.screen();
    EXPECT_EQ(screen.width, width);
    EXPECT_EQ(screen.height, height);
}

// The class is registered once per process: one window for both depths.
TEST(FullscreenMode, OpenSwitchesTo800x600AndCloseRestoresTheDesktop)
{
    XProbe probe;
    ASSERT_EQ(probe.depth(), 16);
    expectScreen(probe, 1024, 768);
    GlWindow window;
    ASSERT_EQ(window.registerClass(), 0);
    window.setFullscreen();

    ASSERT_EQ(window.open(800, 600, 16, "qorx mode switch"), 0);
    expectScreen(probe, 800, 600);
    unsigned long xWindow = probe.findWindow("qorx mode switch");
    ASSERT_NE(xWindow, 0u);
    XProbe::Box box = probe.geometry(xWindow);
    EXPECT_EQ(box.x, 0);
    EXPECT_EQ(box.y, 0);
    EXPECT_EQ(box.width, 800);
    EXPECT_EQ(box.height, 600);
    GLint redBits = 0;
    GLint greenBits = 0;
    glGetIntegerv(GL_RED_BITS, &redBits);
    glGetIntegerv(GL_GREEN_BITS, &greenBits);
    EXPECT_EQ(redBits, 5) << "16 bits per pixel: 5-6-5";
    EXPECT_EQ(greenBits, 6);
    window.clear();
    drawQuarters(800, 600);
    window.present();
    EXPECT_TRUE(probe.shows(0, 0, 255, 0, 0)) << "shown as drawn, pixel for pixel";
    EXPECT_TRUE(probe.shows(399, 299, 255, 0, 0));
    EXPECT_TRUE(probe.shows(400, 300, 255, 255, 255));
    EXPECT_TRUE(probe.shows(799, 599, 255, 255, 255));
    ASSERT_EQ(window.close(), 0);
    expectScreen(probe, 1024, 768);

    // X cannot change its depth: 24 bits get the mode at the desktop's 16.
    ASSERT_EQ(window.open(800, 600, 24, "qorx mode switch"), 0);
    expectScreen(probe, 800, 600);
    ASSERT_EQ(window.close(), 0);
    expectScreen(probe, 1024, 768);
    EXPECT_EQ(window.shutdown(), 0);
}

// A mode is the display's only if both sides match one of its modes.
TEST(FullscreenMode, ASizeMatchingAModeInOneSideOnlyIsRefused)
{
    XProbe probe;
    for (DWORD size : {800u << 16 | 480u, 640u << 16 | 600u}) {
        DEVMODEA mode = {};
        mode.dmSize = sizeof mode;
        mode.dmFields = DM_PELSWIDTH | DM_PELSHEIGHT;
        mode.dmPelsWidth = size >> 16;
        mode.dmPelsHeight = size & 0xFFFF;
        EXPECT_EQ(ChangeDisplaySettingsA(&mode, CDS_FULLSCREEN), DISP_CHANGE_BADMODE)
            << mode.dmPelsWidth << "x" << mode.dmPelsHeight;
    }
    expectScreen(probe, 1024, 768);
}

// Windows gives the desktop its mode back when the program ends, however it
// ends; so does the layer, where an X server would keep the program's mode.
TEST(FullscreenMode, AProgramEndingInFullScreenLeavesTheDesktopRestored)
{
    XProbe probe;
    ChildProcess child({QORX_WINDOW_CHILD, "exit-fullscreen"});
    ASSERT_TRUE(child.started());
    EXPECT_EQ(child.waitForExit(20), 5);
    expectScreen(probe, 1024, 768);
}

} // namespace
