// Everything the web layer holds for the process: the registered class, the
// one window, the message queue and the picture's place on the canvas. It
// starts in main() and stops at exit.
#ifndef QORX_PLATFORM_WEB_PAGESTATE_H
#define QORX_PLATFORM_WEB_PAGESTATE_H

#include <windows.h>

struct PageState {
    static const int QueueLength = 64;

    WNDPROC windowProc;
    bool classRegistered;
    HWND window;
    bool contextMade;
    int cursorCount;
    // A ring of posted and page messages; a quit comes after all of them.
    MSG queue[QueueLength];
    int head;
    int count;
    bool quitPosted;
    int quitCode;
    // The size of the picture the window was opened for, kept centred and
    // whole whenever the canvas changes.
    int pictureWidth;
    int pictureHeight;

    static PageState& current();
    static void start();
    static void stop();

    bool post(HWND target, UINT message, WPARAM wParam, LPARAM lParam);
    bool take(MSG& msg);
    void pullPageKeys();
    void refitViewport();
};

#endif
