#ifndef QORX_DEMO_RECORDING_VIDEOENCODER_H
#define QORX_DEMO_RECORDING_VIDEOENCODER_H

#include <string>

// Makes one video with sound from a recording's numbered PNG files and its
// soundtrack.wav, with the ffmpeg program found on the PATH. It is run through
// the system's command interpreter (sh, or cmd on Windows), so the paths
// handed to it are double-quoted, and refused when they hold a character
// either interpreter would still read inside the quotes.
class VideoEncoder {
public:
    // The recording's sound, beside its frames.
    static const char* const SoundFile;

    // A path that can be handed over: none of " $ ` % and no line break.
    static bool quotable(const std::string& path);
    // Whether "ffmpeg -version" runs; its output goes to a file in `scratch`.
    static bool available(const std::string& scratch);
    // Encodes `folder`'s frames at 60 a second with its soundtrack.wav into
    // `video`, replacing a file of that name. ffmpeg reports its own errors.
    static bool encode(const std::string& folder, const std::string& video);
    // A new empty folder in the system's temporary folder; empty on failure.
    static std::string makeScratchFolder();
};

#endif
