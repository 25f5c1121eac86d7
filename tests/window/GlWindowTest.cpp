#include "qorx/window/GlWindow.h"

#include "FreshProcess.h"
#include "qorx/window/Keyboard.h"
#include "qorx/window/WindowProc.h"
#include "support/Lists.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

using testing::ElementsAre;
using testing::ElementsAreArray;
using testing::ExitedWithCode;

namespace {

const char className[] = "the Morrowgate accelerated library";
const char title[] = "hola! gl abierta!";

// The calls to the system, without OpenGL's: what the GL state means is
// checked on screen, pixel by pixel (tests/display).
std::vector<std::string> systemCalls(std::size_t from)
{
    std::vector<std::string> calls;
    for (const std::string& call : fake::texts(from)) {
        if (call.compare(0, 2, "gl") != 0)
            calls.push_back(call);
    }
    return calls;
}

void registerAndOpen(GlWindow& window, bool fullscreen)
{
    ASSERT_EQ(window.registerClass(), 0);
    if (fullscreen)
        window.setFullscreen();
    ASSERT_EQ(window.open(800, 600, 16, title), 0);
}

void expectNothingLeft()
{
    EXPECT_EQ(fake::windowCount(), 0u);
    EXPECT_EQ(fake::contextCount(), 0u);
    EXPECT_EQ(fake::currentContext(), nullptr);
    EXPECT_FALSE(fake::displayChanged());
    EXPECT_EQ(fake::cursorCounter(), 0);
}

} // namespace

TEST(GlWindowRegisterClass, FirstRegistrationFillsTheClassRecordAndTheFields)
{
    inFreshProcess([] {
        GlWindow window;
        window.setFullscreen();
        EXPECT_EQ(window.registerClass(), 0);
        EXPECT_THAT(fake::texts(),
                    ElementsAre("GetModuleHandleA(NULL)", "LoadIconA(NULL, #32517)", "LoadCursorA(NULL, #32512)",
                                std::string("RegisterClassA(0x23, proc, 0, 0, instance, icon, cursor, "
                                            "NULL, NULL, ") +
                                    className + ")"));
        EXPECT_EQ(fake::lastWindowClass().lpfnWndProc, &windowProc);
        EXPECT_TRUE(fake::classRegistered(className));
        EXPECT_FALSE(window.fullscreen); // a setFullscreen before registering does not count
        EXPECT_FALSE(window.isOpen);
        EXPECT_EQ(window.glContext, nullptr);
        EXPECT_EQ(window.depthBits, 16);
        EXPECT_EQ(window.instance, GetModuleHandleA(NULL));
    });
}

TEST(GlWindowRegisterClass, RefusedRegistrationReturns1AndCanBeTriedAgain)
{
    inFreshProcess([] {
        GlWindow window;
        window.setFullscreen();
        fake::fail("RegisterClassA", 1);
        EXPECT_EQ(window.registerClass(), 1);
        EXPECT_EQ(window.instance, GetModuleHandleA(NULL));
        EXPECT_TRUE(window.fullscreen); // untouched by the failure
        EXPECT_EQ(window.registerClass(), 0);
        EXPECT_TRUE(fake::classRegistered(className));
    });
}

TEST(GlWindowRegisterClass, ASecondRegistrationReturns2AndDoesNothingEvenAfterShutdown)
{
    inFreshProcess([] {
        GlWindow first;
        ASSERT_EQ(first.registerClass(), 0);
        GlWindow second;
        second.setFullscreen();
        const std::size_t mark = fake::calls().size();
        EXPECT_EQ(second.registerClass(), 2);
        EXPECT_TRUE(second.fullscreen);
        EXPECT_EQ(fake::calls().size(), mark);

        EXPECT_EQ(first.shutdown(), 0);
        EXPECT_FALSE(fake::classRegistered(className));
        EXPECT_EQ(first.registerClass(), 2);
        EXPECT_FALSE(fake::classRegistered(className));
    });
}

