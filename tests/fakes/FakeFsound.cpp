// A recording fake of the six sound calls, logging into the same call log as
// the Win32 and OpenGL fake. The stream handle is logged as "stream" or
// "NULL"; opening fails, as the real layer does, when the file cannot be read.
#include "FakePlatform.h"

#include <fmod.h>

#include <cstdio>

struct FSOUND_STREAM {
    int unused;
};

namespace {

FSOUND_STREAM theStream = {0};

const char* streamName(const FSOUND_STREAM* stream)
{
    return stream ? "stream" : "NULL";
}

bool readable(const char* fileName)
{
    FILE* file = fileName ? std::fopen(fileName, "rb") : nullptr;
    if (!file)
        return false;
    std::fclose(file);
    return true;
}

signed char result(bool failed)
{
    return failed ? 0 : 1;
}

} // namespace

extern "C" {

signed char FSOUND_SetOutput(int outputType)
{
    return result(fake::record("FSOUND_SetOutput", {fake::integer(outputType)}));
}

signed char FSOUND_SetMixer(int mixer)
{
    return result(fake::record("FSOUND_SetMixer", {fake::integer(mixer)}));
}

signed char FSOUND_Init(int mixRate, int maxChannels, unsigned int flags)
{
    return result(
        fake::record("FSOUND_Init", {fake::integer(mixRate), fake::integer(maxChannels), fake::integer(flags)}));
}

FSOUND_STREAM* FSOUND_Stream_OpenMpeg(const char* fileName, unsigned int mode)
{
    if (fake::record("FSOUND_Stream_OpenMpeg", {fake::text(fileName), fake::integer(mode)}))
        return nullptr;
    return readable(fileName) ? &theStream : nullptr;
}

int FSOUND_Stream_Play(int channel, FSOUND_STREAM* stream)
{
    if (fake::record("FSOUND_Stream_Play", {fake::integer(channel), streamName(stream)}) || !stream)
        return -1;
    return 0;
}

void FSOUND_3D_Update(void)
{
    fake::record("FSOUND_3D_Update", {});
}

} // extern "C"
