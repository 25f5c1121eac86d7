#include "display/GlDrawing.h"

#include <GL/gl.h>

void fillRect(float left, float top, float right, float bottom, Rgb colour, float opacity)
{
    glDisable(GL_TEXTURE_2D);
    glBegin(GL_QUADS);
    glColor4f(colour.red / 255.0f, colour.green / 255.0f, colour.blue / 255.0f, opacity);
    glVertex2f(left, top);
    glVertex2f(right, top);
    glVertex2f(right, bottom);
    glVertex2f(left, bottom);
    glEnd();
}

void drawQuarters(int width, int height)
{
    float middleX = width / 2.0f;
    float middleY = height / 2.0f;
    fillRect(0, 0, middleX, middleY, {255, 0, 0});
    fillRect(middleX, 0, width, middleY, {0, 255, 0});
    fillRect(0, middleY, middleX, height, {0, 0, 255});
    fillRect(middleX, middleY, width, height, {255, 255, 255});
}

Rgb readPixel(int x, int yFromTop, int height)
{
    unsigned char pixel[4] = {0, 0, 0, 0};
    glReadPixels(x, height - 1 - yFromTop, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel);
    return {pixel[0], pixel[1], pixel[2]};
}
