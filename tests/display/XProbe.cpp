#include "XProbe.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/extensions/Xfixes.h>
#include <X11/extensions/scrnsaver.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <thread>

namespace {

// The title as bytes, whatever its encoding: SDL's windows and boxes set
// _NET_WM_NAME and a WM_NAME of type UTF8_STRING, which XFetchName skips.
std::string titleIn(Display* display, Window window, const char* property)
{
    Atom type = 0;
    int format = 0;
    unsigned long count = 0;
    unsigned long remaining = 0;
    unsigned char* data = nullptr;
    Atom name = XInternAtom(display, property, False);
    std::string title;
    if (XGetWindowProperty(display, window, name, 0, 1024, False, AnyPropertyType, &type, &format, &count, &remaining,
                           &data) == Success &&
        data != nullptr && format == 8)
        title.assign(reinterpret_cast<char*>(data), count);
    if (data != nullptr)
        XFree(data);
    return title;
}

bool hasTitle(Display* display, Window window, const std::string& title)
{
    return titleIn(display, window, "_NET_WM_NAME") == title || titleIn(display, window, "WM_NAME") == title;
}

long processOf(Display* display, Window window)
{
    Atom type = 0;
    int format = 0;
    unsigned long count = 0;
    unsigned long remaining = 0;
    unsigned char* data = nullptr;
    long pid = 0;
    if (XGetWindowProperty(display, window, XInternAtom(display, "_NET_WM_PID", False), 0, 1, False, XA_CARDINAL, &type,
                           &format, &count, &remaining, &data) == Success &&
        data != nullptr && format == 32 && count == 1)
        pid = *reinterpret_cast<long*>(data);
    if (data != nullptr)
        XFree(data);
    return pid;
}

// Depth-first through the window tree: without a window manager the
// program's windows are children of the root, with one they are deeper.
Window searchTree(Display* display, Window parent, const std::function<bool(Window)>& matches)
{
    Window root = 0;
    Window parentOut = 0;
    Window* children = nullptr;
    unsigned int count = 0;
    if (XQueryTree(display, parent, &root, &parentOut, &children, &count) == 0)
        return 0;
    Window found = 0;
    for (unsigned int i = 0; i < count && found == 0; ++i)
        found = matches(children[i]) ? children[i] : searchTree(display, children[i], matches);
    if (children != nullptr)
        XFree(children);
    return found;
}

int channel(unsigned long value, unsigned long mask)
{
    if (mask == 0)
        return 0;
    int shift = 0;
    while (((mask >> shift) & 1) == 0)
        ++shift;
    unsigned long maximum = mask >> shift;
    return static_cast<int>(((value & mask) >> shift) * 255 / maximum);
}

// Windows come and go while the probe looks at them; a question about one
// that has just gone is no reason to end the test program (Xlib's own
// handler exits).
int ignoreErrors(Display*, XErrorEvent*)
{
    return 0;
}

Display* openDisplay()
{
    // Test programs look from several threads, each with a probe of its own.
    static const bool threadsReady = XInitThreads() != 0;
    (void)threadsReady;
    Display* display = XOpenDisplay(nullptr);
    if (display != nullptr)
        XSetErrorHandler(ignoreErrors);
    return display;
}

} // namespace

XProbe::XProbe() : display(openDisplay()) {}

XProbe::~XProbe()
{
    if (display != nullptr)
        XCloseDisplay(display);
}

void XProbe::sync()
{
    XSync(display, False);
}

