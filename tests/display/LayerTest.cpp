// The SDL2 layer on its own, through the Win32 calls, in a real X server.
#include "display/XProbe.h"

#include <windows.h>

#include <GL/gl.h>
#include <SDL.h>
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace {

struct Received {
    UINT message;
    WPARAM wParam;
};

std::vector<Received>& received()
{
    static std::vector<Received> messages;
    return messages;
}

// Records what reaches it; WM_CLOSE ends like the program's own procedure.
LRESULT CALLBACK recordingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    received().push_back({message, wParam});
    if (message == WM_CLOSE) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

const char className[] = "layer test class";

void registerOnce()
{
    static bool registered = false;
    if (registered)
        return;
    WNDCLASSA windowClass;
    std::memset(&windowClass, 0, sizeof windowClass);
    windowClass.style = CS_OWNDC;
    windowClass.lpfnWndProc = recordingProc;
    windowClass.hInstance = GetModuleHandleA(NULL);
    windowClass.lpszClassName = className;
    ASSERT_NE(RegisterClassA(&windowClass), 0);
    registered = true;
}

PIXELFORMATDESCRIPTOR descriptor(BYTE colorBits, BYTE depthBits)
{
    PIXELFORMATDESCRIPTOR pfd;
    std::memset(&pfd, 0, sizeof pfd);
    pfd.nSize = sizeof pfd;
    pfd.nVersion = 1;
    pfd.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
    pfd.iPixelType = PFD_TYPE_RGBA;
    pfd.cColorBits = colorBits;
    pfd.cDepthBits = depthBits;
    return pfd;
}

// A window with its OpenGL context current, made the way the program makes
// its windowed one.
struct GlTestWindow {
    HWND window = NULL;
    HDC dc = NULL;
    HGLRC context = NULL;

    explicit GlTestWindow(const char* title, int width = 320, int height = 240)
    {
        DWORD style = WS_OVERLAPPEDWINDOW | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
        RECT rect = {0, 0, width, height};
        AdjustWindowRectEx(&rect, style, FALSE, WS_EX_APPWINDOW);
        window =
            CreateWindowExA(WS_EX_APPWINDOW, className, title, style, CW_USEDEFAULT, CW_USEDEFAULT,
                            rect.right - rect.left, rect.bottom - rect.top, NULL, NULL, GetModuleHandleA(NULL), NULL);
        dc = GetDC(window);
        PIXELFORMATDESCRIPTOR pfd = descriptor(32, 16);
        SetPixelFormat(dc, ChoosePixelFormat(dc, &pfd), &pfd);
        context = wglCreateContext(dc);
        wglMakeCurrent(dc, context);
    }
    ~GlTestWindow()
    {
        wglMakeCurrent(NULL, NULL);
        wglDeleteContext(context);
        ReleaseDC(window, dc);
        DestroyWindow(window);
    }
    void show()
    {
        ShowWindow(window, SW_SHOW);
        SetForegroundWindow(window);
        SetFocus(window);
    }
};

void drainQueue()
{
    MSG msg;
    while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE) && msg.message != WM_QUIT) {}
}

// Pumps the queue until a message of this kind comes, for a few seconds at
// most; dispatches everything it takes.
bool waitForMessage(UINT message, MSG* found)
{
    for (int attempt = 0; attempt < 300; ++attempt) {
        MSG msg;
        while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
            if (msg.message == message) {
                *found = msg;
                return true;
            }
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
}

// Pumps the queue until the layer has sent a message of this kind to the
// window procedure, for a few seconds at most.
bool waitForSent(UINT message)
{
    for (int attempt = 0; attempt < 300; ++attempt) {
        MSG msg;
        while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE))
            DispatchMessageA(&msg);
        for (const Received& seen : received()) {
            if (seen.message == message)
                return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
}

class LayerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        registerOnce();
        drainQueue();
        received().clear();
    }
    XProbe probe;
};