TEST(GlWindowOpen, ArgumentChecksComeFirstInTheirOrderAndCallNothing)
{
    fake::reset();
    GlWindow window;
    EXPECT_EQ(window.open(800, 600, 15, title), 10);
    EXPECT_EQ(window.open(0, 600, 8, title), 10); // colour depth is looked at before size
    EXPECT_EQ(window.open(0, 600, 16, title), 11);
    EXPECT_EQ(window.open(800, -1, 32, title), 11);
    window.isOpen = true;
    EXPECT_EQ(window.open(0, 0, 8, title), 9);
    EXPECT_TRUE(fake::calls().empty());
    window.isOpen = false;
}

TEST(GlWindowOpen, WindowedOpenMakesAnOverlappedWindowWithAnExact800x600ClientArea)
{
    inFreshProcess([] {
        GlWindow window;
        ASSERT_EQ(window.registerClass(), 0);
        const std::size_t mark = fake::calls().size();
        ASSERT_EQ(window.open(800, 600, 16, title), 0);
        EXPECT_THAT(systemCalls(mark),
                    ElementsAre("AdjustWindowRectEx(0xcf0000, FALSE, 0x40100)",
                                std::string("CreateWindowExA(0x40100, ") + className + ", " + title +
                                    ", 0x6cf0000, -2147483648, -2147483648, 816, 639, NULL, NULL, instance, NULL)",
                                "GetDC(hwnd1)", "ChoosePixelFormat(hdc1, 40, 1, 0x25, 0, 16, 16)",
                                "SetPixelFormat(hdc1, 1, 40, 1, 0x25, 0, 16, 16)", "wglCreateContext(hdc1)",
                                "wglMakeCurrent(hdc1, hglrc1)", "wglGetProcAddress(wglSwapIntervalEXT)",
                                "wglSwapIntervalEXT(1)", "ShowWindow(hwnd1, 5)", "SetForegroundWindow(hwnd1)",
                                "SetFocus(hwnd1)"));

        RECT client;
        ASSERT_TRUE(GetClientRect(window.windowHandle, &client));
        EXPECT_EQ(client.right - client.left, 800);
        EXPECT_EQ(client.bottom - client.top, 600);

        PIXELFORMATDESCRIPTOR descriptor;
        std::memset(&descriptor, 0, sizeof descriptor);
        descriptor.nSize = 40;
        descriptor.nVersion = 1;
        descriptor.dwFlags = 0x25;
        descriptor.cColorBits = 16;
        descriptor.cDepthBits = 16;
        EXPECT_EQ(std::memcmp(&descriptor, &fake::lastPixelFormat(), sizeof descriptor), 0);

        EXPECT_TRUE(window.isOpen);
        EXPECT_EQ(window.width, 800);
        EXPECT_EQ(window.height, 600);
        EXPECT_TRUE(fake::windowVisible(window.windowHandle));
        EXPECT_EQ(fake::currentContext(), window.glContext);
        EXPECT_FALSE(fake::displayChanged());
    });
}

TEST(GlWindowOpen, AHiddenOpenMakesTheSameContextButNeitherShowsNorFocusesTheWindow)
{
    inFreshProcess([] {
        GlWindow window;
        window.setHidden();
        ASSERT_EQ(window.registerClass(), 0);
        ASSERT_EQ(window.open(800, 600, 16, title), 0);
        EXPECT_EQ(fake::count("ShowWindow") + fake::count("SetForegroundWindow") + fake::count("SetFocus"), 0u);
        EXPECT_FALSE(fake::windowVisible(window.windowHandle));
        EXPECT_EQ(fake::currentContext(), window.glContext);
        EXPECT_EQ(fake::count("glOrtho"), 1u) << "the same drawing state as a shown window";
    });
}

