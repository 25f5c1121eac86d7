#include "ScaledFramebuffer.h"

#include "Letterbox.h"

#include <SDL.h>

#include <GL/gl.h>
#include <GL/glext.h>

namespace {

// Framebuffer objects are not OpenGL 1.1: their entry points come from the
// driver at run time.
struct FramebufferCalls {
    PFNGLGENFRAMEBUFFERSPROC genFramebuffers;
    PFNGLDELETEFRAMEBUFFERSPROC deleteFramebuffers;
    PFNGLBINDFRAMEBUFFERPROC bindFramebuffer;
    PFNGLFRAMEBUFFERRENDERBUFFERPROC framebufferRenderbuffer;
    PFNGLCHECKFRAMEBUFFERSTATUSPROC checkFramebufferStatus;
    PFNGLGENRENDERBUFFERSPROC genRenderbuffers;
    PFNGLDELETERENDERBUFFERSPROC deleteRenderbuffers;
    PFNGLBINDRENDERBUFFERPROC bindRenderbuffer;
    PFNGLRENDERBUFFERSTORAGEPROC renderbufferStorage;
    PFNGLBLITFRAMEBUFFERPROC blitFramebuffer;
};

FramebufferCalls gl = {};

template <typename Function>
bool load(Function* call, const char* name)
{
    *call = reinterpret_cast<Function>(SDL_GL_GetProcAddress(name));
    return *call != nullptr;
}

bool loadCalls()
{
    if (gl.blitFramebuffer != nullptr)
        return true;
    FramebufferCalls calls;
    bool loaded =
        load(&calls.genFramebuffers, "glGenFramebuffers") && load(&calls.deleteFramebuffers, "glDeleteFramebuffers") &&
        load(&calls.bindFramebuffer, "glBindFramebuffer") &&
        load(&calls.framebufferRenderbuffer, "glFramebufferRenderbuffer") &&
        load(&calls.checkFramebufferStatus, "glCheckFramebufferStatus") &&
        load(&calls.genRenderbuffers, "glGenRenderbuffers") &&
        load(&calls.deleteRenderbuffers, "glDeleteRenderbuffers") &&
        load(&calls.bindRenderbuffer, "glBindRenderbuffer") &&
        load(&calls.renderbufferStorage, "glRenderbufferStorage") && load(&calls.blitFramebuffer, "glBlitFramebuffer");
    if (loaded)
        gl = calls;
    return loaded;
}

bool hasFramebufferObjects()
{
    const char* version = reinterpret_cast<const char*>(glGetString(GL_VERSION));
    bool version3 = version != nullptr && version[0] >= '3' && version[0] <= '9';
    return (version3 || SDL_GL_ExtensionSupported("GL_ARB_framebuffer_object")) && loadCalls();
}

unsigned int makeRenderbuffer(GLenum format, int width, int height)
{
    GLuint buffer = 0;
    gl.genRenderbuffers(1, &buffer);
    gl.bindRenderbuffer(GL_RENDERBUFFER, buffer);
    gl.renderbufferStorage(GL_RENDERBUFFER, format, width, height);
    gl.bindRenderbuffer(GL_RENDERBUFFER, 0);
    return buffer;
}

// A window of 16-bit colour gets a 16-bit picture, as an unscaled one would.
GLenum colourFormatOfWindow()
{
    GLint redBits = 8;
    glGetIntegerv(GL_RED_BITS, &redBits);
    return redBits <= 5 ? GL_RGB565 : GL_RGBA8;
}

} // namespace

bool ScaledFramebuffer::create(int width, int height, int depthBits, int stencilBits)
{
    if (framebuffer != 0)
        return true;
    if (width <= 0 || height <= 0 || !hasFramebufferObjects())
        return false;
    GLenum colourFormat = colourFormatOfWindow();
    GLuint made = 0;
    gl.genFramebuffers(1, &made);
    gl.bindFramebuffer(GL_FRAMEBUFFER, made);
    colour = makeRenderbuffer(colourFormat, width, height);
    gl.framebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, colour);
    if (stencilBits > 0) {
        depth = makeRenderbuffer(GL_DEPTH24_STENCIL8, width, height);
        gl.framebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_STENCIL_ATTACHMENT, GL_RENDERBUFFER, depth);
    } else if (depthBits > 0) {
        depth = makeRenderbuffer(depthBits > 16 ? GL_DEPTH_COMPONENT24 : GL_DEPTH_COMPONENT16, width, height);
        gl.framebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, depth);
    }
    if (gl.checkFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE) {
        gl.bindFramebuffer(GL_FRAMEBUFFER, 0);
        gl.deleteFramebuffers(1, &made);
        gl.deleteRenderbuffers(1, &colour);
        gl.deleteRenderbuffers(1, &depth);
        colour = depth = 0;
        return false;
    }
    framebuffer = made;
    pictureWidth = width;
    pictureHeight = height;
    return true;
}

void ScaledFramebuffer::bind() const
{
    if (framebuffer != 0)
        gl.bindFramebuffer(GL_FRAMEBUFFER, framebuffer);
}

void ScaledFramebuffer::copyToWindow(int windowWidth, int windowHeight) const
{
    if (framebuffer == 0)
        return;
    GLboolean scissor = glIsEnabled(GL_SCISSOR_TEST);
    GLfloat clearColour[4];
    glGetFloatv(GL_COLOR_CLEAR_VALUE, clearColour);
    GLboolean writeMask[4];
    glGetBooleanv(GL_COLOR_WRITEMASK, writeMask);

    glDisable(GL_SCISSOR_TEST);
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    gl.bindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
    gl.bindFramebuffer(GL_READ_FRAMEBUFFER, framebuffer);
    Letterbox box = Letterbox::fit(pictureWidth, pictureHeight, windowWidth, windowHeight);
    if (box.width != windowWidth || box.height != windowHeight) {
        glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT);
    }
    // OpenGL counts rows from the bottom; the box is centred, so only its
    // top edge needs turning round.
    int bottom = windowHeight - box.y - box.height;
    gl.blitFramebuffer(0, 0, pictureWidth, pictureHeight, box.x, bottom, box.x + box.width, bottom + box.height,
                       GL_COLOR_BUFFER_BIT, GL_LINEAR);

    glClearColor(clearColour[0], clearColour[1], clearColour[2], clearColour[3]);
    glColorMask(writeMask[0], writeMask[1], writeMask[2], writeMask[3]);
    if (scissor)
        glEnable(GL_SCISSOR_TEST);
}