// Pumps the probe's questions until the answer is yes, for twenty seconds
// at most.
bool eventually(const std::function<bool()>& condition)
{
    for (int attempt = 0; attempt < 1000; ++attempt) {
        if (condition())
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return condition();
}

// The server's saver is set to start after a second of idleness; a window
// keeps it off however long the program runs without input. First of the
// file's tests: once any client has held the saver off and let it go, Xvfb
// does not start it again.
TEST_F(LayerTest, TheScreenSaverIsHeldOffWhileAWindowExists)
{
    probe.setScreenSaverTimeout(1);
    ASSERT_TRUE(eventually([&] { return probe.screenSaverActive(); })) << "the saver starts when nothing holds it";
    probe.setScreenSaverTimeout(1);
    {
        GlTestWindow gl("screen saver");
        ASSERT_TRUE(eventually([&] { return probe.idleMilliseconds() > 1500; }));
        EXPECT_FALSE(probe.screenSaverActive()) << "idle for longer than the saver's second";
    }
    probe.setScreenSaverTimeout(0);
}

TEST_F(LayerTest, ClassesAreFoundByNameWithoutCaseAndCannotGoWhileTheyHaveWindows)
{
    WNDCLASSA again;
    std::memset(&again, 0, sizeof again);
    again.lpfnWndProc = recordingProc;
    again.hInstance = GetModuleHandleA(NULL);
    again.lpszClassName = "LAYER TEST CLASS";
    EXPECT_EQ(RegisterClassA(&again), 0);

    HWND window = CreateWindowExA(0, "Layer Test Class", "case", WS_POPUP, 0, 0, 10, 10, NULL, NULL,
                                  GetModuleHandleA(NULL), NULL);
    ASSERT_NE(window, (HWND)NULL);
    EXPECT_FALSE(UnregisterClassA(className, GetModuleHandleA(NULL)));
    EXPECT_EQ(
        CreateWindowExA(0, "no such class", "x", WS_POPUP, 0, 0, 10, 10, NULL, NULL, GetModuleHandleA(NULL), NULL),
        (HWND)NULL);
    EXPECT_TRUE(DestroyWindow(window));
    EXPECT_FALSE(DestroyWindow(window)) << "a destroyed window's handle stays dead";

    again.lpszClassName = "second class";
    ASSERT_NE(RegisterClassA(&again), 0);
    EXPECT_TRUE(UnregisterClassA("Second Class", GetModuleHandleA(NULL)));
    EXPECT_FALSE(UnregisterClassA("second class", GetModuleHandleA(NULL)));
}

TEST_F(LayerTest, PostedMessagesComeInOrderBeforeTheQuitRequestAndPeekingLeavesThem)
{
    HWND window =
        CreateWindowExA(0, className, "queue", WS_POPUP, 0, 0, 10, 10, NULL, NULL, GetModuleHandleA(NULL), NULL);
    ASSERT_TRUE(PostMessageA(window, WM_NULL + 0x400, 1, 0));
    PostQuitMessage(7);
    ASSERT_TRUE(PostMessageA(window, WM_NULL + 0x400, 2, 0));

    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, NULL, 0, 0, PM_NOREMOVE));
    EXPECT_EQ(msg.wParam, 1u);
    ASSERT_TRUE(PeekMessageA(&msg, NULL, 0, 0, PM_NOREMOVE));
    EXPECT_EQ(msg.wParam, 1u) << "PM_NOREMOVE left it at the head";

    ASSERT_EQ(GetMessageA(&msg, NULL, 0, 0), TRUE);
    EXPECT_EQ(msg.hwnd, window);
    EXPECT_EQ(DispatchMessageA(&msg), 0);
    ASSERT_EQ(GetMessageA(&msg, NULL, 0, 0), TRUE);
    EXPECT_EQ(msg.wParam, 2u);
    ASSERT_EQ(GetMessageA(&msg, NULL, 0, 0), FALSE);
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_QUIT));
    EXPECT_EQ(msg.wParam, 7u);
    EXPECT_FALSE(PeekMessageA(&msg, NULL, 0, 0, PM_NOREMOVE)) << "the quit request is taken once";

    ASSERT_EQ(received().size(), 2u) << "WM_CREATE, then the dispatched message";
    EXPECT_EQ(received()[0].message, static_cast<UINT>(WM_CREATE));
    EXPECT_EQ(received()[1].wParam, 1u);
    DestroyWindow(window);
}

