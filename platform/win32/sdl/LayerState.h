#ifndef QORX_PLATFORM_SDL_LAYERSTATE_H
#define QORX_PLATFORM_SDL_LAYERSTATE_H

#include "HandleTable.h"
#include "MessageQueue.h"

#include <windows.h>

#include <SDL_thread.h>
#include <SDL_video.h>

#include <atomic>
#include <mutex>

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
    // The X window behind it (0 on other displays), and whether it went away
    // without the program asking.
    unsigned long xWindow;
    bool lost;
    MessageQueue* ownerQueue;
};

// WGL's rendering context over SDL's.
struct ContextRecord {
    SDL_GLContext context;
    int pixelFormat;
    HWND window; // the window it was last made current with
    bool current;
    SDL_threadID thread;
};

// What a thread has of its own in Win32: its message queue, the window with
// its keyboard focus and its current OpenGL context.
struct ThreadRecord {
    SDL_threadID thread = 0;
    MessageQueue queue;
    HWND focus = NULL;
    HGLRC currentContext = NULL;
};

// The display mode ChangeDisplaySettingsA asked for, and the popup that
// takes it.
struct ModeRequest {
    bool active;
    SDL_DisplayMode mode;
    HWND fullscreenWindow;
};

const int ClassCapacity = 32;
const int WindowCapacity = 32;
const int ContextCapacity = 16;
const int ThreadCapacity = 64;

// Everything the layer holds for the process, in one place.
//
// Threads: SDL video belongs to the thread that started it (the video
// thread). Only it creates, changes and destroys classes, windows, contexts,
// the display mode and the cursor count, and only it takes SDL's events.
// Other threads may post to a window (PostMessageA reads the window's owner
// queue), and each thread takes a thread record on its first message call;
// `lock` guards those. The signal handlers and the X error handlers touch
// only the atomics of Signals and XDisplay, which keep their own state.
struct LayerState {
    std::mutex lock;

    std::atomic<bool> started{false};
    SDL_threadID videoThread = 0;
    int windowCount = 0;         // the screen saver is held off while it is above 0
    int cursorCount = 0;         // Win32's display count: the cursor shows while it is 0 or more
    bool withoutDisplay = false; // on SDL's offscreen driver for want of a display

    HandleTable<ClassRecord, ClassCapacity> classes;
    HandleTable<WindowRecord, WindowCapacity> windows;
    HandleTable<ContextRecord, ContextCapacity> contexts;
    ModeRequest modeRequest = {};
    ThreadRecord threads[ThreadCapacity] = {};
    bool threadUsed[ThreadCapacity] = {};
};

namespace Layer {

LayerState& state();

// Starts SDL video unless it runs already, on the calling thread, and with
// it what the layer adds for the process: X's error handling, the signal
// handlers and the restore of the desktop at exit. Without a display it
// starts SDL's offscreen driver, so that windows that are never shown (a
// recording) draw as they would on a display; showing a window there ends
// the program with one line (ShowWindow), since a presentation nobody can
// see could not be stopped either. A driver named in SDL_VIDEODRIVER is
// taken as asked, whatever it is.
bool start();
bool isStarted();
// Gives the desktop its mode back, lets go of every window, context and
// class, stops SDL video and forgets everything: the state of a process that
// never started the layer. At exit the layer only gives the desktop its mode
// back (and ends a program that a signal stopped with that signal).
void stop();

// The window count: the screen saver is held off from the first window to
// the last.
void windowCreated();
void windowDestroyed();

// True on the thread that started SDL video: only it may pump SDL's events.
bool isVideoThread();

// The calling thread's record, taken on first use; null when every record is
// in use.
ThreadRecord* currentThread();

} // namespace Layer

#endif
