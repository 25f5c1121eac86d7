// The OpenGL 1.1 and GLU calls of the fake system: logged, and texture names
// and uploads kept.
#include "FakeState.h"

#include <GL/glu.h>

using namespace fake;
using namespace fake::detail;

namespace {

std::size_t componentsOf(GLenum format)
{
    switch (format) {
    case GL_RGBA:
        return 4;
    case GL_RGB:
        return 3;
    case GL_LUMINANCE_ALPHA:
        return 2;
    case GL_LUMINANCE:
    case GL_ALPHA:
    case GL_RED:
        return 1;
    default:
        return 0;
    }
}

// Rows start on 4-byte boundaries, OpenGL's initial unpack alignment.
std::vector<unsigned char> copyPixels(GLsizei width, GLsizei height, GLenum format, GLenum type, const void* pixels)
{
    const std::size_t components = componentsOf(format);
    if (pixels == nullptr || type != GL_UNSIGNED_BYTE || components == 0 || width <= 0 || height <= 0)
        return {};
    const std::size_t rowBytes = (static_cast<std::size_t>(width) * components + 3) / 4 * 4;
    const unsigned char* bytes = static_cast<const unsigned char*>(pixels);
    return std::vector<unsigned char>(bytes, bytes + rowBytes * static_cast<std::size_t>(height));
}

void keepUpload(const char* call, GLint internalFormat, GLsizei width, GLsizei height, GLenum format, GLenum type,
                const void* pixels)
{
    state().uploads.push_back(
        Upload{call, internalFormat, width, height, format, type, copyPixels(width, height, format, type, pixels)});
}

} // namespace

void GLAPIENTRY glClear(GLbitfield mask)
{
    record("glClear", {integer(mask)});
}

void GLAPIENTRY glBegin(GLenum mode)
{
    record("glBegin", {integer(mode)});
}

void GLAPIENTRY glEnd()
{
    record("glEnd", {});
}

void GLAPIENTRY glColor3f(GLfloat red, GLfloat green, GLfloat blue)
{
    record("glColor3f", {real(red), real(green), real(blue)});
}

void GLAPIENTRY glColor4f(GLfloat red, GLfloat green, GLfloat blue, GLfloat alpha)
{
    record("glColor4f", {real(red), real(green), real(blue), real(alpha)});
}

void GLAPIENTRY glTexCoord2f(GLfloat s, GLfloat t)
{
    record("glTexCoord2f", {real(s), real(t)});
}

void GLAPIENTRY glVertex2f(GLfloat x, GLfloat y)
{
    record("glVertex2f", {real(x), real(y)});
}

void GLAPIENTRY glVertex3f(GLfloat x, GLfloat y, GLfloat z)
{
    record("glVertex3f", {real(x), real(y), real(z)});
}

void GLAPIENTRY glViewport(GLint x, GLint y, GLsizei width, GLsizei height)
{
    record("glViewport", {integer(x), integer(y), integer(width), integer(height)});
}

void GLAPIENTRY glMatrixMode(GLenum mode)
{
    record("glMatrixMode", {integer(mode)});
}

void GLAPIENTRY glLoadIdentity()
{
    record("glLoadIdentity", {});
}

void GLAPIENTRY glEnable(GLenum capability)
{
    record("glEnable", {integer(capability)});
}

void GLAPIENTRY glDisable(GLenum capability)
{
    record("glDisable", {integer(capability)});
}

void GLAPIENTRY glShadeModel(GLenum mode)
{
    record("glShadeModel", {integer(mode)});
}

void GLAPIENTRY glClearColor(GLclampf red, GLclampf green, GLclampf blue, GLclampf alpha)
{
    record("glClearColor", {real(red), real(green), real(blue), real(alpha)});
}

void GLAPIENTRY glClearDepth(GLclampd depth)
{
    record("glClearDepth", {real(depth)});
}

void GLAPIENTRY glDepthFunc(GLenum function)
{
    record("glDepthFunc", {integer(function)});
}

void GLAPIENTRY glBlendFunc(GLenum source, GLenum destination)
{
    record("glBlendFunc", {integer(source), integer(destination)});
}

void GLAPIENTRY glOrtho(GLdouble left, GLdouble right, GLdouble bottom, GLdouble top, GLdouble nearValue,
                        GLdouble farValue)
{
    record("glOrtho", {real(left), real(right), real(bottom), real(top), real(nearValue), real(farValue)});
}

void GLAPIENTRY glScalef(GLfloat x, GLfloat y, GLfloat z)
{
    record("glScalef", {real(x), real(y), real(z)});
}

void GLAPIENTRY glTranslatef(GLfloat x, GLfloat y, GLfloat z)
{
    record("glTranslatef", {real(x), real(y), real(z)});
}

void GLAPIENTRY glBindTexture(GLenum target, GLuint texture)
{
    record("glBindTexture", {integer(target), integer(texture)});
}

void GLAPIENTRY glGenTextures(GLsizei n, GLuint* textures)
{
    if (record("glGenTextures", {integer(n)}))
        return;
    for (GLsizei i = 0; i < n; ++i)
        textures[i] = ++state().texturesMade;
}

void GLAPIENTRY glDeleteTextures(GLsizei n, const GLuint* textures)
{
    std::vector<std::string> args = {integer(n)};
    for (GLsizei i = 0; i < n; ++i)
        args.push_back(integer(textures[i]));
    record("glDeleteTextures", std::move(args));
}

void GLAPIENTRY glTexParameteri(GLenum target, GLenum name, GLint value)
{
    record("glTexParameteri", {integer(target), integer(name), integer(value)});
}

void GLAPIENTRY glTexParameterf(GLenum target, GLenum name, GLfloat value)
{
    record("glTexParameterf", {integer(target), integer(name), real(value)});
}

void GLAPIENTRY glPixelStorei(GLenum name, GLint value)
{
    record("glPixelStorei", {integer(name), integer(value)});
}

void GLAPIENTRY glTexImage2D(GLenum target, GLint level, GLint internalFormat, GLsizei width, GLsizei height,
                             GLint border, GLenum format, GLenum type, const GLvoid* pixels)
{
    if (record("glTexImage2D", {integer(target), integer(level), integer(internalFormat), integer(width),
                                integer(height), integer(border), integer(format), integer(type)}))
        return;
    keepUpload("glTexImage2D", internalFormat, width, height, format, type, pixels);
}

GLenum GLAPIENTRY glGetError()
{
    return record("glGetError", {}) ? GL_OUT_OF_MEMORY : GL_NO_ERROR;
}

void GLAPIENTRY glFlush()
{
    record("glFlush", {});
}

void GLAPIENTRY glFinish()
{
    record("glFinish", {});
}

GLint GLAPIENTRY gluBuild2DMipmaps(GLenum target, GLint internalFormat, GLsizei width, GLsizei height, GLenum format,
                                   GLenum type, const void* data)
{
    if (record("gluBuild2DMipmaps", {integer(target), integer(internalFormat), integer(width), integer(height),
                                     integer(format), integer(type)}))
        return GLU_OUT_OF_MEMORY;
    keepUpload("gluBuild2DMipmaps", internalFormat, width, height, format, type, data);
    return 0;
}

namespace fake {

const std::vector<Upload>& uploads()
{
    return state().uploads;
}

} // namespace fake