TEST(GlWindowOpen, FullscreenOpenSwitchesTheModeHidesTheCursorAndMakesABorderlessWindow)
{
    inFreshProcess([] {
        GlWindow window;
        ASSERT_EQ(window.registerClass(), 0);
        window.setFullscreen();
        const std::size_t mark = fake::calls().size();
        ASSERT_EQ(window.open(800, 600, 16, title), 0);
        const std::vector<std::string> calls = fake::texts(mark);
        ASSERT_GE(calls.size(), 6u);
        EXPECT_THAT(std::vector<std::string>(calls.begin(), calls.begin() + 6),
                    ElementsAre("ChangeDisplaySettingsA(148, 0x1c0000, 16, 800, 600, 0x4)", "GetSystemMetrics(0)",
                                "GetSystemMetrics(1)", "ShowCursor(FALSE)",
                                "AdjustWindowRectEx(0x80000000, FALSE, 0x40000)",
                                std::string("CreateWindowExA(0x40000, ") + className + ", " + title +
                                    ", 0x86000000, 0, 0, 800, 600, NULL, NULL, instance, NULL)"));

        DEVMODEA mode;
        std::memset(&mode, 0, sizeof mode);
        mode.dmSize = 148;
        mode.dmFields = DM_BITSPERPEL | DM_PELSWIDTH | DM_PELSHEIGHT;
        mode.dmBitsPerPel = 16;
        mode.dmPelsWidth = 800;
        mode.dmPelsHeight = 600;
        EXPECT_EQ(std::memcmp(&mode, &fake::lastDisplayMode(), sizeof mode), 0);
        EXPECT_EQ(fake::displayMode().width, 800);
        EXPECT_EQ(fake::displayMode().height, 600);
        EXPECT_EQ(fake::displayMode().bits, 16);
        EXPECT_EQ(fake::cursorCounter(), -1);
    });
}

// Displays without the 16-bit mode, or without the size at all, still show
// the picture; only a refusal for another reason is an error.
TEST(GlWindowOpen, AMissingModeFallsBackToTheDesktopsDepthThenToTheDesktopScaled)
{
    inFreshProcess([] {
        GlWindow window;
        ASSERT_EQ(window.registerClass(), 0);
        window.setFullscreen();

        fake::offerModes({1280, 720, 32}, {{800, 600, 32}, {1280, 720, 32}});
        std::size_t mark = fake::calls().size();
        ASSERT_EQ(window.open(800, 600, 16, title), 0);
        const std::vector<std::string> first = fake::texts(mark);
        ASSERT_GE(first.size(), 2u);
        EXPECT_THAT(std::vector<std::string>(first.begin(), first.begin() + 2),
                    ElementsAre("ChangeDisplaySettingsA(148, 0x1c0000, 16, 800, 600, 0x4)",
                                "ChangeDisplaySettingsA(148, 0x180000, 0, 800, 600, 0x4)"));
        EXPECT_EQ(fake::displayMode().bits, 32);
        EXPECT_EQ(window.viewport.width, 800);
        ASSERT_EQ(window.close(), 0);

        // A wide desktop without the size: the window covers it and the 4:3
        // picture is drawn at its height, centred between black bars.
        fake::offerModes({1280, 720, 32}, {{1280, 720, 32}});
        mark = fake::calls().size();
        ASSERT_EQ(window.open(800, 600, 16, title), 0);
        const std::vector<std::string> calls = fake::texts(mark);
        EXPECT_THAT(calls, testing::Contains(std::string("CreateWindowExA(0x40000, ") + className + ", " + title +
                                             ", 0x86000000, 0, 0, 1280, 720, NULL, NULL, instance, NULL)"));
        EXPECT_THAT(calls, testing::Contains("glViewport(160, 0, 960, 720)"));
        EXPECT_THAT(calls, testing::Contains("glOrtho(0, 800, 0, 600, -1, 10)"))
            << "the presentation keeps drawing in its own coordinates";
        EXPECT_FALSE(fake::displayChanged());
        EXPECT_EQ(fake::cursorCounter(), -1);
        EXPECT_EQ(window.width, 800);
        ASSERT_EQ(window.close(), 0);
        expectNothingLeft();
    });
}

