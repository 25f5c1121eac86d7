#include "XDisplay.h"

#include <SDL.h>
#include <SDL_syswm.h>

#include <X11/Xlib.h>
#include <X11/extensions/Xrandr.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <unistd.h>

namespace {

const int MaxCrtcs = 8;
// A reset takes a moment; a busy machine makes it longer.
const int ConnectAttempts = 40;
const int ConnectRetryMs = 50;
const int MaxOutputs = 8;
const int LostDisplayExitCode = 255;
const char XWaylandOutputPrefix[] = "XWAYLAND";

struct CrtcSetting {
    RRCrtc crtc;
    RRMode mode;
    int x;
    int y;
    Rotation rotation;
    int outputCount;
    RROutput outputs[MaxOutputs];
};

// The screen's size and each CRTC's setting when the layer started.
struct DesktopSnapshot {
    bool taken;
    int width;
    int height;
    int widthMm;
    int heightMm;
    int crtcCount;
    CrtcSetting crtcs[MaxCrtcs];
    bool emulatesModes;
};

// The X part of the layer's state. The error handlers run on whichever
// thread made the failing call and touch only the atomics; the snapshot is
// written at start, before the signal watch can read it.
struct XState {
    bool started;
    // The layer's own connection, and SDL's as its windows name it.
    Display* own;
    Display* display;
    XErrorHandler previousErrorHandler;
    XIOErrorHandler previousIoErrorHandler;
    std::atomic<unsigned long> lastFailedResource;
    DesktopSnapshot desktop;
};

XState xState = {false, nullptr, nullptr, nullptr, nullptr, {0}, {}};

void writeError(const char* text)
{
    size_t length = std::strlen(text);
    while (length > 0) {
        const ssize_t written = write(STDERR_FILENO, text, length);
        if (written <= 0)
            return;
        text += written;
        length -= static_cast<size_t>(written);
    }
}

// No Xlib call may be made here: the display's lock is held.
int onXError(Display*, XErrorEvent* error)
{
    xState.lastFailedResource.store(error->resourceid);
    return 0;
}

[[noreturn]] int onLostConnection(Display* display)
{
    char line[256];
    std::snprintf(line, sizeof line, "qorx: lost the connection to the X server %s\n", DisplayString(display));
    writeError(line);
    _exit(LostDisplayExitCode);
}

// XWayland names its outputs after itself.
bool isXWaylandOutput(Display* display, XRRScreenResources* resources, RROutput output)
{
    XRROutputInfo* info = XRRGetOutputInfo(display, resources, output);
    if (info == nullptr)
        return false;
    const bool found = std::strncmp(info->name, XWaylandOutputPrefix, std::strlen(XWaylandOutputPrefix)) == 0;
    XRRFreeOutputInfo(info);
    return found;
}

bool isX11()
{
    const char* driver = SDL_GetCurrentVideoDriver();
    return driver != nullptr && std::strcmp(driver, "x11") == 0;
}

void takeSnapshot(Display* display, DesktopSnapshot& snapshot)
{
    snapshot.taken = false;
    if (display == nullptr)
        return;
    int eventBase = 0;
    int errorBase = 0;
    const int screen = DefaultScreen(display);
    XRRScreenResources* resources = XRRQueryExtension(display, &eventBase, &errorBase)
                                        ? XRRGetScreenResourcesCurrent(display, RootWindow(display, screen))
                                        : nullptr;
    if (resources != nullptr) {
        snapshot.width = DisplayWidth(display, screen);
        snapshot.height = DisplayHeight(display, screen);
        snapshot.widthMm = DisplayWidthMM(display, screen);
        snapshot.heightMm = DisplayHeightMM(display, screen);
        snapshot.crtcCount = 0;
        for (int index = 0; index < resources->ncrtc && snapshot.crtcCount < MaxCrtcs; ++index) {
            XRRCrtcInfo* info = XRRGetCrtcInfo(display, resources, resources->crtcs[index]);
            if (info == nullptr)
                continue;
            CrtcSetting& setting = snapshot.crtcs[snapshot.crtcCount++];
            setting.crtc = resources->crtcs[index];
            setting.mode = info->mode;
            setting.x = info->x;
            setting.y = info->y;
            setting.rotation = info->rotation;
            setting.outputCount = info->noutput < MaxOutputs ? info->noutput : MaxOutputs;
            for (int output = 0; output < setting.outputCount; ++output)
                setting.outputs[output] = info->outputs[output];
            XRRFreeCrtcInfo(info);
        }
        snapshot.emulatesModes = resources->noutput > 0 && isXWaylandOutput(display, resources, resources->outputs[0]);
        XRRFreeScreenResources(resources);
        snapshot.taken = true;
    }
}

bool differs(Display* display, XRRScreenResources* resources, const CrtcSetting& setting)
{
    XRRCrtcInfo* info = XRRGetCrtcInfo(display, resources, setting.crtc);
    if (info == nullptr)
        return false;
    const bool different = info->mode != setting.mode || info->x != setting.x || info->y != setting.y ||
                           info->rotation != setting.rotation;
    XRRFreeCrtcInfo(info);
    return different;
}

// As SDL changes a mode: with the server grabbed, the changed CRTCs off,
// the screen at its old size, then the CRTCs as they were.
void applySnapshot(Display* display, const DesktopSnapshot& snapshot)
{
    const int screen = DefaultScreen(display);
    const Window root = RootWindow(display, screen);
    XRRScreenResources* resources = XRRGetScreenResourcesCurrent(display, root);
    if (resources == nullptr)
        return;
    bool changed[MaxCrtcs] = {};
    bool anyChanged =
        DisplayWidth(display, screen) != snapshot.width || DisplayHeight(display, screen) != snapshot.height;
    for (int index = 0; index < snapshot.crtcCount; ++index) {
        changed[index] = differs(display, resources, snapshot.crtcs[index]);
        anyChanged = anyChanged || changed[index];
    }
    if (anyChanged) {
        XGrabServer(display);
        for (int index = 0; index < snapshot.crtcCount; ++index) {
            if (changed[index])
                XRRSetCrtcConfig(display, resources, snapshot.crtcs[index].crtc, CurrentTime, 0, 0, None, RR_Rotate_0,
                                 nullptr, 0);
        }
        XRRSetScreenSize(display, root, snapshot.width, snapshot.height, snapshot.widthMm, snapshot.heightMm);
        for (int index = 0; index < snapshot.crtcCount; ++index) {
            const CrtcSetting& setting = snapshot.crtcs[index];
            if (changed[index])
                XRRSetCrtcConfig(display, resources, setting.crtc, CurrentTime, setting.x, setting.y, setting.mode,
                                 setting.rotation, const_cast<RROutput*>(setting.outputs), setting.outputCount);
        }
        XUngrabServer(display);
        XSync(display, False);
    }
    XRRFreeScreenResources(resources);
}

// A local server (":N") has its socket in /tmp/.X11-unix while it runs,
// through its resets too; only then is a failed connection worth retrying.
bool localServerRuns()
{
    const char* name = std::getenv("DISPLAY");
    if (name == nullptr || name[0] != ':')
        return false;
    char path[64];
    std::snprintf(path, sizeof path, "/tmp/.X11-unix/X%d", std::atoi(name + 1));
    return access(path, F_OK) == 0;
}

} // namespace