unsigned long XProbe::findWindow(const std::string& title, bool wait)
{
    for (int attempt = 0; attempt < (wait ? 400 : 1); ++attempt) {
        Window found =
            searchTree(display, DefaultRootWindow(display), [&](Window w) { return hasTitle(display, w, title); });
        if (found != 0)
            return found;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return 0;
}

unsigned long XProbe::findWindowOf(int processId)
{
    return searchTree(display, DefaultRootWindow(display),
                      [&](Window w) { return processOf(display, w) == processId; });
}

bool XProbe::isMapped(unsigned long window)
{
    XWindowAttributes attributes;
    if (XGetWindowAttributes(display, window, &attributes) == 0)
        return false;
    return attributes.map_state == IsViewable;
}

XProbe::Box XProbe::geometry(unsigned long window)
{
    XWindowAttributes attributes;
    if (XGetWindowAttributes(display, window, &attributes) == 0)
        return {0, 0, 0, 0};
    int x = 0;
    int y = 0;
    Window child = 0;
    XTranslateCoordinates(display, window, DefaultRootWindow(display), 0, 0, &x, &y, &child);
    return {x, y, attributes.width, attributes.height};
}

XProbe::Box XProbe::screen()
{
    Window root = 0;
    int x = 0;
    int y = 0;
    unsigned int width = 0;
    unsigned int height = 0;
    unsigned int border = 0;
    unsigned int depthOut = 0;
    XGetGeometry(display, DefaultRootWindow(display), &root, &x, &y, &width, &height, &border, &depthOut);
    return {0, 0, static_cast<int>(width), static_cast<int>(height)};
}

int XProbe::depth()
{
    return DefaultDepth(display, DefaultScreen(display));
}

XProbe::Colour XProbe::pixel(int x, int y)
{
    return windowPixel(DefaultRootWindow(display), x, y);
}

XProbe::Colour XProbe::windowPixel(unsigned long window, int x, int y)
{
    sync();
    XImage* image = XGetImage(display, window, x, y, 1, 1, AllPlanes, ZPixmap);
    if (image == nullptr)
        return {-1, -1, -1};
    unsigned long value = XGetPixel(image, 0, 0);
    Colour colour = {channel(value, image->red_mask), channel(value, image->green_mask),
                     channel(value, image->blue_mask)};
    XDestroyImage(image);
    return colour;
}

XProbe::Brightness XProbe::brightness()
{
    // Every fourth pixel both ways is plenty for a picture and keeps one
    // look at a 1024 x 768 screen within a few milliseconds.
    const int step = 4;
    Box whole = screen();
    XImage* image = XGetImage(display, DefaultRootWindow(display), 0, 0, whole.width, whole.height, AllPlanes, ZPixmap);
    if (image == nullptr)
        return {-1, -1};
    double sum = 0;
    double squares = 0;
    long count = 0;
    for (int y = 0; y < whole.height; y += step) {
        for (int x = 0; x < whole.width; x += step) {
            unsigned long value = XGetPixel(image, x, y);
            double luma = (channel(value, image->red_mask) + channel(value, image->green_mask) +
                           channel(value, image->blue_mask)) /
                          3.0;
            sum += luma;
            squares += luma * luma;
            ++count;
        }
    }
    XDestroyImage(image);
    const double mean = sum / count;
    return {mean, std::sqrt(std::max(0.0, squares / count - mean * mean))};
}

bool XProbe::shows(int x, int y, int red, int green, int blue)
{
    for (int attempt = 0; attempt < 100; ++attempt) {
        Colour seen = pixel(x, y);
        if (std::abs(seen.red - red) <= 8 && std::abs(seen.green - green) <= 8 && std::abs(seen.blue - blue) <= 8)
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return false;
}

bool XProbe::cursorShown()
{
    sync();
    XFixesCursorImage* image = XFixesGetCursorImage(display);
    if (image == nullptr)
        return true;
    bool shown = false;
    for (int i = 0; i < image->width * image->height && !shown; ++i)
        shown = (image->pixels[i] >> 24) != 0;
    XFree(image);
    return shown;
}

void XProbe::key(const char* keysymName, bool press)
{
    KeyCode code = XKeysymToKeycode(display, XStringToKeysym(keysymName));
    XTestFakeKeyEvent(display, code, press ? True : False, CurrentTime);
    sync();
}

void XProbe::tap(const char* keysymName)
{
    key(keysymName, true);
    key(keysymName, false);
}

void XProbe::movePointer(int x, int y)
{
    XTestFakeMotionEvent(display, DefaultScreen(display), x, y, CurrentTime);
    sync();
}

void XProbe::focus(unsigned long window)
{
    XSetInputFocus(display, window, RevertToPointerRoot, CurrentTime);
    sync();
}

unsigned long XProbe::focusedWindow()
{
    Window focused = 0;
    int revertTo = 0;
    XGetInputFocus(display, &focused, &revertTo);
    return focused;
}

void XProbe::requestClose(unsigned long window)
{
    XEvent event;
    std::memset(&event, 0, sizeof event);
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(display, window, False, NoEventMask, &event);
    sync();
}

void XProbe::setScreenSaverTimeout(int seconds)
{
    XSetScreenSaver(display, seconds, 0, DontPreferBlanking, AllowExposures);
    XResetScreenSaver(display);
    sync();
}

bool XProbe::screenSaverActive()
{
    XScreenSaverInfo* info = XScreenSaverAllocInfo();
    bool active = XScreenSaverQueryInfo(display, DefaultRootWindow(display), info) != 0 && info->state == ScreenSaverOn;
    XFree(info);
    return active;
}

unsigned long XProbe::idleMilliseconds()
{
    XScreenSaverInfo* info = XScreenSaverAllocInfo();
    const unsigned long idle = XScreenSaverQueryInfo(display, DefaultRootWindow(display), info) != 0 ? info->idle : 0;
    XFree(info);
    return idle;
}
