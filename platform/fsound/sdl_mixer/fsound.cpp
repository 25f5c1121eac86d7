// The presentation's six sound calls over SDL2_mixer. Sound is a nicety: no
// device, a missing file or a bad file leaves the presentation silent and is
// reported in a single line on standard error, however many calls fail. The
// line waits until the presentation starts playing: a program that cannot
// show anything at all says only why not.
#include <fmod.h>

#include "Mp3Frames.h"
#include "StderrMute.h"

#include <SDL.h>
#include <SDL_mixer.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>

// Every opened stream stays linked in the layer's state until the layer
// stops at exit.
struct FSOUND_STREAM {
    Mix_Music* music;
    FSOUND_STREAM* next;
};

namespace {

const int ChunkFrames = 2048; // ~46 ms of latency: music only, no effects to sync
const int LoopForever = -1;
const int StereoChannels = 2;
const size_t ReportLength = 512;

// Everything the sound layer holds, on the thread that makes the six calls;
// SDL's audio thread sees only SDL_mixer's own state. It starts with
// FSOUND_Init and stops at exit.
struct SoundState {
    bool audioOpen;
    bool stopRegistered;
    // The one line, kept from the first failure until playing starts.
    bool failed;
    bool reported;
    char report[ReportLength];
    FSOUND_STREAM* streams;
};

SoundState soundState = {false, false, false, false, "", nullptr};

// Whatever goes wrong first is the only thing said; later failures follow
// from it or would repeat it.
void reportOnce(const char* what, const char* detail)
{
    if (soundState.failed)
        return;
    soundState.failed = true;
    std::snprintf(soundState.report, sizeof soundState.report, "qorx: running silently: %s: %s\n", what, detail);
}

// The presentation is playing: the line is due now, once.
void sayWhySilent()
{
    if (!soundState.failed || soundState.reported)
        return;
    soundState.reported = true;
    std::fputs(soundState.report, stderr);
    std::fflush(stderr);
}

void stopSound()
{
    if (soundState.audioOpen) {
        Mix_HaltMusic();
        for (FSOUND_STREAM* stream = soundState.streams; stream != nullptr;) {
            FSOUND_STREAM* next = stream->next;
            Mix_FreeMusic(stream->music);
            delete stream;
            stream = next;
        }
        Mix_CloseAudio();
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
    }
    soundState.audioOpen = false;
    soundState.streams = nullptr;
}

// Returns what failed, or null; SDL's error says why.
const char* startAudio(int mixRate)
{
    // Signals belong to the window layer, which turns them into the close
    // path; SDL would otherwise take them over with its first subsystem and
    // turn them into a quit event nobody reads.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0)
        return "no sound device";
    if (Mix_OpenAudio(mixRate, AUDIO_S16SYS, StereoChannels, ChunkFrames) == 0)
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

Mix_Music* loadMusicQuietly(const char* fileName)
{
    StderrMute mute;
    return Mix_LoadMUS(fileName);
}

Mix_Music* loadMp3(const char* fileName)
{
    const char* problem = mp3FileProblem(fileName);
    if (problem != nullptr) {
        reportOnce(fileName, problem);
        return nullptr;
    }
    Mix_Music* music = loadMusicQuietly(fileName);
    if (!music)
        reportOnce(fileName, "not a playable MP3 file");
    return music;
}

FSOUND_STREAM* keepStream(Mix_Music* music)
{
    FSOUND_STREAM* stream = new (std::nothrow) FSOUND_STREAM{music, soundState.streams};
    if (!stream) {
        Mix_FreeMusic(music);
        reportOnce("stream", "out of memory");
        return nullptr;
    }
    soundState.streams = stream;
    return stream;
}

} // namespace

signed char F_API FSOUND_Init(int mixRate, int, unsigned int)
{
    if (!soundState.audioOpen)
        soundState.audioOpen = openAudio(mixRate);
    if (soundState.audioOpen && !soundState.stopRegistered)
        soundState.stopRegistered = std::atexit(stopSound) == 0;
    return soundState.audioOpen ? 1 : 0;
}

FSOUND_STREAM* F_API FSOUND_Stream_OpenMpeg(const char* fileName, unsigned int)
{
    if (!soundState.audioOpen || !fileName)
        return nullptr; // without output there is nothing to decode for
    Mix_Music* music = loadMp3(fileName);
    return music ? keepStream(music) : nullptr;
}

int F_API FSOUND_Stream_Play(int, FSOUND_STREAM* stream)
{
    int result = -1;
    if (stream && Mix_PlayMusic(stream->music, LoopForever) == 0)
        result = 0;
    else if (stream)
        reportOnce("cannot play", SDL_GetError());
    sayWhySilent();
    return result;
}

// SDL mixes in its own audio thread; per frame there is at most the line to
// say, for a program that never asked to play.
void F_API FSOUND_3D_Update(void)
{
    sayWhySilent();
}
