#include "qorx/window/GlWindow.h"

#include "qorx/window/WindowProc.h"

#include <GL/gl.h>

#include <cstdlib>
#include <cstring>

namespace {

const char WindowClassName[] = "the Morrowgate accelerated library";

// The class can be registered once per process: the first successful
// registration clears this, and nothing sets it again, unregistering included.
bool classNotRegistered = true;

// DEVMODEA without its two panning members, as older systems expect it.
const WORD DevModeSizeWithoutPanning = 148;

// The swap interval that waits for one vertical blank.
const int SwapEveryBlank = 1;

typedef BOOL(WINAPI* SwapIntervalCall)(int interval);

// What became of a full-screen request.
enum class DisplaySwitch { Switched, KeptDesktop, Refused };

struct WindowStyle {
    DWORD extended;
    DWORD style;
    int x;
    int y;
};

WindowStyle windowStyleFor(bool fullscreen)
{
    if (fullscreen)
        return {WS_EX_APPWINDOW, WS_POPUP, 0, 0};
    return {WS_EX_APPWINDOW | WS_EX_WINDOWEDGE, WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT};
}

DEVMODEA fullscreenMode(int32_t width, int32_t height, int32_t colorBits)
{
    DEVMODEA mode;
    std::memset(&mode, 0, sizeof mode);
    mode.dmSize = DevModeSizeWithoutPanning;
    mode.dmFields = DM_BITSPERPEL | DM_PELSWIDTH | DM_PELSHEIGHT;
    mode.dmBitsPerPel = static_cast<DWORD>(colorBits);
    mode.dmPelsWidth = static_cast<DWORD>(width);
    mode.dmPelsHeight = static_cast<DWORD>(height);
    return mode;
}

PIXELFORMATDESCRIPTOR pixelFormatFor(int32_t colorBits, int32_t depthBits)
{
    PIXELFORMATDESCRIPTOR descriptor;
    std::memset(&descriptor, 0, sizeof descriptor);
    descriptor.nSize = sizeof descriptor;
    descriptor.nVersion = 1;
    descriptor.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
    descriptor.iPixelType = PFD_TYPE_RGBA;
    descriptor.cColorBits = static_cast<BYTE>(colorBits);
    descriptor.cDepthBits = static_cast<BYTE>(depthBits & 0xFF);
    descriptor.iLayerType = PFD_MAIN_PLANE;
    return descriptor;
}

// A display may take a mode and still show another size: XWayland's modes
// are emulated and its screen keeps the compositor's size, and a driver may
// give the right width with the wrong height. A picture drawn at the mode's
// size would then sit in a corner.
bool screenIs(int32_t width, int32_t height)
{
    return GetSystemMetrics(SM_CXSCREEN) == width && GetSystemMetrics(SM_CYSCREEN) == height;
}

// Many displays have no 16-bit modes at all, and some lack the size too:
// the size at the desktop's depth does as well, and failing that the desktop
// itself, with the picture scaled to it; so does a mode that did not come
// out at its size. Any other refusal is final.
DisplaySwitch switchDisplay(int32_t width, int32_t height, int32_t colorBits)
{
    DEVMODEA mode = fullscreenMode(width, height, colorBits);
    LONG result = ChangeDisplaySettingsA(&mode, CDS_FULLSCREEN);
    if (result == DISP_CHANGE_BADMODE) {
        mode.dmFields &= ~static_cast<DWORD>(DM_BITSPERPEL);
        mode.dmBitsPerPel = 0;
        result = ChangeDisplaySettingsA(&mode, CDS_FULLSCREEN);
        if (result == DISP_CHANGE_BADMODE)
            return DisplaySwitch::KeptDesktop;
    }
    if (result != DISP_CHANGE_SUCCESSFUL)
        return DisplaySwitch::Refused;
    if (screenIs(width, height))
        return DisplaySwitch::Switched;
    ChangeDisplaySettingsA(NULL, 0);
    return DisplaySwitch::KeptDesktop;
}

// Vsync where the driver offers it; the frame pacer caps the rest.
void askForVsync()
{
    const PROC found = wglGetProcAddress("wglSwapIntervalEXT");
    if (found != NULL)
        reinterpret_cast<SwapIntervalCall>(reinterpret_cast<void (*)()>(found))(SwapEveryBlank);
}

// A pixel-exact 2D projection with the origin at the top-left corner of the
// picture and y growing downwards, plus the state every scene draws with.
// OpenGL counts the viewport's rows from the bottom of the window.
void setFixedGlState(int32_t width, int32_t height, const Letterbox& viewport, int windowHeight)
{
    glViewport(viewport.x, windowHeight - viewport.y - viewport.height, viewport.width, viewport.height);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glEnable(GL_TEXTURE_2D);
    glShadeModel(GL_SMOOTH);
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClearDepth(1.0);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glEnable(GL_BLEND);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0.0, width, 0.0, height, -1.0, 10.0);
    glScalef(1.0f, -1.0f, 1.0f);
    glTranslatef(0.0f, static_cast<GLfloat>(-height), 0.0f);
}

