// What both backends make of FSOUND_Stream_OpenMpeg: the file checked, then
// opened for decoding at its own rate and kept in the backend's list.
#ifndef QORX_PLATFORM_FSOUND_SOUNDSTREAMS_H
#define QORX_PLATFORM_FSOUND_SOUNDSTREAMS_H

#include <fmod.h>
#include <fsound_decode.h>

struct FSOUND_STREAM {
    FSOUND_DECODER* decoder;
    int rate;
    FSOUND_STREAM* next;
};

// How a backend says, once, why the music stays silent.
typedef void (*SoundProblem)(const char* what, const char* detail);

// Links the opened stream at the head of *streams, or says through `report`
// why there is none and returns null.
FSOUND_STREAM* openStream(const char* fileName, FSOUND_STREAM** streams, SoundProblem report);

#endif
