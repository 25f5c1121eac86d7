#ifndef QORX_DEMO_RECORDING_FRAMERECORDER_H
#define QORX_DEMO_RECORDING_FRAMERECORDER_H

#include <cstdint>
#include <string>
#include <vector>

// Records frames off-screen: from start() on, OpenGL draws into a framebuffer
// object of the picture's size instead of the window, and each capture()
// writes the frame drawn there as the next numbered PNG file. Its calls are
// found through wglGetProcAddress, so it is the same code on Windows.
class FrameRecorder {
public:
    FrameRecorder();
    virtual ~FrameRecorder();
    FrameRecorder(const FrameRecorder&) = delete;
    FrameRecorder& operator=(const FrameRecorder&) = delete;

    // Needs a current OpenGL context of version 3.0, or one with
    // ARB_framebuffer_object or EXT_framebuffer_object. False, with
    // `problem` set, when it has none or the framebuffer is refused.
    bool start(const std::string& folder, int32_t width, int32_t height, int32_t frames);

    // Writes the frame just drawn. False, with `problem` set, when the file
    // cannot be written; no frame is taken after that.
    bool capture();

    // Back to drawing into the window, the framebuffer deleted. Needs the
    // context still current; closing the window frees it as well.
    void stop();

    // Every frame asked for is written, or writing failed.
    bool finished() const { return failed || captured >= wanted; }

    // The files' names, numbered from 1 with six digits (DemoOptions::MaxFrames).
    static const char* const FramePattern;
    static std::string frameName(int32_t number);

    std::string problem;
    int32_t captured;

private:
    std::string folder;
    int32_t width;
    int32_t height;
    int32_t wanted;
    bool failed;
    unsigned int framebuffer;
    unsigned int renderbuffers[2];
    std::vector<uint8_t> pixels;
};

#endif