void restoreDisplay(const GlWindow& window)
{
    if (!window.fullscreen)
        return;
    ChangeDisplaySettingsA(NULL, 0);
    ShowCursor(TRUE);
}

// Undoes what a failing open has set up so far, in close's order, and returns
// the open's code, one of CreateWindowStep to MakeCurrentStep.
int32_t abandonOpen(GlWindow& window, GlWindow::OpenCode code)
{
    restoreDisplay(window);
    if (code == GlWindow::MakeCurrentStep) {
        wglMakeCurrent(NULL, NULL);
        wglDeleteContext(window.glContext);
    }
    window.glContext = NULL;
    if (code >= GlWindow::ChoosePixelFormatStep)
        ReleaseDC(window.windowHandle, window.deviceContext);
    window.deviceContext = NULL;
    if (code >= GlWindow::GetDcStep)
        DestroyWindow(window.windowHandle);
    window.windowHandle = NULL;
    return code;
}

bool unregisterClass(GlWindow& window)
{
    if (UnregisterClassA(WindowClassName, window.instance))
        return true;
    window.instance = NULL;
    return false;
}

[[noreturn]] void endOnQuit(GlWindow& window)
{
    if (window.isOpen)
        window.close();
    unregisterClass(window);
    std::exit(0);
}

} // namespace

// Every field gets the value registerClass gives it, so that a window whose
// registration failed or was refused can still be destroyed safely.
GlWindow::GlWindow()
    : width(0), height(0), deviceContext(NULL), windowHandle(NULL), isOpen(false), glContext(NULL), depthBits(16),
      fullscreen(false), hidden(false), instance(NULL), viewport{0, 0, 0, 0}
{
}

GlWindow::~GlWindow()
{
    if (isOpen)
        close();
    unregisterClass(*this);
}

int32_t GlWindow::registerClass()
{
    if (!classNotRegistered)
        return ClassAlreadyRegistered;
    instance = GetModuleHandleA(NULL);
    WNDCLASSA windowClass;
    std::memset(&windowClass, 0, sizeof windowClass);
    windowClass.style = CS_HREDRAW | CS_VREDRAW | CS_OWNDC;
    windowClass.lpfnWndProc = windowProc;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconA(NULL, IDI_WINLOGO);
    windowClass.hCursor = LoadCursorA(NULL, IDC_ARROW);
    windowClass.lpszClassName = WindowClassName;
    if (RegisterClassA(&windowClass) == 0)
        return RegisterClassRefused;
    fullscreen = false;
    classNotRegistered = false;
    glContext = NULL;
    isOpen = false;
    depthBits = 16;
    return Done;
}

int32_t GlWindow::setFullscreen()
{
    fullscreen = true;
    return Done;
}

int32_t GlWindow::setHidden()
{
    hidden = true;
    return Done;
}

