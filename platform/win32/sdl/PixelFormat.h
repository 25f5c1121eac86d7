#ifndef QORX_PLATFORM_SDL_PIXELFORMAT_H
#define QORX_PLATFORM_SDL_PIXELFORMAT_H

#include <windows.h>

// The pixel formats the layer offers, numbered from 1 as Win32 numbers them.
// A number stands for a combination of buffering, colour, alpha, depth and
// stencil; SetPixelFormat turns it into SDL's OpenGL attributes.
struct PixelFormat {
    bool doubleBuffer;
    int colorBits;   // 16 or 24
    int alphaBits;   // 0 or 8
    int depthBits;   // 0, 16 or 24
    int stencilBits; // 0 or 8

    static const int Count = 48;

    // The closest format to a descriptor, or 0 when the descriptor asks for
    // something no format has (colour-index pixels, no OpenGL, no window).
    static int choose(const PIXELFORMATDESCRIPTOR& descriptor);
    static bool decode(int number, PixelFormat* format);
    int number() const;

    // Sets SDL's OpenGL attributes for the next window: a compatibility
    // profile so that OpenGL 1.1 calls work. With relaxedColour the colour
    // sizes are left to the display, which may offer no exact match.
    void applyToSdl(bool relaxedColour) const;
};

#endif
