#ifndef QORX_DEMO_RECORDING_RECORDING_H
#define QORX_DEMO_RECORDING_RECORDING_H

#include <cstdint>
#include <string>

// Everything of a recording but the drawing: the folder the frames go to
// (a scratch folder when the target is an .mp4 video), the sound of the
// stretch recorded, and at the end the video made and the scratch removed.
// Between begin() and finish() the caller draws the frames into folder()
// with a FrameRecorder.
class Recording {
public:
    Recording();
    virtual ~Recording();
    Recording(const Recording&) = delete;
    Recording& operator=(const Recording&) = delete;

    // Makes the folder and writes the sound of the first `frames` frames of
    // `soundtrack` (silence when it is not a playable MP3). False, with
    // `problem` set, when either fails.
    bool begin(const std::string& target, int32_t frames, const std::string& soundtrack);
    const std::string& folder() const { return frameFolder; }
    // Makes the video when one was asked for and says what was recorded.
    // False, with `problem` set, when ffmpeg fails.
    bool finish();

    std::string problem;

private:
    bool makeFolder();
    void removeScratch();

    std::string target;
    std::string frameFolder;
    int32_t frames;
    bool video;
};

#endif
