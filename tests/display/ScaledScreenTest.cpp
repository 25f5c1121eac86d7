// A full-screen 800x600 picture on Xvfb screens that have no 800x600 mode:
// the picture is scaled as large as fits with its shape kept, centred, and
// the rest stays black. The program runs on each screen below (display.cmake);
// where the picture lands on each is worked out here by hand, to the pixel
// as the window library rounds it: down.
#include "display/GlDrawing.h"
#include "display/XProbe.h"
#include "qorx/window/GlWindow.h"

#include <gtest/gtest.h>

namespace {

struct Placement {
    int screenWidth;
    int screenHeight;
    XProbe::Box picture;
};

const Placement placements[] = {
    // Wider than 4:3: 600 rows become 720, so 800 columns become 960.
    {1280, 720, {160, 0, 960, 720}},
    // At full height 1024 columns: the one spare column is on the right.
    {1025, 768, {0, 0, 1024, 768}},
    // At full height 1025.3 columns, down to exactly the screen's width.
    {1025, 769, {0, 0, 1025, 769}},
    // Taller than 4:3: 1280 columns make 960 rows, 32 spare above and below.
    {1280, 1024, {0, 32, 1280, 960}},
    // An odd number of spare rows: 32 above, 33 below.
    {1280, 1025, {0, 32, 1280, 960}},
};

const Placement* placementOn(const XProbe::Box& screen)
{
    for (const Placement& placement : placements) {
        if (placement.screenWidth == screen.width && placement.screenHeight == screen.height)
            return &placement;
    }
    return nullptr;
}

bool showsBlack(XProbe& probe, int x, int y)
{
    return probe.shows(x, y, 0, 0, 0);
}

TEST(ScaledScreen, TheFourByThreePictureIsCentredBetweenBlackBars)
{
    XProbe probe;
    const XProbe::Box screen = probe.screen();
    const Placement* placement = placementOn(screen);
    ASSERT_NE(placement, nullptr) << "nothing worked out for a screen of " << screen.width << "x" << screen.height;

    GlWindow window;
    ASSERT_EQ(window.registerClass(), 0);
    window.setFullscreen();
    ASSERT_EQ(window.open(800, 600, 16, "qorx letterbox"), 0);
    window.clear();
    drawQuarters(800, 600);
    window.present();

    // The picture's corner pixels first: once they show, the frame has landed.
    const XProbe::Box& picture = placement->picture;
    const int right = picture.x + picture.width - 1;
    const int bottom = picture.y + picture.height - 1;
    EXPECT_TRUE(probe.shows(picture.x, picture.y, 255, 0, 0)) << "top left";
    EXPECT_TRUE(probe.shows(right, picture.y, 0, 255, 0)) << "top right";
    EXPECT_TRUE(probe.shows(picture.x, bottom, 0, 0, 255)) << "bottom left";
    EXPECT_TRUE(probe.shows(right, bottom, 255, 255, 255)) << "bottom right";
    // Then the first pixel past each edge that has a bar beyond it.
    const int middleX = picture.x + picture.width / 2;
    const int middleY = picture.y + picture.height / 2;
    if (picture.x > 0) {
        EXPECT_TRUE(showsBlack(probe, picture.x - 1, middleY)) << "left bar";
    }
    if (right + 1 < screen.width) {
        EXPECT_TRUE(showsBlack(probe, right + 1, middleY)) << "right bar";
    }
    if (picture.y > 0) {
        EXPECT_TRUE(showsBlack(probe, middleX, picture.y - 1)) << "top bar";
    }
    if (bottom + 1 < screen.height) {
        EXPECT_TRUE(showsBlack(probe, middleX, bottom + 1)) << "bottom bar";
    }

    ASSERT_EQ(window.close(), 0);
    EXPECT_EQ(probe.findWindow("qorx letterbox", false), 0u) << "closing takes the window away";
    EXPECT_EQ(window.shutdown(), 0);
}

} // namespace
