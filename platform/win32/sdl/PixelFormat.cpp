#include "PixelFormat.h"

#include <SDL.h>

namespace {

// Lay the combinations out as digits of a mixed-radix number.
const int DepthChoices[] = {0, 16, 24};

int depthIndex(int depthBits)
{
    if (depthBits == 0)
        return 0;
    return depthBits <= 16 ? 1 : 2;
}

} // namespace

int PixelFormat::choose(const PIXELFORMATDESCRIPTOR& descriptor)
{
    const DWORD needed = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL;
    if ((descriptor.dwFlags & needed) != needed || descriptor.iPixelType != PFD_TYPE_RGBA)
        return 0;
    PixelFormat format;
    format.doubleBuffer = (descriptor.dwFlags & PFD_DOUBLEBUFFER) != 0;
    format.colorBits = descriptor.cColorBits > 16 ? 24 : 16;
    format.alphaBits = descriptor.cAlphaBits > 0 ? 8 : 0;
    format.depthBits = DepthChoices[depthIndex(descriptor.cDepthBits)];
    format.stencilBits = descriptor.cStencilBits > 0 ? 8 : 0;
    return format.number();
}

int PixelFormat::number() const
{
    int index = doubleBuffer ? 0 : 1;
    index = index * 2 + (colorBits > 16 ? 1 : 0);
    index = index * 2 + (alphaBits > 0 ? 1 : 0);
    index = index * 3 + depthIndex(depthBits);
    index = index * 2 + (stencilBits > 0 ? 1 : 0);
    return index + 1;
}

bool PixelFormat::decode(int number, PixelFormat* format)
{
    if (number < 1 || number > Count)
        return false;
    int index = number - 1;
    format->stencilBits = (index % 2) * 8;
    index /= 2;
    format->depthBits = DepthChoices[index % 3];
    index /= 3;
    format->alphaBits = (index % 2) * 8;
    index /= 2;
    format->colorBits = index % 2 ? 24 : 16;
    index /= 2;
    format->doubleBuffer = index == 0;
    return true;
}

void PixelFormat::applyToSdl(bool relaxedColour) const
{
    SDL_GL_ResetAttributes();
    int red = relaxedColour ? 1 : (colorBits > 16 ? 8 : 5);
    int green = relaxedColour ? 1 : (colorBits > 16 ? 8 : 6);
    SDL_GL_SetAttribute(SDL_GL_RED_SIZE, red);
    SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, green);
    SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, red);
    SDL_GL_SetAttribute(SDL_GL_ALPHA_SIZE, alphaBits);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, depthBits);
    SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, stencilBits);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, doubleBuffer ? 1 : 0);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);
}
