// The presentation's six sound calls over SDL2_mixer. Sound is a nicety: no
// device, a missing file or a bad file leaves the presentation silent and is
// reported in a single line on standard error, however many calls fail.
#include <fmod.h>

#include "Mp3Frames.h"
#include "StderrMute.h"

#include <SDL.h>
#include <SDL_mixer.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>

// Every opened stream stays linked here. Nothing closes a stream, so the
// list keeps each one reachable for as long as the process lives.
struct FSOUND_STREAM {
    Mix_Music* music;
    FSOUND_STREAM* next;
};

namespace {

constexpr int kChunkFrames = 2048; // ~46 ms of latency: music only, no effects to sync
constexpr int kLoopForever = -1;
// Larger is not a soundtrack. It also catches a directory, which opens as a
// file here and reports a size near LONG_MAX.
constexpr long kMaxFileBytes = 64L << 20;

bool audioOpen = false;
bool complained = false;
FSOUND_STREAM* openStreams = nullptr;

// Whatever goes wrong first is the only thing said; later failures follow
// from it or would repeat it.
void reportOnce(const char* what, const char* detail)
{
    if (complained)
        return;
    complained = true;
    std::fprintf(stderr, "qorx: running silently: %s: %s\n", what, detail);
}

// Returns what failed, or null; SDL's error says why.
const char* startAudio(int mixRate)
{
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0)
        return "no sound device";
    if (Mix_OpenAudio(mixRate, AUDIO_S16SYS, 2, kChunkFrames) == 0)
        return nullptr;
    return "cannot open sound output";
}

// The drivers are muted while they probe; the reason is copied out before the
// mute ends so that the one line printed afterwards can give it.
bool openAudio(int mixRate)
{
    const char* failure = nullptr;
    char reason[256] = "";
    {
        StderrMute mute;
        failure = startAudio(mixRate);
        if (failure) {
            SDL_strlcpy(reason, SDL_GetError(), sizeof reason);
            SDL_QuitSubSystem(SDL_INIT_AUDIO);
        }
    }
    if (failure)
        reportOnce(failure, reason);
    return !failure;
}

// The whole file is read once to look at its frames.
bool looksPlayable(const char* fileName)
{
    std::FILE* file = std::fopen(fileName, "rb");
    if (!file) {
        reportOnce(fileName, std::strerror(errno));
        return false;
    }
    long size = std::fseek(file, 0, SEEK_END) == 0 ? std::ftell(file) : -1;
    bool sized = size > 0 && size <= kMaxFileBytes;
    std::unique_ptr<unsigned char[]> data(sized ? new (std::nothrow) unsigned char[size] : nullptr);
    bool read = data && std::fseek(file, 0, SEEK_SET) == 0 &&
                std::fread(data.get(), 1, static_cast<std::size_t>(size), file) == static_cast<std::size_t>(size);
    std::fclose(file);
    if (read && mp3FramesAreIntact(data.get(), static_cast<std::size_t>(size)))
        return true;
    reportOnce(fileName, "not a playable MP3 file");
    return false;
}

Mix_Music* loadMusicQuietly(const char* fileName)
{
    StderrMute mute;
    return Mix_LoadMUS(fileName);
}

Mix_Music* loadMp3(const char* fileName)
{
    if (!looksPlayable(fileName))
        return nullptr;
    Mix_Music* music = loadMusicQuietly(fileName);
    if (!music)
        reportOnce(fileName, "not a playable MP3 file");
    return music;
}

FSOUND_STREAM* keepStream(Mix_Music* music)
{
    FSOUND_STREAM* stream = new (std::nothrow) FSOUND_STREAM{music, openStreams};
    if (!stream) {
        Mix_FreeMusic(music);
        reportOnce("stream", "out of memory");
        return nullptr;
    }
    openStreams = stream;
    return stream;
}

} // namespace

// Output driver and mixer choices belong to SDL here; accepted and ignored.
signed char F_API FSOUND_SetOutput(int)
{
    return 1;
}

signed char F_API FSOUND_SetMixer(int)
{
    return 1;
}

signed char F_API FSOUND_Init(int mixRate, int, unsigned int)
{
    if (!audioOpen)
        audioOpen = openAudio(mixRate);
    return audioOpen ? 1 : 0;
}

FSOUND_STREAM* F_API FSOUND_Stream_OpenMpeg(const char* fileName, unsigned int)
{
    if (!audioOpen || !fileName)
        return nullptr; // without output there is nothing to decode for
    Mix_Music* music = loadMp3(fileName);
    return music ? keepStream(music) : nullptr;
}

int F_API FSOUND_Stream_Play(int, FSOUND_STREAM* stream)
{
    if (!stream)
        return -1;
    if (Mix_PlayMusic(stream->music, kLoopForever) != 0) {
        reportOnce("cannot play", SDL_GetError());
        return -1;
    }
    return 0;
}

// SDL mixes in its own audio thread; there is nothing to do per frame.
void F_API FSOUND_3D_Update(void) {}
