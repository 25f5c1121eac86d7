#ifndef QORX_WINDOW_GLWINDOW_H
#define QORX_WINDOW_GLWINDOW_H

#include "qorx/window/FramePacer.h"
#include "qorx/window/Letterbox.h"

#include <windows.h>

#include <cstdint>

// The library's one top-level window with its OpenGL context. Each operation
// returns a code of its own, below: Done (0) for success, or a small positive
// code naming what failed. setFullscreen and setHidden always return Done;
// clear always returns Cleared (-1); present does not return at all when it
// meets a quit message, but closes the window and ends the process.
class GlWindow {
public:
    enum SuccessCode : int32_t { Done = 0 };
    enum RegisterClassCode : int32_t {
        RegisterClassRefused = 1,   // RegisterClassA failed
        ClassAlreadyRegistered = 2, // by this process; nothing done
    };
    // From CreateWindowStep on, a code names the step that failed, and the
    // failure has undone the steps before it.
    enum OpenCode : int32_t {
        ModeRefused = 1, // the full-screen display mode
        CreateWindowStep = 2,
        GetDcStep = 3,
        ChoosePixelFormatStep = 4,
        SetPixelFormatStep = 5,
        CreateContextStep = 6,
        MakeCurrentStep = 7,
        AlreadyOpen = 9,
        BadColorDepth = 10, // not 16, 24 or 32
        BadSize = 11,       // a width or height under 1
    };
    // A failure leaves the window open, so that a later close starts again.
    enum CloseCode : int32_t {
        ReleaseContextRefused = 1, // wglMakeCurrent(NULL, NULL)
        DeleteContextRefused = 2,
        ReleaseDcRefused = 3,
        DestroyWindowRefused = 4,
        CloseNotOpen = 5, // nothing done
    };
    enum ShutdownCode : int32_t { UnregisterClassRefused = 1 };
    enum PresentCode : int32_t { PresentNotOpen = 1 }; // nothing done
    enum ClearCode : int32_t { Cleared = -1 };

    GlWindow();
    virtual ~GlWindow();
    GlWindow(const GlWindow&) = delete;
    GlWindow& operator=(const GlWindow&) = delete;

    int32_t registerClass();
    int32_t setFullscreen();
    // The next open leaves the window hidden, without the focus: a context for
    // drawing off-screen. Meant for windowed windows; before or after
    // registerClass alike.
    int32_t setHidden();
    int32_t open(int32_t width, int32_t height, int32_t colorBits, const char* title);
    int32_t close();
    int32_t shutdown();
    int32_t present();
    int32_t clear();

    int32_t width;
    int32_t height;
    HDC deviceContext;
    HWND windowHandle;
    bool isOpen;
    HGLRC glContext;
    int32_t depthBits;
    bool fullscreen;
    bool hidden;
    HINSTANCE instance;
    // Where the width x height picture lands in the window: all of it, unless
    // a full-screen window stayed at a desktop mode of another size, where it
    // is scaled to fit with its shape kept.
    Letterbox viewport;
    FramePacer framePacer;
};

#endif
