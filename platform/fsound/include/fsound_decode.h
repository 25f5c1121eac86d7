// One call of the sound layer beyond the presentation's six: the soundtrack as
// samples rather than as sound, for a recording of the presentation. It needs
// no sound device and no FSOUND_Init.
#ifndef QORX_PLATFORM_FSOUND_DECODE_H
#define QORX_PLATFORM_FSOUND_DECODE_H

#include "fmod.h"

#ifdef __cplusplus
extern "C" {
#endif

typedef struct FSOUND_DECODER FSOUND_DECODER;

// Opens an MP3 file that FSOUND_Stream_OpenMpeg would play, to decode it as
// 16-bit stereo at its own sample rate, which goes to *sampleRate. NULL when
// the file is missing or not a clean MP3.
FSOUND_DECODER* F_API FSOUND_Decoder_OpenMpeg(const char* fileName, int* sampleRate);

// Decodes the next `frames` pairs of left and right samples into `samples`,
// going on from the start where the file ends, as the looping stream does.
// Returns the pairs decoded: fewer only when decoding fails.
unsigned int F_API FSOUND_Decoder_Read(FSOUND_DECODER* decoder, short* samples, unsigned int frames);

void F_API FSOUND_Decoder_Close(FSOUND_DECODER* decoder);

#ifdef __cplusplus
}
#endif

#endif
