// A full-screen 800x600 picture on a 1280x720 Xvfb screen, which has no
// 800x600 mode and is wider than 4:3: the picture is scaled to the screen's
// height and the sides stay black.
#include "display/GlDrawing.h"
#include "display/XProbe.h"
#include "qorx/window/GlWindow.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

bool near(const XProbe::Colour& seen, int red, int green, int blue)
{
    return std::abs(seen.red - red) <= 8 && std::abs(seen.green - green) <= 8 && std::abs(seen.blue - blue) <= 8;
}

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
    EXPECT_TRUE(near(probe.pixel(0, 0), 0, 0, 0));
    EXPECT_TRUE(near(probe.pixel(158, 360), 0, 0, 0));
    EXPECT_TRUE(near(probe.pixel(161, 0), 255, 0, 0));
    EXPECT_TRUE(near(probe.pixel(1118, 0), 0, 255, 0));
    EXPECT_TRUE(near(probe.pixel(161, 719), 0, 0, 255));
    EXPECT_TRUE(near(probe.pixel(1118, 719), 255, 255, 255));
    EXPECT_TRUE(near(probe.pixel(1121, 360), 0, 0, 0));
    EXPECT_TRUE(near(probe.pixel(1279, 719), 0, 0, 0));

    ASSERT_EQ(window.close(), 0);
    EXPECT_EQ(probe.findWindow("qorx pillarbox", false), 0u) << "closing takes the window away";
    EXPECT_EQ(window.shutdown(), 0);
}

} // namespace