bool XDisplay::connect()
{
    if (xState.own != nullptr)
        return true;
    // SDL and the signal watch use Xlib from more than one thread.
    XInitThreads();
    for (int attempt = 0; attempt < ConnectAttempts; ++attempt) {
        xState.own = XOpenDisplay(nullptr);
        if (xState.own != nullptr)
            return true;
        if (!localServerRuns())
            return false;
        SDL_Delay(ConnectRetryMs);
    }
    return false;
}

void XDisplay::start()
{
    if (xState.started || !isX11())
        return;
    takeSnapshot(xState.own, xState.desktop);
    xState.lastFailedResource.store(0);
    xState.previousErrorHandler = XSetErrorHandler(onXError);
    xState.previousIoErrorHandler = XSetIOErrorHandler(onLostConnection);
    SDL_EventState(SDL_SYSWMEVENT, SDL_ENABLE);
    xState.started = true;
}

void XDisplay::stop()
{
    if (xState.started) {
        // Errors come back after the request: those of the last windows'
        // teardown (a lost window's above all) must still find this handler.
        // SDL puts Xlib's own back, which ends the program, before it closes.
        if (xState.display != nullptr)
            XSync(xState.display, False);
        SDL_EventState(SDL_SYSWMEVENT, SDL_DISABLE);
        XSetErrorHandler(xState.previousErrorHandler);
        XSetIOErrorHandler(xState.previousIoErrorHandler);
        xState.started = false;
    }
    xState.display = nullptr;
    if (xState.own != nullptr)
        XCloseDisplay(xState.own);
    xState.own = nullptr;
}

unsigned long XDisplay::windowOf(SDL_Window* window)
{
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (window == nullptr || !SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11)
        return 0;
    xState.display = info.info.x11.display;
    return info.info.x11.window;
}

bool XDisplay::failedOn(unsigned long xWindow)
{
    return xWindow != 0 && xState.lastFailedResource.load() == xWindow;
}

unsigned long XDisplay::destroyedBy(const SDL_Event& event)
{
    if (event.type != SDL_SYSWMEVENT || event.syswm.msg == nullptr || event.syswm.msg->subsystem != SDL_SYSWM_X11)
        return 0;
    const XEvent& raw = event.syswm.msg->msg.x11.event;
    return raw.type == DestroyNotify ? raw.xdestroywindow.window : 0;
}

bool XDisplay::emulatesModes()
{
    return xState.started && xState.desktop.taken && xState.desktop.emulatesModes;
}

void XDisplay::restoreDesktopFromAnyThread()
{
    if (xState.started && xState.desktop.taken && xState.own != nullptr)
        applySnapshot(xState.own, xState.desktop);
}