// A mode taken but shown at another size (XWayland's emulation, a driver
// that lies) is given back, and the picture scaled to the desktop.
TEST(GlWindowOpen, AModeThatComesOutAtAnotherSizeIsGivenBackForTheDesktopScaled)
{
    inFreshProcess([] {
        GlWindow window;
        ASSERT_EQ(window.registerClass(), 0);
        window.setFullscreen();
        for (const fake::DisplayMode shown : {fake::DisplayMode{800, 480, 16}, fake::DisplayMode{800, 768, 16}}) {
            fake::offerModes({1280, 720, 32}, {{800, 600, 16}, {1280, 720, 32}});
            fake::showModesAt(shown.width, shown.height);
            const std::size_t mark = fake::calls().size();
            ASSERT_EQ(window.open(800, 600, 16, title), 0);
            const std::vector<std::string> calls = fake::texts(mark);
            EXPECT_THAT(calls, testing::Contains("ChangeDisplaySettingsA(NULL, 0x0)")) << shown.height;
            EXPECT_THAT(calls, testing::Contains("glViewport(160, 0, 960, 720)")) << shown.height;
            EXPECT_FALSE(fake::displayChanged());
            ASSERT_EQ(window.close(), 0);
        }
        expectNothingLeft();
    });
}

TEST(GlWindowOpen, ADisplayThatRefusesForAnotherReasonReturns1WithNothingToUndo)
{
    inFreshProcess([] {
        GlWindow window;
        ASSERT_EQ(window.registerClass(), 0);
        window.setFullscreen();
        std::size_t mark = fake::calls().size();
        fake::fail("ChangeDisplaySettingsA", 1);
        EXPECT_EQ(window.open(800, 600, 16, title), 1);
        EXPECT_THAT(fake::names(mark), ElementsAre("ChangeDisplaySettingsA"));

        // The request at the desktop's depth fails too, other than for the mode.
        fake::offerModes({1024, 768, 32}, {{800, 600, 32}});
        fake::fail("ChangeDisplaySettingsA", 1, 1);
        mark = fake::calls().size();
        EXPECT_EQ(window.open(800, 600, 16, title), 1);
        EXPECT_THAT(fake::names(mark), ElementsAre("ChangeDisplaySettingsA", "ChangeDisplaySettingsA"));
        EXPECT_FALSE(window.isOpen);
        expectNothingLeft();
    });
}

struct FailingStep {
    const char* call;
    int32_t code;
    std::vector<std::string> undo; // after the display and cursor, for a full-screen window
};

void PrintTo(const FailingStep& step, std::ostream* out)
{
    *out << step.call;
}

class GlWindowOpenUndo : public testing::TestWithParam<std::tuple<FailingStep, bool>> {};

TEST_P(GlWindowOpenUndo, AFailingStepIsUndoneInClosesOrderAndTheWindowCanOpenLater)
{
    inFreshProcess([] {
        const FailingStep& step = std::get<0>(GetParam());
        const bool fullscreen = std::get<1>(GetParam());
        GlWindow window;
        ASSERT_EQ(window.registerClass(), 0);
        if (fullscreen)
            window.setFullscreen();
        fake::fail(step.call, 1);
        EXPECT_EQ(window.open(800, 600, 16, title), step.code);

        std::size_t failed = 0;
        while (failed < fake::calls().size() && !fake::calls()[failed].failed)
            ++failed;
        ASSERT_LT(failed, fake::calls().size());
        std::vector<std::string> expected;
        if (fullscreen)
            expected = {"ChangeDisplaySettingsA(NULL, 0x0)", "ShowCursor(TRUE)"};
        expected = joined(expected, step.undo);
        EXPECT_THAT(fake::texts(failed + 1), ElementsAreArray(expected));
        EXPECT_FALSE(window.isOpen);
        EXPECT_EQ(window.glContext, nullptr);
        expectNothingLeft();

        EXPECT_EQ(window.open(800, 600, 16, title), 0);
        EXPECT_TRUE(window.isOpen);
    });
}

