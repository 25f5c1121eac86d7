#ifndef QORX_PLATFORM_SDL_WINDOWREGISTRY_H
#define QORX_PLATFORM_SDL_WINDOWREGISTRY_H

#include "HandleTable.h"

#include <windows.h>

#include <mutex>

struct SDL_Window;
class MessageQueue;

struct ClassRecord {
    char name[256];
    HINSTANCE instance;
    WNDPROC procedure;
    UINT style;
};

// A Win32 window. SDL fixes a window's pixel format when it creates the
// window, Win32 sets it afterwards: so the record comes first, and the SDL
// window is made by SetPixelFormat.
struct WindowRecord {
    WNDPROC procedure;
    int classIndex;
    DWORD style;
    DWORD exStyle;
    char title[256];
    int clientX; // CW_USEDEFAULT when the system places the window
    int clientY;
    int clientWidth;
    int clientHeight;
    bool visible;
    // Takes the display mode set by ChangeDisplaySettingsA.
    bool fullscreen;
    // Full-screen at the desktop's mode.
    bool coversScreen;
    int pixelFormat;
    SDL_Window* sdlWindow;
    MessageQueue* ownerQueue;
};

// The classes and windows of the process. Windows belong to the thread that
// started SDL video; the lock guards only what other threads may look at (a
// window's owning queue, for PostMessageA).
class WindowRegistry {
public:
    static const int classCapacity = 32;
    static const int windowCapacity = 32;

    static std::mutex& lock();

    static HandleTable<ClassRecord, classCapacity>& classes();
    static HandleTable<WindowRecord, windowCapacity>& windows();

    // Class names compare without regard to case, as in Win32; a name whose
    // pointer is below 0x10000 is an atom.
    static int findClass(LPCSTR name, HINSTANCE instance);
    static ATOM atomOf(int classIndex);
    static bool classHasWindows(int classIndex);

    static WindowRecord* window(HWND window);
    static WindowRecord* windowOfDc(HDC deviceContext);
    static WindowRecord* windowOfSdl(unsigned int sdlWindowId);
    static HWND handleOf(const WindowRecord* record);
    static HDC dcOf(const WindowRecord* record);
};

#endif
