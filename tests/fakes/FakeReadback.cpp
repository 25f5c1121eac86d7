// The OpenGL queries and read-back of the fake system: an OpenGL 1.1 without
// extensions, so code that needs framebuffer objects finds none, and a
// framebuffer that reads back black.
#include "FakeState.h"

#include <cstring>

using namespace fake;

const GLubyte* GLAPIENTRY glGetString(GLenum name)
{
    record("glGetString", {integer(name)});
    switch (name) {
    case GL_VERSION:
        return reinterpret_cast<const GLubyte*>("1.1 fake");
    case GL_EXTENSIONS:
        return reinterpret_cast<const GLubyte*>("");
    default:
        return reinterpret_cast<const GLubyte*>("fake");
    }
}

// Tightly packed rows: the only packing the code under test asks for.
void GLAPIENTRY glReadPixels(GLint x, GLint y, GLsizei width, GLsizei height, GLenum format, GLenum type, void* pixels)
{
    record("glReadPixels", {integer(x), integer(y), integer(width), integer(height), integer(format), integer(type)});
    const std::size_t components = format == GL_RGBA ? 4 : format == GL_RGB ? 3 : 1;
    if (pixels != nullptr && type == GL_UNSIGNED_BYTE && width > 0 && height > 0)
        std::memset(pixels, 0, components * static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
}
