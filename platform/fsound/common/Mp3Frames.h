// A structural look at an MP3 file before it reaches the decoder. libmpg123
// prints notes on standard error from the audio thread whenever it meets data
// that is not a clean run of frames, and with a looping stream it would do so
// on every pass; such a file is refused up front instead.
#ifndef QORX_PLATFORM_FSOUND_MP3FRAMES_H
#define QORX_PLATFORM_FSOUND_MP3FRAMES_H

#include <cstddef>

// True when the bytes are optional ID3v2 tags, then one or more MPEG audio
// frames of one version, layer and sample rate laid end to end, then nothing
// but an optional trailing tag (ID3v1, APE or Lyrics3). A last frame cut short
// is accepted: it merely ends the music early.
bool mp3FramesAreIntact(const unsigned char* data, std::size_t size);

// Reads the file whole and looks at its frames: null when it is a clean MP3,
// else what is wrong with it, in words fit for a user (the system's message
// for a file that cannot be read, "not a playable MP3 file" otherwise).
const char* mp3FileProblem(const char* fileName);

#endif
