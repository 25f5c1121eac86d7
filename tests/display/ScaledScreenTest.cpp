// A full-screen 800x600 picture on a 1280x720 Xvfb screen, which has no
// 800x600 mode and is wider than 4:3: the picture is scaled to the screen's
// height and the sides stay black.
#include "display/GlDrawing.h"
#include "display/XProbe.h"
#include "qorx/window/GlWindow.h"

#include <gtest/gtest.h>

namespace {

TEST(ScaledScreen, TheFourByThreePictureIsCentredBetweenBlackBars)
{
    GlWindow window;
    ASSERT_EQ(window.registerClass(), 0);
    window.setFullscreen();
    ASSERT_EQ(window.open(800, 600, 16, "qorx pillarbox"), 0);
    window.clear();
    drawQuarters(800, 600);
    window.present();

    XProbe probe;
    // 600 rows become 720, so 800 columns become 960, from x = 160 to 1119.
    // The picture first: once it shows, the frame has landed.
    EXPECT_TRUE(probe.shows(161, 0, 255, 0, 0));
    EXPECT_TRUE(probe.shows(1118, 0, 0, 255, 0));
    EXPECT_TRUE(probe.shows(161, 719, 0, 0, 255));
    EXPECT_TRUE(probe.shows(1118, 719, 255, 255, 255));
    EXPECT_TRUE(probe.shows(0, 0, 0, 0, 0));
    EXPECT_TRUE(probe.shows(158, 360, 0, 0, 0));
    EXPECT_TRUE(probe.shows(1121, 360, 0, 0, 0));
    EXPECT_TRUE(probe.shows(1279, 719, 0, 0, 0));

    ASSERT_EQ(window.close(), 0);
    EXPECT_EQ(probe.findWindow("qorx pillarbox", false), 0u) << "closing takes the window away";
    EXPECT_EQ(window.shutdown(), 0);
}

} // namespace
