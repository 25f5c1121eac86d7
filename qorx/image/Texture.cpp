#include "qorx/image/Texture.h"

#include "qorx/image/ReaderChain.h"

#include <windows.h>

#include <GL/gl.h>
#include <GL/glu.h>

#include <cstdint>
#include <cstdio>

namespace {

// Three colour components: the texels are opaque, so the vertex colour alone
// decides how transparent a textured fragment is.
const GLint OpaqueRgb = 3;

} // namespace

Texture::Texture() : id(0), mipmaps(false), reason() {}

Texture::~Texture() {}

void Texture::setMipmaps(bool flag)
{
    mipmaps = flag;
}

int Texture::load(const char* path)
{
    // The readers, and with them every pixel buffer, end when load returns.
    ReaderChain readers;
    const Image* image = readers.load(path);
    std::snprintf(reason, sizeof reason, "%s", readers.failureReason());
    if (!image)
        return 0;

    const GLsizei width = static_cast<uint16_t>(image->width);
    const GLsizei height = static_cast<uint16_t>(image->height);
    glGenTextures(1, &id);
    glBindTexture(GL_TEXTURE_2D, id);
    // Without a mipmap chain a mipmapping minification filter would leave the
    // texture incomplete, and it would not draw at all.
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, mipmaps ? GL_NEAREST_MIPMAP_NEAREST : GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    if (mipmaps)
        gluBuild2DMipmaps(GL_TEXTURE_2D, OpaqueRgb, width, height, GL_RGBA, GL_UNSIGNED_BYTE, image->pixels);
    else
        glTexImage2D(GL_TEXTURE_2D, 0, OpaqueRgb, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE, image->pixels);
    return -1;
}