int32_t GlWindow::open(int32_t clientWidth, int32_t clientHeight, int32_t colorBits, const char* title)
{
    if (isOpen)
        return AlreadyOpen;
    if (colorBits != 16 && colorBits != 24 && colorBits != 32)
        return BadColorDepth;
    if (clientWidth <= 0 || clientHeight <= 0)
        return BadSize;
    RECT rect = {0, 0, clientWidth, clientHeight};
    if (fullscreen) {
        const DisplaySwitch result = switchDisplay(clientWidth, clientHeight, colorBits);
        if (result == DisplaySwitch::Refused)
            return ModeRefused;
        if (result == DisplaySwitch::KeptDesktop)
            rect = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
        ShowCursor(FALSE);
    }
    const LONG windowWidth = rect.right;
    const LONG windowHeight = rect.bottom;
    const WindowStyle style = windowStyleFor(fullscreen);
    AdjustWindowRectEx(&rect, style.style, FALSE, style.extended);
    windowHandle =
        CreateWindowExA(style.extended, WindowClassName, title, style.style | WS_CLIPSIBLINGS | WS_CLIPCHILDREN,
                        style.x, style.y, rect.right - rect.left, rect.bottom - rect.top, NULL, NULL, instance, NULL);
    if (windowHandle == NULL)
        return abandonOpen(*this, CreateWindowStep);
    PIXELFORMATDESCRIPTOR descriptor = pixelFormatFor(colorBits, depthBits);
    deviceContext = GetDC(windowHandle);
    if (deviceContext == NULL)
        return abandonOpen(*this, GetDcStep);
    const int format = ChoosePixelFormat(deviceContext, &descriptor);
    if (format == 0)
        return abandonOpen(*this, ChoosePixelFormatStep);
    if (!SetPixelFormat(deviceContext, format, &descriptor))
        return abandonOpen(*this, SetPixelFormatStep);
    glContext = wglCreateContext(deviceContext);
    if (glContext == NULL)
        return abandonOpen(*this, CreateContextStep);
    if (!wglMakeCurrent(deviceContext, glContext))
        return abandonOpen(*this, MakeCurrentStep);
    askForVsync();
    if (!hidden) {
        ShowWindow(windowHandle, SW_SHOW);
        SetForegroundWindow(windowHandle);
        SetFocus(windowHandle);
    }
    viewport = Letterbox::fit(clientWidth, clientHeight, windowWidth, windowHeight);
    setFixedGlState(clientWidth, clientHeight, viewport, windowHeight);
    width = clientWidth;
    height = clientHeight;
    framePacer.start();
    isOpen = true;
    return Done;
}

// A failure leaves the window open, so that a later close starts again; the
// handles already given back are cleared so that the retry does not hand
// them back a second time.
int32_t GlWindow::close()
{
    if (!isOpen)
        return CloseNotOpen;
    restoreDisplay(*this);
    if (glContext != NULL) {
        if (!wglMakeCurrent(NULL, NULL))
            return ReleaseContextRefused;
        if (!wglDeleteContext(glContext))
            return DeleteContextRefused;
        glContext = NULL;
    }
    if (deviceContext != NULL) {
        const bool released = ReleaseDC(windowHandle, deviceContext) != 0;
        deviceContext = NULL;
        if (!released)
            return ReleaseDcRefused;
    }
    if (windowHandle != NULL) {
        const bool destroyed = DestroyWindow(windowHandle) != 0;
        windowHandle = NULL;
        if (!destroyed)
            return DestroyWindowRefused;
    }
    framePacer.stop();
    isOpen = false;
    return Done;
}

int32_t GlWindow::shutdown()
{
    if (isOpen)
        close();
    if (!unregisterClass(*this))
        return UnregisterClassRefused;
    return Done;
}

// Handles at most one queued message, so the frame loop never waits for input.
int32_t GlWindow::present()
{
    if (!isOpen)
        return PresentNotOpen;
    SwapBuffers(deviceContext);
    framePacer.waitForNextFrame();
    MSG msg;
    if (!PeekMessageA(&msg, NULL, 0, 0, PM_NOREMOVE))
        return Done;
    const BOOL got = GetMessageA(&msg, NULL, 0, 0);
    if (got == 0)
        endOnQuit(*this);
    // -1 is GetMessageA's error: no message was taken, so there is none to dispatch.
    if (got != -1) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return Done;
}

int32_t GlWindow::clear()
{
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    return Cleared;
}
