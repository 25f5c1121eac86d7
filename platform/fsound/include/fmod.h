// The six calls of the sound library that the presentation makes. Results
// other than the stream handle are never examined by the presentation.
#ifndef QORX_PLATFORM_FMOD_H
#define QORX_PLATFORM_FMOD_H

#if defined(_WIN32)
#define F_API __stdcall
#else
#define F_API
#endif

#ifdef __cplusplus
extern "C" {
#endif

typedef struct FSOUND_STREAM FSOUND_STREAM;

signed char F_API FSOUND_SetOutput(int outputType);
signed char F_API FSOUND_SetMixer(int mixer);
signed char F_API FSOUND_Init(int mixRate, int maxChannels, unsigned int flags);
FSOUND_STREAM* F_API FSOUND_Stream_OpenMpeg(const char* fileName, unsigned int mode);
int F_API FSOUND_Stream_Play(int channel, FSOUND_STREAM* stream);
void F_API FSOUND_3D_Update(void);

#ifdef __cplusplus
}
#endif

#endif