INSTANTIATE_TEST_SUITE_P(
    EveryStep, GlWindowOpenUndo,
    testing::Combine(
        testing::Values(FailingStep{"CreateWindowExA", 2, {}}, FailingStep{"GetDC", 3, {"DestroyWindow(hwnd1)"}},
                        FailingStep{"ChoosePixelFormat", 4, {"ReleaseDC(hwnd1, hdc1)", "DestroyWindow(hwnd1)"}},
                        FailingStep{"SetPixelFormat", 5, {"ReleaseDC(hwnd1, hdc1)", "DestroyWindow(hwnd1)"}},
                        FailingStep{"wglCreateContext", 6, {"ReleaseDC(hwnd1, hdc1)", "DestroyWindow(hwnd1)"}},
                        FailingStep{"wglMakeCurrent",
                                    7,
                                    {"wglMakeCurrent(NULL, NULL)", "wglDeleteContext(hglrc1)", "ReleaseDC(hwnd1, hdc1)",
                                     "DestroyWindow(hwnd1)"}}),
        testing::Bool()),
    [](const testing::TestParamInfo<GlWindowOpenUndo::ParamType>& info) {
        return std::string(std::get<0>(info.param).call) + (std::get<1>(info.param) ? "Fullscreen" : "Windowed");
    });

TEST(GlWindowClose, ClosingAClosedWindowReturns5AndCallsNothing)
{
    fake::reset();
    GlWindow window;
    EXPECT_EQ(window.close(), 5);
    EXPECT_TRUE(fake::calls().empty());
}

TEST(GlWindowClose, CloseRestoresTheDisplayAndTearsDownInOrderThenTheWindowCanOpenAgain)
{
    inFreshProcess([] {
        GlWindow window;
        registerAndOpen(window, true);
        const std::size_t mark = fake::calls().size();
        EXPECT_EQ(window.close(), 0);
        EXPECT_THAT(fake::texts(mark),
                    ElementsAre("ChangeDisplaySettingsA(NULL, 0x0)", "ShowCursor(TRUE)", "wglMakeCurrent(NULL, NULL)",
                                "wglDeleteContext(hglrc1)", "ReleaseDC(hwnd1, hdc1)", "DestroyWindow(hwnd1)"));
        EXPECT_FALSE(window.isOpen);
        EXPECT_EQ(window.glContext, nullptr);
        expectNothingLeft();

        EXPECT_EQ(window.close(), 5);
        EXPECT_EQ(window.open(800, 600, 32, title), 0);
        EXPECT_EQ(fake::displayMode().bits, 32);
        EXPECT_TRUE(fake::windowExists(window.windowHandle));
    });
}

TEST(GlWindowClose, TheFullscreenFlagCountsWhenClosingNotWhenOpening)
{
    inFreshProcess([] {
        GlWindow window;
        registerAndOpen(window, false);
        window.setFullscreen();
        const std::size_t mark = fake::calls().size();
        EXPECT_EQ(window.close(), 0);
        EXPECT_EQ(fake::texts(mark).front(), "ChangeDisplaySettingsA(NULL, 0x0)");
    });
}

struct FailingCloseStep {
    const char* call;
    int32_t code;
    std::vector<std::string> retry;
};

void PrintTo(const FailingCloseStep& step, std::ostream* out)
{
    *out << step.call;
}

class GlWindowCloseFailure : public testing::TestWithParam<FailingCloseStep> {};

