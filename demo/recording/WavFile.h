#ifndef QORX_DEMO_RECORDING_WAVFILE_H
#define QORX_DEMO_RECORDING_WAVFILE_H

#include <cstdint>
#include <cstdio>
#include <string>

// A 16-bit stereo PCM WAV file of a length known from the start, written a
// block at a time so that long sound never sits in memory whole.
class WavFile {
public:
    WavFile();
    virtual ~WavFile();
    WavFile(const WavFile&) = delete;
    WavFile& operator=(const WavFile&) = delete;

    // Starts the file for `frames` pairs of left and right samples. False when
    // it cannot be made, or would pass the format's 4 GiB.
    bool open(const std::string& path, int32_t rate, uint32_t frames);
    // Adds `count` pairs of samples; more than were announced are refused.
    bool append(const int16_t* samples, uint32_t count);
    // Ends the file: true only when every announced frame was written. A
    // failed or unfinished file is removed, here or by the destructor.
    bool close();

private:
    std::FILE* file;
    std::string filePath;
    uint32_t announced;
    uint32_t written;
    bool failed;
};

#endif
