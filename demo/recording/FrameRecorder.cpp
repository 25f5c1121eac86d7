#include "demo/recording/FrameRecorder.h"

#include "PngFile.h"

#include <windows.h>

#include <GL/gl.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>

namespace {

// OpenGL 3.0 and ARB_framebuffer_object share these names and values;
// EXT_framebuffer_object has the same values under the suffix EXT.
const GLenum Framebuffer = 0x8D40;
const GLenum Renderbuffer = 0x8D41;
const GLenum ColorAttachment0 = 0x8CE0;
const GLenum DepthAttachment = 0x8D00;
const GLenum FramebufferComplete = 0x8CD5;
const GLenum Rgba8 = 0x8058;
const GLenum DepthComponent16 = 0x81A5;

typedef void(APIENTRY* GenNames)(GLsizei count, GLuint* names);
typedef void(APIENTRY* DeleteNames)(GLsizei count, const GLuint* names);
typedef void(APIENTRY* BindName)(GLenum target, GLuint name);
typedef void(APIENTRY* RenderbufferStorage)(GLenum target, GLenum format, GLsizei width, GLsizei height);
typedef void(APIENTRY* FramebufferRenderbuffer)(GLenum target, GLenum attachment, GLenum renderbufferTarget,
                                                GLuint renderbuffer);
typedef GLenum(APIENTRY* CheckFramebufferStatus)(GLenum target);

struct FramebufferCalls {
    GenNames genFramebuffers;
    DeleteNames deleteFramebuffers;
    BindName bindFramebuffer;
    GenNames genRenderbuffers;
    DeleteNames deleteRenderbuffers;
    BindName bindRenderbuffer;
    RenderbufferStorage renderbufferStorage;
    FramebufferRenderbuffer framebufferRenderbuffer;
    CheckFramebufferStatus checkFramebufferStatus;
};

// The calls live in whichever of the names the context offers; an empty
// suffix for OpenGL 3.0 and the ARB extension.
template <typename Call>
bool find(Call& call, const char* name, const char* suffix)
{
    const std::string full = std::string(name) + suffix;
    call = reinterpret_cast<Call>(reinterpret_cast<void (*)()>(wglGetProcAddress(full.c_str())));
    return call != nullptr;
}

bool hasExtension(const char* name)
{
    const char* extensions = reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS));
    if (extensions == nullptr)
        return false;
    const size_t length = std::strlen(name);
    for (const char* at = std::strstr(extensions, name); at != nullptr; at = std::strstr(at + length, name))
        if ((at == extensions || at[-1] == ' ') && (at[length] == ' ' || at[length] == '\0'))
            return true;
    return false;
}

// A driver may hand out a pointer for a name it does not implement, so the
// version or the extension is checked first.
bool findFramebufferCalls(FramebufferCalls& calls)
{
    const char* version = reinterpret_cast<const char*>(glGetString(GL_VERSION));
    const char* suffix = nullptr;
    if ((version != nullptr && std::atoi(version) >= 3) || hasExtension("GL_ARB_framebuffer_object"))
        suffix = "";
    else if (hasExtension("GL_EXT_framebuffer_object"))
        suffix = "EXT";
    else
        return false;
    return find(calls.genFramebuffers, "glGenFramebuffers", suffix) &&
           find(calls.deleteFramebuffers, "glDeleteFramebuffers", suffix) &&
           find(calls.bindFramebuffer, "glBindFramebuffer", suffix) &&
           find(calls.genRenderbuffers, "glGenRenderbuffers", suffix) &&
           find(calls.deleteRenderbuffers, "glDeleteRenderbuffers", suffix) &&
           find(calls.bindRenderbuffer, "glBindRenderbuffer", suffix) &&
           find(calls.renderbufferStorage, "glRenderbufferStorage", suffix) &&
           find(calls.framebufferRenderbuffer, "glFramebufferRenderbuffer", suffix) &&
           find(calls.checkFramebufferStatus, "glCheckFramebufferStatus", suffix);
}

// Found by start() in the current context, for it alone.
FramebufferCalls framebufferCalls;

} // namespace

const char* const FrameRecorder::FramePattern = "frame-%06d.png";

FrameRecorder::FrameRecorder()
    : captured(0), width(0), height(0), wanted(0), failed(false), framebuffer(0), renderbuffers{0, 0}
{
}

FrameRecorder::~FrameRecorder() {}

void FrameRecorder::stop()
{
    if (framebuffer == 0)
        return;
    framebufferCalls.bindFramebuffer(Framebuffer, 0);
    framebufferCalls.deleteFramebuffers(1, &framebuffer);
    framebufferCalls.deleteRenderbuffers(2, renderbuffers);
    framebuffer = 0;
    failed = true;
}

std::string FrameRecorder::frameName(int32_t number)
{
    char name[32];
    std::snprintf(name, sizeof name, FramePattern, static_cast<int>(number));
    return name;
}

bool FrameRecorder::start(const std::string& into, int32_t pictureWidth, int32_t pictureHeight, int32_t frames)
{
    folder = into;
    width = pictureWidth;
    height = pictureHeight;
    wanted = frames;
    captured = 0;
    failed = true;
    if (framebuffer != 0 || !findFramebufferCalls(framebufferCalls)) {
        problem = "this OpenGL has no framebuffer objects (OpenGL 3.0, ARB_ or EXT_framebuffer_object) "
                  "to draw off-screen";
        return false;
    }
    const FramebufferCalls& gl = framebufferCalls;
    gl.genFramebuffers(1, &framebuffer);
    gl.bindFramebuffer(Framebuffer, framebuffer);
    gl.genRenderbuffers(2, renderbuffers);
    gl.bindRenderbuffer(Renderbuffer, renderbuffers[0]);
    gl.renderbufferStorage(Renderbuffer, Rgba8, width, height);
    gl.framebufferRenderbuffer(Framebuffer, ColorAttachment0, Renderbuffer, renderbuffers[0]);
    // The window's pixel format asks for a 16-bit depth buffer.
    gl.bindRenderbuffer(Renderbuffer, renderbuffers[1]);
    gl.renderbufferStorage(Renderbuffer, DepthComponent16, width, height);
    gl.framebufferRenderbuffer(Framebuffer, DepthAttachment, Renderbuffer, renderbuffers[1]);
    gl.bindRenderbuffer(Renderbuffer, 0);
    if (gl.checkFramebufferStatus(Framebuffer) != FramebufferComplete) {
        problem = "OpenGL refused an off-screen framebuffer of " + std::to_string(width) + "x" + std::to_string(height);
        return false;
    }
    // The picture covers the framebuffer, as it covers an 800x600 screen.
    glViewport(0, 0, width, height);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    pixels.resize(static_cast<size_t>(width) * height * 3);
    failed = false;
    return true;
}

bool FrameRecorder::capture()
{
    if (finished())
        return false;
    glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
    const std::string path = (std::filesystem::path(folder) / frameName(captured + 1)).string();
    if (!PngFile::write(path, width, height, pixels.data())) {
        problem = "cannot write " + path;
        failed = true;
        return false;
    }
    ++captured;
    return true;
}