TEST_P(GlWindowCloseFailure, AFailingStepLeavesTheWindowOpenAndARetryFinishesTheRest)
{
    inFreshProcess([] {
        const FailingCloseStep& step = GetParam();
        GlWindow window;
        registerAndOpen(window, false);
        fake::fail(step.call, 1);
        EXPECT_EQ(window.close(), step.code);
        EXPECT_TRUE(window.isOpen);
        const std::size_t mark = fake::calls().size();
        EXPECT_EQ(window.close(), 0);
        EXPECT_THAT(fake::texts(mark), ElementsAreArray(step.retry));
        EXPECT_FALSE(window.isOpen);
        EXPECT_EQ(fake::contextCount(), 0u);
    });
}

INSTANTIATE_TEST_SUITE_P(EveryStep, GlWindowCloseFailure,
                         testing::Values(FailingCloseStep{"wglMakeCurrent",
                                                          1,
                                                          {"wglMakeCurrent(NULL, NULL)", "wglDeleteContext(hglrc1)",
                                                           "ReleaseDC(hwnd1, hdc1)", "DestroyWindow(hwnd1)"}},
                                         FailingCloseStep{"wglDeleteContext",
                                                          2,
                                                          {"wglMakeCurrent(NULL, NULL)", "wglDeleteContext(hglrc1)",
                                                           "ReleaseDC(hwnd1, hdc1)", "DestroyWindow(hwnd1)"}},
                                         // A device context already given back is not given back twice.
                                         FailingCloseStep{"ReleaseDC", 3, {"DestroyWindow(hwnd1)"}},
                                         FailingCloseStep{"DestroyWindow", 4, {}}),
                         [](const testing::TestParamInfo<FailingCloseStep>& info) {
                             return std::string(info.param.call);
                         });

TEST(GlWindowShutdown, ShutdownClosesAnOpenWindowThenUnregistersTheClass)
{
    inFreshProcess([] {
        GlWindow window;
        registerAndOpen(window, true);
        const std::size_t mark = fake::calls().size();
        EXPECT_EQ(window.shutdown(), 0);
        EXPECT_THAT(fake::names(mark),
                    ElementsAre("ChangeDisplaySettingsA", "ShowCursor", "wglMakeCurrent", "wglDeleteContext",
                                "ReleaseDC", "DestroyWindow", "UnregisterClassA"));
        EXPECT_EQ(fake::texts().back(), std::string("UnregisterClassA(") + className + ", instance)");
        EXPECT_FALSE(fake::classRegistered(className));
        expectNothingLeft();
    });
}

TEST(GlWindowShutdown, AFailedUnregisterReturns1AndForgetsTheInstance)
{
    inFreshProcess([] {
        GlWindow window;
        ASSERT_EQ(window.registerClass(), 0);
        fake::fail("UnregisterClassA", 1);
        EXPECT_EQ(window.shutdown(), 1);
        EXPECT_EQ(window.instance, nullptr);
    });
}

TEST(GlWindowDestructor, DestroyingAnOpenWindowClosesItAndUnregistersTheClass)
{
    inFreshProcess([] {
        {
            GlWindow window;
            registerAndOpen(window, true);
        }
        EXPECT_EQ(fake::names().back(), "UnregisterClassA");
        EXPECT_FALSE(fake::classRegistered(className));
        expectNothingLeft();
    });
}

TEST(GlWindowPresent, PresentingAClosedWindowReturns1WithoutSwapping)
{
    fake::reset();
    GlWindow window;
    EXPECT_EQ(window.present(), 1);
    EXPECT_TRUE(fake::calls().empty());
}