TEST_F(LayerTest, FiltersPickMessagesByWindowAndRange)
{
    HWND first = CreateWindowExA(0, className, "a", WS_POPUP, 0, 0, 10, 10, NULL, NULL, GetModuleHandleA(NULL), NULL);
    HWND second = CreateWindowExA(0, className, "b", WS_POPUP, 0, 0, 10, 10, NULL, NULL, GetModuleHandleA(NULL), NULL);
    PostMessageA(first, WM_KEYDOWN, 1, 0);
    PostMessageA(second, WM_KEYUP, 2, 0);
    PostMessageA(first, WM_SYSCOMMAND, 3, 0);

    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, second, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 2u);
    ASSERT_TRUE(PeekMessageA(&msg, NULL, WM_SYSCOMMAND, WM_SYSCOMMAND, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 3u);
    ASSERT_TRUE(PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 1u);
    DestroyWindow(first);
    DestroyWindow(second);
    EXPECT_EQ(GetMessageA(&msg, first, 0, 0), -1) << "a dead window as filter is an error";
}

TEST_F(LayerTest, EachThreadHasItsOwnQueueAndPostsToAWindowReachItsThread)
{
    HWND window =
        CreateWindowExA(0, className, "threads", WS_POPUP, 0, 0, 10, 10, NULL, NULL, GetModuleHandleA(NULL), NULL);
    bool workerSawOwnMessage = false;
    bool workerSawQuit = false;
    std::thread worker([&] {
        PostMessageA(NULL, WM_NULL + 0x401, 5, 0);
        PostMessageA(window, WM_NULL + 0x402, 6, 0);
        PostQuitMessage(3);
        MSG msg;
        workerSawOwnMessage = GetMessageA(&msg, NULL, 0, 0) == TRUE && msg.wParam == 5;
        workerSawQuit = GetMessageA(&msg, NULL, 0, 0) == FALSE && msg.wParam == 3;
    });
    worker.join();
    EXPECT_TRUE(workerSawOwnMessage);
    EXPECT_TRUE(workerSawQuit);

    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_NULL + 0x402));
    EXPECT_EQ(msg.hwnd, window);
    EXPECT_FALSE(PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE)) << "the worker's quit stayed on the worker";
    DestroyWindow(window);
}

TEST_F(LayerTest, TheDefaultProcedureTurnsTheCloseCommandIntoWmClose)
{
    HWND window =
        CreateWindowExA(0, className, "close", WS_POPUP, 0, 0, 10, 10, NULL, NULL, GetModuleHandleA(NULL), NULL);
    received().clear();
    EXPECT_EQ(SendMessageA(window, WM_SYSCOMMAND, SC_CLOSE | 0x2, 0), 0) << "the low four bits are ignored";
    ASSERT_EQ(received().size(), 2u);
    EXPECT_EQ(received()[1].message, static_cast<UINT>(WM_CLOSE));
    MSG msg;
    EXPECT_EQ(GetMessageA(&msg, NULL, 0, 0), FALSE) << "our procedure posted the quit";

    // Left to the default procedure, WM_CLOSE destroys the window.
    EXPECT_EQ(DefWindowProcA(window, WM_CLOSE, 0, 0), 0);
    EXPECT_FALSE(DestroyWindow(window));
}

TEST_F(LayerTest, AWindowIsCreatedHiddenWithTheClientAreaAskedFor)
{
    GlTestWindow gl("client area", 800, 600);
    unsigned long xWindow = probe.findWindow("client area");
    ASSERT_NE(xWindow, 0u);
    EXPECT_FALSE(probe.isMapped(xWindow));
    gl.show();
    for (int i = 0; i < 100 && !probe.isMapped(xWindow); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_TRUE(probe.isMapped(xWindow));
    XProbe::Box box = probe.geometry(xWindow);
    EXPECT_EQ(box.width, 800);
    EXPECT_EQ(box.height, 600);
    RECT client;
    ASSERT_TRUE(GetClientRect(gl.window, &client));
    EXPECT_EQ(client.right, 800);
    EXPECT_EQ(client.bottom, 600);
    RECT outer;
    ASSERT_TRUE(GetWindowRect(gl.window, &outer));
    EXPECT_GT(outer.right - outer.left, 800) << "the frame AdjustWindowRectEx added";

    PIXELFORMATDESCRIPTOR pfd = descriptor(32, 16);
    EXPECT_FALSE(SetPixelFormat(gl.dc, ChoosePixelFormat(gl.dc, &pfd), &pfd)) << "set once, as in Win32";
}

TEST_F(LayerTest, TheContextIsDoubleBufferedWithDepthAndRunsOpenGl11)
{
    GlTestWindow gl("context");
    GLboolean doubleBuffered = GL_FALSE;
    glGetBooleanv(GL_DOUBLEBUFFER, &doubleBuffered);
    EXPECT_TRUE(doubleBuffered);
    GLint depthBits = 0;
    glGetIntegerv(GL_DEPTH_BITS, &depthBits);
    EXPECT_GE(depthBits, 16);

    glViewport(0, 0, 320, 240);
    glClearColor(0, 0, 1, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0, 320, 0, 240, -1, 1);
    glBegin(GL_QUADS);
    glColor3f(1, 0, 0);
    glVertex2f(0, 0);
    glVertex2f(160, 0);
    glVertex2f(160, 240);
    glVertex2f(0, 240);
    glEnd();
    unsigned char pixels[2][4];
    glReadPixels(10, 10, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixels[0]);
    glReadPixels(300, 10, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixels[1]);
    EXPECT_EQ(pixels[0][0], 255);
    EXPECT_EQ(pixels[1][2], 255);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));

    HGLRC other = wglCreateContext(gl.dc);
    ASSERT_NE(other, (HGLRC)NULL);
    glReadPixels(10, 10, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixels[0]);
    EXPECT_EQ(pixels[0][0], 255) << "creating a context leaves the current one current";
    EXPECT_TRUE(wglDeleteContext(other));
    EXPECT_FALSE(wglDeleteContext(other));
}

