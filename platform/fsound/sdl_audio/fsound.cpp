// The presentation's six sound calls over SDL2's audio output: libmpg123
// decodes, SDL's audio thread pulls the samples, converted to the mix rate.
// Sound is a nicety: no device, a missing file or a bad file leaves the
// presentation silent and is reported in a single line on standard error,
// however many calls fail. The line waits until the presentation starts
// playing: a program that cannot show anything at all says only why not.
#include "SilenceReport.h"
#include "SoundStreams.h"
#include "StderrMute.h"

#include <SDL.h>

#include <cstdlib>
#include <cstring>

namespace {

const int Channels = 2;
const int FrameBytes = Channels * static_cast<int>(sizeof(short));
const Uint16 DeviceFrames = 2048; // ~46 ms of latency: music only, no effects to sync
const unsigned int DecodeFrames = 4096;

// What SDL's audio thread reads; it is changed only with the device locked.
struct Playback {
    FSOUND_STREAM* stream;
    SDL_AudioStream* converter; // the file's rate to the mix rate
    bool decoding;              // false once the decoder has failed: silence follows
    short decoded[DecodeFrames * Channels];
};

// Everything the sound layer holds. Apart from the Playback, it belongs to
// the thread that makes the six calls. It starts with FSOUND_Init and stops
// at exit.
struct SoundState {
    SDL_AudioDeviceID device;
    int mixRate;
    bool stopRegistered;
    SilenceReport silence;  // kept from the first failure until playing starts
    FSOUND_STREAM* streams; // every stream opened, closed when the layer stops
    Playback playback;
};

SoundState sound = {0, 0, false, {false, false, ""}, nullptr, {nullptr, nullptr, false, {}}};

void reportOnce(const char* what, const char* detail)
{
    sound.silence.keepFirst(what, detail);
}

// Tops the converter up to `bytes` of output. The decoder starts the file
// again where it ends, without a gap; once it fails, what is left drains.
void decodeAtLeast(Playback& playback, int bytes)
{
    while (playback.decoding && SDL_AudioStreamAvailable(playback.converter) < bytes) {
        const unsigned int frames = FSOUND_Decoder_Read(playback.stream->decoder, playback.decoded, DecodeFrames);
        playback.decoding = frames == DecodeFrames;
        if (SDL_AudioStreamPut(playback.converter, playback.decoded, static_cast<int>(frames) * FrameBytes) != 0)
            playback.decoding = false;
        if (!playback.decoding)
            SDL_AudioStreamFlush(playback.converter);
    }
}

// SDL's audio thread: the device wants `bytes` of 16-bit stereo now.
void SDLCALL mix(void* userdata, Uint8* out, int bytes)
{
    Playback& playback = *static_cast<Playback*>(userdata);
    int filled = 0;
    if (playback.converter != nullptr) {
        decodeAtLeast(playback, bytes);
        filled = SDL_AudioStreamGet(playback.converter, out, bytes);
        if (filled < 0)
            filled = 0;
    }
    std::memset(out + filled, 0, static_cast<size_t>(bytes - filled));
}

void stopSound()
{
    if (sound.device != 0)
        SDL_CloseAudioDevice(sound.device); // waits for the audio thread
    if (sound.playback.converter != nullptr)
        SDL_FreeAudioStream(sound.playback.converter);
    for (FSOUND_STREAM* stream = sound.streams; stream != nullptr;) {
        FSOUND_STREAM* next = stream->next;
        FSOUND_Decoder_Close(stream->decoder);
        delete stream;
        stream = next;
    }
    if (sound.device != 0)
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
    sound.device = 0;
    sound.streams = nullptr;
    sound.playback = Playback{nullptr, nullptr, false, {}};
}

// Returns what failed, or null; SDL's error says why. The device opens
// paused and plays silence until a stream is played.
const char* startAudio(int mixRate)
{
    // Signals belong to the window layer, which turns them into the close
    // path; SDL would otherwise take them over with its first subsystem and
    // turn them into a quit event nobody reads.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0)
        return "no sound device";
    SDL_AudioSpec wanted;
    SDL_zero(wanted);
    wanted.freq = mixRate;
    wanted.format = AUDIO_S16SYS;
    wanted.channels = Channels;
    wanted.samples = DeviceFrames;
    wanted.callback = mix;
    wanted.userdata = &sound.playback;
    // Without allowed changes SDL converts to whatever the device takes.
    sound.device = SDL_OpenAudioDevice(nullptr, 0, &wanted, nullptr, 0);
    if (sound.device != 0)
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

// Hands the stream to the audio thread in place of whatever it played.
bool startPlayback(FSOUND_STREAM* stream)
{
    SDL_AudioStream* converter =
        SDL_NewAudioStream(AUDIO_S16SYS, Channels, stream->rate, AUDIO_S16SYS, Channels, sound.mixRate);
    if (converter == nullptr) {
        reportOnce("cannot play", SDL_GetError());
        return false;
    }
    SDL_LockAudioDevice(sound.device);
    SDL_AudioStream* previous = sound.playback.converter;
    sound.playback.stream = stream;
    sound.playback.converter = converter;
    sound.playback.decoding = true;
    SDL_UnlockAudioDevice(sound.device);
    if (previous != nullptr)
        SDL_FreeAudioStream(previous);
    SDL_PauseAudioDevice(sound.device, 0);
    return true;
}

} // namespace

signed char F_API FSOUND_Init(int mixRate, int, unsigned int)
{
    if (sound.device == 0 && openAudio(mixRate))
        sound.mixRate = mixRate;
    if (sound.device != 0 && !sound.stopRegistered)
        sound.stopRegistered = std::atexit(stopSound) == 0;
    return sound.device != 0 ? 1 : 0;
}

FSOUND_STREAM* F_API FSOUND_Stream_OpenMpeg(const char* fileName, unsigned int)
{
    if (sound.device == 0 || !fileName)
        return nullptr; // without output there is nothing to decode for
    return openStream(fileName, &sound.streams, reportOnce);
}

int F_API FSOUND_Stream_Play(int, FSOUND_STREAM* stream)
{
    const int result = stream != nullptr && startPlayback(stream) ? 0 : -1;
    sound.silence.sayOnce();
    return result;
}

// SDL mixes in its own audio thread; per frame there is at most the line to
// say, for a program that never asked to play.
void F_API FSOUND_3D_Update(void)
{
    sound.silence.sayOnce();
}