TEST(GlWindowPresent, EachPresentSwapsAndHandlesAtMostOneMessage)
{
    inFreshProcess([] {
        GlWindow window;
        registerAndOpen(window, false);
        Keyboard keyboard;
        for (WPARAM key : {VK_LEFT, VK_UP, VK_RIGHT})
            fake::pressKey(key);
        const std::size_t mark = fake::calls().size();
        EXPECT_EQ(window.present(), 0);
        EXPECT_THAT(fake::names(mark),
                    ElementsAre("SwapBuffers", "PeekMessageA", "GetMessageA", "TranslateMessage", "DispatchMessageA"));
        EXPECT_EQ(fake::texts(mark)[1], "PeekMessageA(NULL, 0, 0, 0x0)");
        EXPECT_EQ(keyboard.isDown(VK_LEFT), 1);
        EXPECT_EQ(keyboard.isDown(VK_UP), 0);
        EXPECT_EQ(window.present(), 0);
        EXPECT_EQ(keyboard.isDown(VK_UP), 1);
        EXPECT_EQ(keyboard.isDown(VK_RIGHT), 0);
        EXPECT_EQ(window.present(), 0);
        EXPECT_EQ(keyboard.isDown(VK_RIGHT), 1);

        const std::size_t idle = fake::calls().size();
        EXPECT_EQ(window.present(), 0);
        EXPECT_THAT(fake::texts(idle), ElementsAre("SwapBuffers(hdc1)", "PeekMessageA(NULL, 0, 0, 0x0)"));
        EXPECT_EQ(fake::swapCount(), 4);
    });
}

TEST(GlWindowPresent, AnEscapePressReachesTheKeyboardThroughPresent)
{
    inFreshProcess([] {
        GlWindow window;
        registerAndOpen(window, true);
        Keyboard keyboard;
        fake::onSwapBuffers([](int swap) {
            if (swap == 3)
                fake::pressKey(VK_ESCAPE);
        });
        int frames = 0;
        while (!keyboard.isDown(27) && frames < 10) {
            window.present();
            ++frames;
        }
        EXPECT_EQ(frames, 3);
        EXPECT_EQ(keyboard.isDown(27 + 256), 1);
    });
}

TEST(GlWindowPresent, AGetMessageErrorDispatchesNothingAndLeavesTheMessageQueued)
{
    inFreshProcess([] {
        GlWindow window;
        registerAndOpen(window, false);
        Keyboard keyboard;
        fake::pressKey(VK_F1);
        fake::fail("GetMessageA", 1);
        EXPECT_EQ(window.present(), 0);
        EXPECT_EQ(fake::count("DispatchMessageA"), 0u);
        EXPECT_EQ(keyboard.isDown(VK_F1), 0);
        EXPECT_EQ(window.present(), 0);
        EXPECT_EQ(keyboard.isDown(VK_F1), 1);
    });
}

// Prints the calls made after the quit message was taken, once the process
// ends, so that the parent can check the teardown.
std::size_t quitMark = 0;

void printCallsAfterQuit()
{
    std::string line = "after quit:";
    for (const std::string& name : fake::names(quitMark))
        line += " " + name;
    std::fprintf(stderr, "%s; windows %zu; display %s; cursor %d; class %s\n", line.c_str(), fake::windowCount(),
                 fake::displayChanged() ? "changed" : "restored", fake::cursorCounter(),
                 fake::classRegistered(className) ? "registered" : "gone");
}

void presentUntilQuit(GlWindow& window)
{
    for (int frame = 0; frame < 10; ++frame) {
        quitMark = fake::calls().size() + 3; // after SwapBuffers, PeekMessageA and GetMessageA
        window.present();
    }
}

TEST(GlWindowPresent, ACloseRequestTearsDownAtTheNextPresentAndExitsWith0)
{
    useFreshProcesses();
    EXPECT_EXIT(
        {
            fake::reset();
            GlWindow window;
            registerAndOpen(window, true);
            fake::requestClose();
            std::atexit(printCallsAfterQuit);
            presentUntilQuit(window);
        },
        ExitedWithCode(0),
        "after quit: ChangeDisplaySettingsA ShowCursor wglMakeCurrent wglDeleteContext ReleaseDC DestroyWindow "
        "UnregisterClassA; windows 0; display restored; cursor 0; class gone");
}