TEST_F(LayerTest, KeysFromTheServerBecomeKeyMessagesWithVirtualKeyCodes)
{
    GlTestWindow gl("keys");
    gl.show();
    unsigned long xWindow = probe.findWindow("keys");
    XProbe::Box box = probe.geometry(xWindow);
    probe.movePointer(box.x + 10, box.y + 10);
    ASSERT_TRUE(waitForSent(WM_ACTIVATE)) << "the window gets the focus";
    MSG msg;

    struct Case {
        const char* keysym;
        UINT down;
        WPARAM code;
    };
    const Case cases[] = {
        {"Escape", WM_KEYDOWN, 27}, {"a", WM_KEYDOWN, 'A'},     {"7", WM_KEYDOWN, '7'},
        {"F1", WM_KEYDOWN, 0x70},   {"Left", WM_KEYDOWN, 0x25}, {"F10", WM_SYSKEYDOWN, 0x79},
    };
    for (const Case& key : cases) {
        probe.tap(key.keysym);
        ASSERT_TRUE(waitForMessage(key.down, &msg)) << key.keysym;
        EXPECT_EQ(msg.wParam, key.code) << key.keysym;
        EXPECT_EQ(msg.hwnd, gl.window);
        ASSERT_TRUE(waitForMessage(key.down + 1, &msg)) << key.keysym << " released";
        EXPECT_EQ(msg.wParam, key.code);
    }

    probe.key("Alt_L", true);
    probe.tap("x");
    probe.key("Alt_L", false);
    ASSERT_TRUE(waitForMessage(WM_SYSKEYDOWN, &msg));
    EXPECT_EQ(msg.wParam, static_cast<WPARAM>(VK_MENU));
    ASSERT_TRUE(waitForMessage(WM_SYSKEYDOWN, &msg));
    EXPECT_EQ(msg.wParam, static_cast<WPARAM>('X')) << "a key with Alt is a system key";
    EXPECT_NE(msg.lParam & (1 << 29), 0) << "with the Alt flag";

    // TranslateMessage made a character of the plain 'a'.
    received().clear();
    probe.tap("a");
    ASSERT_TRUE(waitForMessage(WM_CHAR, &msg));
    EXPECT_EQ(msg.wParam, static_cast<WPARAM>('a'));
}

TEST_F(LayerTest, ACloseRequestFromTheDesktopTakesTheSystemCommandPath)
{
    GlTestWindow gl("close request");
    gl.show();
    unsigned long xWindow = probe.findWindow("close request");
    ASSERT_NE(xWindow, 0u);
    probe.requestClose(xWindow);
    MSG msg;
    ASSERT_TRUE(waitForMessage(WM_SYSCOMMAND, &msg));
    EXPECT_EQ(msg.wParam, static_cast<WPARAM>(SC_CLOSE));
    EXPECT_EQ(msg.hwnd, gl.window);
    ASSERT_GE(received().size(), 2u);
    EXPECT_EQ(received().back().message, static_cast<UINT>(WM_CLOSE)) << "sent by the default procedure";
    EXPECT_EQ(GetMessageA(&msg, NULL, 0, 0), FALSE);

    // Alt+F4, where no window manager takes it, goes the same way.
    received().clear();
    probe.focus(xWindow);
    probe.key("Alt_L", true);
    probe.tap("F4");
    probe.key("Alt_L", false);
    ASSERT_TRUE(waitForMessage(WM_SYSCOMMAND, &msg));
    EXPECT_EQ(msg.wParam, static_cast<WPARAM>(SC_CLOSE));
    EXPECT_EQ(received().back().message, static_cast<UINT>(WM_CLOSE));
}

