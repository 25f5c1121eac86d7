#ifndef QORX_PLATFORM_SDL_SCALEDFRAMEBUFFER_H
#define QORX_PLATFORM_SDL_SCALEDFRAMEBUFFER_H

// The picture of a window that fills a screen whose mode could not be set:
// the program draws into an off-screen framebuffer of its own size (so
// viewport, projection and glReadPixels see exactly the picture it asked for),
// and each swap copies it onto the screen scaled to fit with its shape kept.
// Lives in one OpenGL context; every call needs that context current.
class ScaledFramebuffer {
public:
    bool isActive() const { return framebuffer != 0; }
    int width() const { return pictureWidth; }
    int height() const { return pictureHeight; }

    // Makes the framebuffer and binds it for drawing and reading; false if
    // the context cannot (no framebuffer objects before OpenGL 3.0).
    bool create(int width, int height, int depthBits, int stencilBits);
    void bind() const;
    // Copies the picture onto the window's back buffer, letterboxed, leaving
    // the program's OpenGL state as it was apart from the bindings that
    // bind() restores after the swap.
    void copyToWindow(int windowWidth, int windowHeight) const;

private:
    unsigned int framebuffer = 0;
    unsigned int colour = 0;
    unsigned int depth = 0;
    int pictureWidth = 0;
    int pictureHeight = 0;
};

#endif
