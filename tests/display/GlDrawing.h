#ifndef QORX_TESTS_DISPLAY_GLDRAWING_H
#define QORX_TESTS_DISPLAY_GLDRAWING_H

// Pictures the display tests draw through a GlWindow's projection (client
// pixels, origin top-left), and what they read back.
struct Rgb {
    int red;
    int green;
    int blue;
};

// An untextured rectangle from (left, top) to (right, bottom), at a depth
// of 0 and with the opacity given.
void fillRect(float left, float top, float right, float bottom, Rgb colour, float opacity = 1.0f);
// Red, green, blue and white quarters, in reading order.
void drawQuarters(int width, int height);
// A pixel of the current read framebuffer, with y counted from the top.
Rgb readPixel(int x, int yFromTop, int height);

#endif