// The window library asks for vsync through WGL's extension, which acts on
// the context current on the thread. SDL reads back the interval the driver
// ended up with. Mesa's GLX on Xvfb sets none, so there the case skips; its
// EGL does, and the case runs again on EGL (display.cmake).
TEST_F(LayerTest, TheSwapIntervalAskedForReachesTheDriverOfTheCurrentContext)
{
    typedef BOOL(WINAPI * SwapIntervalCall)(int);
    PROC found = wglGetProcAddress("wglSwapIntervalEXT");
    ASSERT_NE(found, nullptr);
    SwapIntervalCall swapInterval = reinterpret_cast<SwapIntervalCall>(reinterpret_cast<void (*)()>(found));
    EXPECT_FALSE(swapInterval(1)) << "no context is current yet";

    GlTestWindow gl("swap interval");
    if (!swapInterval(0))
        GTEST_SKIP() << "the OpenGL driver on this server sets no swap interval: " << SDL_GetError();
    EXPECT_EQ(SDL_GL_GetSwapInterval(), 0);
    EXPECT_TRUE(swapInterval(1));
    EXPECT_EQ(SDL_GL_GetSwapInterval(), 1) << "vsync, as the window library asks";
}

TEST_F(LayerTest, AMessageBoxShowsItsCaptionAndReturnsOk)
{
    std::atomic<int> result{0};
    std::thread box(
        [&] { result = MessageBoxA(NULL, "Error cargando la textura", "Qorx - ERROR!", MB_OK | MB_ICONWARNING); });
    unsigned long xWindow = probe.findWindow("Qorx - ERROR!");
    EXPECT_NE(xWindow, 0u);
    EXPECT_TRUE(eventually([&] { return probe.isMapped(xWindow); }));
    // Return reaches the box once it has the keyboard; a box that never
    // answers fails the test instead of holding it up.
    EXPECT_TRUE(eventually([&] {
        probe.focus(xWindow);
        probe.tap("Return");
        return result.load() != 0;
    }));
    if (result.load() != 0)
        box.join();
    else
        box.detach();
    EXPECT_EQ(result.load(), IDOK);
}

// In a child process of its own: the environment decides what SDL finds.
[[noreturn]] void showWithoutDisplay(const char* namedDriver)
{
    unsetenv("DISPLAY");
    unsetenv("WAYLAND_DISPLAY");
    unsetenv("SDL_VIDEODRIVER");
    if (namedDriver != nullptr)
        setenv("SDL_VIDEODRIVER", namedDriver, 1);
    WNDCLASSA windowClass;
    std::memset(&windowClass, 0, sizeof windowClass);
    windowClass.lpfnWndProc = recordingProc;
    windowClass.lpszClassName = "headless";
    if (RegisterClassA(&windowClass) == 0)
        std::exit(1);
    HWND window = CreateWindowExA(0, "headless", "headless", WS_OVERLAPPEDWINDOW, 0, 0, 64, 48, NULL, NULL, NULL, NULL);
    if (window == NULL)
        std::exit(2);
    ShowWindow(window, SW_SHOW);
    std::exit(0);
}

// A window that is never shown draws off-screen (the recording test checks
// its pixels); one that is shown would be seen by nobody.
TEST(LayerWithoutDisplay, AWindowCanBeMadeButShowingItEndsTheProgramWithOneLine)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(showWithoutDisplay(nullptr), ::testing::ExitedWithCode(255),
                "^qorx: no display to show the window on \\(no X server or Wayland compositor found\\)\n$");
}

TEST(LayerWithoutDisplay, ADriverAskedForByNameIsTakenAsGiven)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(showWithoutDisplay("dummy"), ::testing::ExitedWithCode(0), "^$");
}

} // namespace
