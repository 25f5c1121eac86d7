// The presentation's six sound calls over SDL2_mixer. Sound is a nicety: no
// device, a missing file or a bad file leaves the presentation silent and is
// reported in a single line on standard error, however many calls fail.
#include <fmod.h>

#include <SDL.h>
#include <SDL_mixer.h>

#include <cstdio>
#include <new>

// Every opened stream stays linked here. Nothing closes a stream, so the
// list keeps each one reachable for as long as the process lives.
struct FSOUND_STREAM {
    Mix_Music* music;
    FSOUND_STREAM* next;
};

namespace {

constexpr int kChunkFrames = 2048;  // ~46 ms of latency: music only, no effects to sync
constexpr int kLoopForever = -1;

bool audioOpen = false;
bool complained = false;
FSOUND_STREAM* openStreams = nullptr;

// Whatever goes wrong first is the only thing said; later failures follow
// from it or would repeat it.
void reportOnce(const char* what, const char* detail) {
    if (complained)
        return;
    complained = true;
    std::fprintf(stderr, "qorx: running silently: %s: %s\n", what, detail);
}

bool openAudio(int mixRate) {
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        reportOnce("no sound device", SDL_GetError());
        return false;
    }
    if (Mix_OpenAudio(mixRate, AUDIO_S16SYS, 2, kChunkFrames) != 0) {
        reportOnce("cannot open sound output", SDL_GetError());
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return false;
    }
    return true;
}

// Opened by extension and checked afterwards, so a file of another kind that
// merely carries the name is refused rather than played as noise.
Mix_Music* loadMp3(const char* fileName) {
    Mix_Music* music = Mix_LoadMUS(fileName);
    if (!music) {
        reportOnce(fileName, SDL_GetError());
        return nullptr;
    }
    if (Mix_GetMusicType(music) != MUS_MP3) {
        Mix_FreeMusic(music);
        reportOnce(fileName, "not an MP3 file");
        return nullptr;
    }
    return music;
}

FSOUND_STREAM* keepStream(Mix_Music* music) {
    FSOUND_STREAM* stream = new (std::nothrow) FSOUND_STREAM{music, openStreams};
    if (!stream) {
        Mix_FreeMusic(music);
        reportOnce("stream", "out of memory");
        return nullptr;
    }
    openStreams = stream;
    return stream;
}

}  // namespace

// Output driver and mixer choices belong to SDL here; accepted and ignored.
signed char F_API FSOUND_SetOutput(int) { return 1; }

signed char F_API FSOUND_SetMixer(int) { return 1; }

signed char F_API FSOUND_Init(int mixRate, int, unsigned int) {
    if (!audioOpen)
        audioOpen = openAudio(mixRate);
    return audioOpen ? 1 : 0;
}

FSOUND_STREAM* F_API FSOUND_Stream_OpenMpeg(const char* fileName, unsigned int) {
    if (!audioOpen || !fileName)
        return nullptr;  // without output there is nothing to decode for
    Mix_Music* music = loadMp3(fileName);
    return music ? keepStream(music) : nullptr;
}

int F_API FSOUND_Stream_Play(int, FSOUND_STREAM* stream) {
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
