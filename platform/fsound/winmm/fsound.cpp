// The presentation's six sound calls on Windows: libmpg123 decodes, waveOut
// (winmm) plays. Sound is a nicety: no device, a missing file or a bad file
// leaves the presentation silent and is reported in a single line, however
// many calls fail. A program without a console has nowhere to show stderr, so
// the line also goes to the debugger's output.
#include "SoundStreams.h"

#include <windows.h>

#include <mmsystem.h>

#include <cstdio>
#include <cstring>
#include <new>

namespace {

const int Channels = 2;
const int BytesPerSample = 2;
const int BufferCount = 4;
// About 93 ms a buffer at 44.1 kHz: music only, no effects to keep in step.
const int FramesPerBuffer = 4096;
const int BufferBytes = FramesPerBuffer * Channels * BytesPerSample;

// The buffers waveOut plays in turn; the feeder thread refills each one as
// the device hands it back.
struct Playback {
    HWAVEOUT device;
    HANDLE bufferDone;
    FSOUND_STREAM* stream;
    bool decoding;
    WAVEHDR headers[BufferCount];
    short samples[BufferCount][FramesPerBuffer * Channels];
};

// The sound layer's process-wide state. Everything but the feeder thread's
// Playback belongs to the thread that calls the six functions.
struct SoundState {
    bool audioOpen;
    bool complained;
    FSOUND_STREAM* openStreams; // nothing closes them: the music stops with the process
};

SoundState sound = {false, false, nullptr};

// Whatever goes wrong first is the only thing said; later failures follow
// from it or would repeat it.
void reportOnce(const char* what, const char* detail)
{
    if (sound.complained)
        return;
    sound.complained = true;
    char line[512];
    std::snprintf(line, sizeof line, "qorx: running silently: %s: %s\n", what, detail);
    std::fputs(line, stderr);
    std::fflush(stderr);
    OutputDebugStringA(line);
}

WAVEFORMATEX waveFormat(long rate)
{
    WAVEFORMATEX format;
    std::memset(&format, 0, sizeof format);
    format.wFormatTag = WAVE_FORMAT_PCM;
    format.nChannels = Channels;
    format.nSamplesPerSec = static_cast<DWORD>(rate);
    format.wBitsPerSample = 8 * BytesPerSample;
    format.nBlockAlign = Channels * BytesPerSample;
    format.nAvgBytesPerSec = format.nSamplesPerSec * format.nBlockAlign;
    return format;
}

void reportDeviceError(const char* what, MMRESULT result)
{
    char text[MAXERRORLENGTH] = "";
    if (waveOutGetErrorTextA(result, text, sizeof text) != MMSYSERR_NOERROR)
        std::snprintf(text, sizeof text, "error %u", result);
    reportOnce(what, text);
}

// Asks the device whether it would play 16-bit stereo at the rate, without
// opening it.
bool deviceAccepts(long rate)
{
    if (waveOutGetNumDevs() == 0) {
        reportOnce("no sound device", "no wave output device");
        return false;
    }
    WAVEFORMATEX format = waveFormat(rate);
    const MMRESULT result = waveOutOpen(NULL, WAVE_MAPPER, &format, 0, 0, WAVE_FORMAT_QUERY);
    if (result == MMSYSERR_NOERROR)
        return true;
    reportDeviceError("cannot open sound output", result);
    return false;
}

// Fills a buffer; the decoder starts the file again where it ends, without
// a gap. A stream that stops decoding leaves silence.
void decodeInto(Playback& playback, short* out)
{
    unsigned int frames = 0;
    if (playback.decoding)
        frames = FSOUND_Decoder_Read(playback.stream->decoder, out, FramesPerBuffer);
    playback.decoding = frames == FramesPerBuffer;
    std::memset(out + frames * Channels, 0, (FramesPerBuffer - frames) * Channels * BytesPerSample);
}

void queueBuffer(Playback& playback, int index)
{
    WAVEHDR& header = playback.headers[index];
    decodeInto(playback, playback.samples[index]);
    header.dwFlags &= ~static_cast<DWORD>(WHDR_DONE);
    waveOutWrite(playback.device, &header, sizeof header);
}

DWORD WINAPI feedDevice(LPVOID parameter)
{
    Playback& playback = *static_cast<Playback*>(parameter);
    for (;;) {
        WaitForSingleObject(playback.bufferDone, INFINITE);
        for (int index = 0; index < BufferCount; ++index) {
            if (playback.headers[index].dwFlags & WHDR_DONE)
                queueBuffer(playback, index);
        }
    }
}

// Only for a playback whose feeder never started: the device gives every
// buffer back on reset, so none is in use when it closes.
void closePlayback(Playback* playback)
{
    waveOutReset(playback->device);
    for (int index = 0; index < BufferCount; ++index)
        waveOutUnprepareHeader(playback->device, &playback->headers[index], sizeof playback->headers[index]);
    waveOutClose(playback->device);
    CloseHandle(playback->bufferDone);
    delete playback;
}

// The device, its buffers and the thread that feeds them live as long as the
// process.
bool startPlayback(FSOUND_STREAM* stream)
{
    Playback* playback = new (std::nothrow) Playback();
    if (playback == nullptr) {
        reportOnce("cannot play", "out of memory");
        return false;
    }
    playback->stream = stream;
    playback->decoding = true;
    playback->bufferDone = CreateEventA(NULL, FALSE, FALSE, NULL);
    WAVEFORMATEX format = waveFormat(stream->rate);
    const MMRESULT result = waveOutOpen(&playback->device, WAVE_MAPPER, &format,
                                        reinterpret_cast<DWORD_PTR>(playback->bufferDone), 0, CALLBACK_EVENT);
    if (playback->bufferDone == NULL || result != MMSYSERR_NOERROR) {
        reportDeviceError("cannot play", result);
        if (playback->bufferDone != NULL)
            CloseHandle(playback->bufferDone);
        delete playback;
        return false;
    }
    for (int index = 0; index < BufferCount; ++index) {
        WAVEHDR& header = playback->headers[index];
        header.lpData = reinterpret_cast<LPSTR>(playback->samples[index]);
        header.dwBufferLength = BufferBytes;
        waveOutPrepareHeader(playback->device, &header, sizeof header);
        queueBuffer(*playback, index);
    }
    HANDLE feeder = CreateThread(NULL, 0, feedDevice, playback, 0, NULL);
    if (feeder == NULL) {
        reportOnce("cannot play", "no thread to feed the sound device");
        closePlayback(playback);
        return false;
    }
    CloseHandle(feeder);
    return true;
}

} // namespace

// The stream plays at the file's own rate; the mix rate asked for only
// serves to ask the device whether it plays at all.
signed char F_API FSOUND_Init(int mixRate, int, unsigned int)
{
    if (!sound.audioOpen)
        sound.audioOpen = deviceAccepts(mixRate);
    return sound.audioOpen ? 1 : 0;
}

FSOUND_STREAM* F_API FSOUND_Stream_OpenMpeg(const char* fileName, unsigned int)
{
    if (!sound.audioOpen || !fileName)
        return nullptr; // without output there is nothing to decode for
    return openStream(fileName, &sound.openStreams, reportOnce);
}

int F_API FSOUND_Stream_Play(int, FSOUND_STREAM* stream)
{
    if (!stream)
        return -1;
    return startPlayback(stream) ? 0 : -1;
}

// The feeder thread keeps the device busy; there is nothing to do per frame.
void F_API FSOUND_3D_Update(void) {}
