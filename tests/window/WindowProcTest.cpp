#include "qorx/window/WindowProc.h"

#include "FreshProcess.h"
#include "qorx/window/ErrorReporter.h"
#include "qorx/window/KeyStateTable.h"
#include "qorx/window/Keyboard.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

using testing::ElementsAre;
using testing::ExitedWithCode;

namespace {

// A window of a class of the test's own, with the library's procedure.
HWND makeWindow()
{
    fake::reset();
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = windowProc;
    windowClass.lpszClassName = "window procedure test";
    RegisterClassA(&windowClass);
    return CreateWindowExA(0, "window procedure test", "", WS_POPUP, 0, 0, 10, 10, NULL, NULL, NULL, NULL);
}

std::vector<unsigned char> keyTable()
{
    return std::vector<unsigned char>(KeyStateTable, KeyStateTable + 256);
}

} // namespace

TEST(KeyStateTable, EveryKeyIsUpWhenTheProcessStarts)
{
    inFreshProcess([] {
        Keyboard keyboard;
        for (int32_t key = -512; key < 512; ++key)
            EXPECT_EQ(keyboard.isDown(key), 0) << key;
    });
}

TEST(WindowProc, KeyDownAndKeyUpSetAndClearTheFlagOfTheLow8Bits)
{
    const HWND window = makeWindow();
    Keyboard keyboard;
    Keyboard other;
    EXPECT_EQ(windowProc(window, WM_KEYDOWN, VK_ESCAPE, 1), 0);
    EXPECT_EQ(keyboard.isDown(27), 1);
    EXPECT_EQ(keyboard.isDown(27 + 256), 1);
    EXPECT_EQ(keyboard.isDown(27 - 256), 1);
    EXPECT_EQ(other.isDown(27), 1);

    windowProc(window, WM_KEYDOWN, VK_ESCAPE, 0x40000001); // auto-repeat
    EXPECT_EQ(keyboard.isDown(27), 1);
    EXPECT_EQ(windowProc(window, WM_KEYUP, VK_ESCAPE, static_cast<LPARAM>(0xC0000001u)), 0);
    EXPECT_EQ(keyboard.isDown(27), 0);

    windowProc(window, WM_KEYDOWN, 0x100 + 'Q', 1); // a code above 255 wraps round
    EXPECT_EQ(keyboard.isDown('Q'), 1);
    windowProc(window, WM_KEYUP, 'Q', 1);
    EXPECT_EQ(keyboard.isDown('Q'), 0);

    // Codes of 128 and above (punctuation, the OEM keys) have flags of their own.
    windowProc(window, WM_KEYDOWN, 0xBA, 1);
    EXPECT_EQ(keyboard.isDown(0xBA), 1);
    EXPECT_EQ(keyboard.isDown(0xBA - 0x80), 0);
    windowProc(window, WM_KEYUP, 0xBA, 1);
    EXPECT_EQ(keyboard.isDown(0xBA), 0);
    EXPECT_EQ(fake::count("DefWindowProcA"), 0u);
}

TEST(WindowProc, AltCombinationsF10AndCharactersGoToTheDefaultProcedureAndLeaveTheTableAlone)
{
    const HWND window = makeWindow();
    const std::vector<unsigned char> before = keyTable();
    const std::size_t mark = fake::calls().size();
    windowProc(window, WM_SYSKEYDOWN, VK_F10, 1);
    windowProc(window, WM_SYSKEYUP, VK_F10, 1);
    windowProc(window, WM_SYSKEYDOWN, 'X', 0x20000001);
    windowProc(window, WM_SYSCHAR, 'x', 0x20000001);
    windowProc(window, WM_CHAR, 'a', 1);
    EXPECT_EQ(keyTable(), before);
    EXPECT_THAT(fake::texts(mark),
                ElementsAre("DefWindowProcA(hwnd1, 0x104, 0x79, 0x1)", "DefWindowProcA(hwnd1, 0x105, 0x79, 0x1)",
                            "DefWindowProcA(hwnd1, 0x104, 0x58, 0x20000001)",
                            "DefWindowProcA(hwnd1, 0x106, 0x78, 0x20000001)",
                            "DefWindowProcA(hwnd1, 0x102, 0x61, 0x1)"));
}

TEST(WindowProc, SizeAndActivationAreSwallowed)
{
    const HWND window = makeWindow();
    const std::size_t mark = fake::calls().size();
    EXPECT_EQ(windowProc(window, WM_SIZE, 0, (300 << 16) | 400), 0);
    EXPECT_EQ(windowProc(window, WM_ACTIVATE, 1, 0), 0);
    EXPECT_EQ(fake::calls().size(), mark);
}

TEST(WindowProc, ScreenSaverAndMonitorPowerAreRefusedAndOtherSystemCommandsPassedOn)
{
    const HWND window = makeWindow();
    const std::size_t mark = fake::calls().size();
    EXPECT_EQ(windowProc(window, WM_SYSCOMMAND, SC_SCREENSAVE, 0), 0);
    EXPECT_EQ(windowProc(window, WM_SYSCOMMAND, SC_MONITORPOWER, 2), 0);
    EXPECT_EQ(fake::calls().size(), mark);

    windowProc(window, WM_SYSCOMMAND, SC_SCREENSAVE | 1, 0); // the whole wParam counts
    windowProc(window, WM_SYSCOMMAND, 0xF020, 0);            // minimise
    windowProc(window, WM_NULL, 5, 6);
    EXPECT_THAT(fake::texts(mark),
                ElementsAre("DefWindowProcA(hwnd1, 0x112, 0xf141, 0x0)", "DefWindowProcA(hwnd1, 0x112, 0xf020, 0x0)",
                            "DefWindowProcA(hwnd1, 0x0, 0x5, 0x6)"));
}

TEST(WindowProc, ADesktopCloseBecomesAQuitMessageWith0AndTheWindowStays)
{
    const HWND window = makeWindow();
    fake::requestClose();
    MSG msg;
    ASSERT_TRUE(GetMessageA(&msg, NULL, 0, 0));
    const std::size_t mark = fake::calls().size();
    EXPECT_EQ(DispatchMessageA(&msg), 0);
    EXPECT_THAT(fake::names(mark), ElementsAre("DispatchMessageA", "DefWindowProcA", "PostQuitMessage"));
    EXPECT_EQ(fake::texts().back(), "PostQuitMessage(0)");
    EXPECT_TRUE(fake::windowExists(window));

    ASSERT_EQ(GetMessageA(&msg, NULL, 0, 0), 0);
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_QUIT));
    EXPECT_EQ(msg.wParam, 0u);
}

TEST(ErrorReporter, FatalErrorShowsAWarningBoxWithoutOwnerAndExitsWithMinus1)
{
    useFreshProcesses();
    ErrorReporter reporter;
    EXPECT_EXIT(reporter.fatalError("Error iniciando modo de video"), ExitedWithCode(255),
                "MessageBoxA: \\[Qorx - ERROR!\\] Error iniciando modo de video \\(owner NULL, flags 0x30\\)");
}