TEST(GlWindowPresent, TheExitCodeIs0WhateverTheQuitMessageCarries)
{
    useFreshProcesses();
    EXPECT_EXIT(
        {
            fake::reset();
            GlWindow window;
            registerAndOpen(window, false);
            PostQuitMessage(7);
            presentUntilQuit(window);
        },
        ExitedWithCode(0), "");
}

// The time each present returned at, in the fake's microseconds, when
// drawing frame n costs drawing(n).
std::vector<long long> presentTimes(GlWindow& window, int frames, const std::function<long long(int)>& drawing)
{
    std::vector<long long> times;
    for (int frame = 0; frame < frames; ++frame) {
        fake::setSwapMicroseconds(drawing(frame));
        window.present();
        times.push_back(fake::clockMicroseconds());
    }
    return times;
}

// Any 60 frames in a row take one second, give or take the millisecond the
// system's sleep rounds to.
void expectSixtyASecond(const std::vector<long long>& times)
{
    for (std::size_t i = 60; i < times.size(); ++i) {
        EXPECT_NEAR(times[i] - times[i - 60], 1000000, 1000) << "frames " << i - 60 << " to " << i;
    }
}

TEST(GlWindowPacing, QuickFramesAreHeldToSixtyASecondAndSlowOnesAreNotHurried)
{
    inFreshProcess([] {
        GlWindow window;
        registerAndOpen(window, true);
        EXPECT_EQ(fake::raisedTimerPeriods(), 1) << "millisecond sleeps while the window is open";
        expectSixtyASecond(presentTimes(window, 150, [](int) { return 2000; }));
        // One frame in two over budget: the next catches up, the rate holds.
        expectSixtyASecond(presentTimes(window, 150, [](int frame) { return frame % 2 ? 25000 : 0; }));

        const std::vector<long long> slow = presentTimes(window, 10, [](int) { return 40000; });
        for (std::size_t i = 1; i < slow.size(); ++i)
            EXPECT_EQ(slow[i] - slow[i - 1], 40000) << "a slow frame waits for nothing";

        window.framePacer.enabled = false;
        const std::vector<long long> free = presentTimes(window, 10, [](int) { return 1000; });
        EXPECT_EQ(free.back() - free.front(), 9000);
        ASSERT_EQ(window.close(), 0);
        EXPECT_EQ(fake::raisedTimerPeriods(), 0);
    });
}

TEST(Letterbox, KeepsTheShapeAndCentresThePicture)
{
    struct Case {
        int screenWidth, screenHeight;
        int x, y, width, height;
    };
    const Case cases[] = {
        {1024, 768, 0, 0, 1024, 768},                                   // 4:3 fills exactly, no one-pixel bar
        {1280, 720, 160, 0, 960, 720},                                  // wider: bars at the sides
        {1280, 1024, 0, 32, 1280, 960},                                 // taller: bars above and below
        {800, 600, 0, 0, 800, 600},     {1366, 768, 171, 0, 1024, 768}, // odd margin: the extra pixel goes right
    };
    for (const Case& c : cases) {
        Letterbox box = Letterbox::fit(800, 600, c.screenWidth, c.screenHeight);
        EXPECT_EQ(box.x, c.x) << c.screenWidth << "x" << c.screenHeight;
        EXPECT_EQ(box.y, c.y) << c.screenWidth << "x" << c.screenHeight;
        EXPECT_EQ(box.width, c.width) << c.screenWidth << "x" << c.screenHeight;
        EXPECT_EQ(box.height, c.height) << c.screenWidth << "x" << c.screenHeight;
    }
    Letterbox empty = Letterbox::fit(0, 600, 1024, 768);
    EXPECT_EQ(empty.width, 1024) << "a degenerate picture covers the screen rather than dividing by zero";
}
