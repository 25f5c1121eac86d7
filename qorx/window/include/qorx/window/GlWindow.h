#ifndef QORX_WINDOW_GLWINDOW_H
#define QORX_WINDOW_GLWINDOW_H

#include "qorx/window/FramePacer.h"
#include "qorx/window/Letterbox.h"

#include <windows.h>

#include <cstdint>

// The library's one top-level window with its OpenGL context. Every operation
// returns 0 for success or a small positive code naming the step that failed.
class GlWindow {
public:
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
