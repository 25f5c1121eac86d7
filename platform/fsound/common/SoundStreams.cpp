#include "SoundStreams.h"

#include "Mp3Frames.h"

#include <new>

FSOUND_STREAM* openStream(const char* fileName, FSOUND_STREAM** streams, SoundProblem report)
{
    const char* problem = mp3FileProblem(fileName);
    if (problem != nullptr) {
        report(fileName, problem);
        return nullptr;
    }
    int rate = 0;
    FSOUND_DECODER* decoder = FSOUND_Decoder_OpenMpeg(fileName, &rate);
    if (decoder == nullptr) {
        report(fileName, "not a playable MP3 file");
        return nullptr;
    }
    FSOUND_STREAM* stream = new (std::nothrow) FSOUND_STREAM{decoder, rate, *streams};
    if (stream == nullptr) {
        FSOUND_Decoder_Close(decoder);
        report("stream", "out of memory");
        return nullptr;
    }
    *streams = stream;
    return stream;
}
