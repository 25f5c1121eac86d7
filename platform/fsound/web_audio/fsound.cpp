// The presentation's six sound calls over Web Audio: libmpg123 decodes, as on
// the desktop, and each frame's FSOUND_3D_Update schedules the next blocks
// back to back on the audio context's clock, at the file's own rate, so the
// loop has no gap. Sound is a nicety: a missing or bad file leaves the
// presentation silent and is reported in a single line on the console.
#include "SilenceReport.h"
#include "SoundStreams.h"

#include <emscripten.h>

namespace {

const int Channels = 2;
const unsigned int BlockFrames = 4096;
// Enough queued to ride out a late animation frame or two.
const double AheadSeconds = 0.4;

// Everything the sound layer holds; it starts with FSOUND_Init and lasts as
// long as the page.
struct SoundState {
    bool started;
    SilenceReport silence; // kept from the first failure until playing starts
    FSOUND_STREAM* streams;
    FSOUND_STREAM* playing;
    bool decoding;
    short block[BlockFrames * Channels];
};

SoundState sound = {false, {false, false, ""}, nullptr, nullptr, false, {}};

// The page's side: one context at the stream's rate, blocks queued on its
// clock, and the first decoded samples kept for a test to compare.
EM_JS(void, qorx_audio_open, (int rate), {
    var page = window.qorx || (window.qorx = {});
    var Context = window.AudioContext || window.webkitAudioContext;
    var audio = {context : null, next : 0, rate : rate, kept : [], keptCount : 0};
    try {
        audio.context = new Context({sampleRate : rate});
    } catch (error) {
        audio.context = null;
    }
    Module["qorxAudio"] = audio;
    page.soundSamples = function(count)
    {
        var out = [];
        for (var i = 0; i < audio.kept.length && out.length < count; ++i)
            for (var j = 0; j < audio.kept[i].length && out.length < count; ++j)
                out.push(audio.kept[i][j]);
        return out;
    };
    // Pages start their sound only after a gesture; any key or click then
    // resumes it.
    var resume = function()
    {
        if (audio.context && audio.context.state == "suspended")
            audio.context.resume();
    };
    window.addEventListener("keydown", resume);
    window.addEventListener("click", resume);
    resume();
});

EM_JS(double, qorx_audio_ahead, (void), {
    var audio = Module["qorxAudio"];
    if (!audio || !audio.context)
        return 1e9;
    return audio.next - audio.context.currentTime;
});

EM_JS(void, qorx_audio_queue, (const short* samples, int frames), {
    var audio = Module["qorxAudio"];
    var pcm = HEAP16.subarray(samples >> 1, (samples >> 1) + frames * 2);
    // About half a minute of the start is kept for soundSamples.
    if (audio.keptCount < audio.rate * 2 * 30) {
        audio.kept.push(Int16Array.from(pcm));
        audio.keptCount += pcm.length;
    }
    if (!audio.context)
        return;
    var buffer = audio.context.createBuffer(2, frames, audio.rate);
    var left = buffer.getChannelData(0), right = buffer.getChannelData(1);
    for (var i = 0; i < frames; ++i) {
        left[i] = pcm[2 * i] / 32768;
        right[i] = pcm[2 * i + 1] / 32768;
    }
    var now = audio.context.currentTime;
    // Fallen behind (the page was hidden): start again a little ahead.
    if (audio.next < now)
        audio.next = now + 0.05;
    var source = audio.context.createBufferSource();
    source.buffer = buffer;
    source.connect(audio.context.destination);
    source.start(audio.next);
    audio.next += frames / audio.rate;
});

void reportOnce(const char* what, const char* detail)
{
    sound.silence.keepFirst(what, detail);
}

// Keeps the context fed; the decoder starts the file again where it ends.
void queueAhead()
{
    while (sound.decoding && qorx_audio_ahead() < AheadSeconds) {
        const unsigned int frames = FSOUND_Decoder_Read(sound.playing->decoder, sound.block, BlockFrames);
        sound.decoding = frames == BlockFrames;
        if (frames > 0)
            qorx_audio_queue(sound.block, static_cast<int>(frames));
    }
}

} // namespace

signed char F_API FSOUND_Init(int, int, unsigned int)
{
    sound.started = true;
    return 1;
}

FSOUND_STREAM* F_API FSOUND_Stream_OpenMpeg(const char* fileName, unsigned int)
{
    if (!sound.started || !fileName)
        return nullptr;
    return openStream(fileName, &sound.streams, reportOnce);
}

int F_API FSOUND_Stream_Play(int, FSOUND_STREAM* stream)
{
    sound.silence.sayOnce();
    if (stream == nullptr)
        return -1;
    if (sound.playing == nullptr)
        qorx_audio_open(stream->rate);
    sound.playing = stream;
    sound.decoding = true;
    queueAhead();
    return 0;
}

void F_API FSOUND_3D_Update(void)
{
    sound.silence.sayOnce();
    if (sound.playing != nullptr)
        queueAhead();
}
