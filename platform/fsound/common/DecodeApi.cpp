// The sound layer's decoding call, the same on every platform: libmpg123
// decodes, with the gapless decoding the looping stream gets, so that a
// recording's sound runs over the loop's seam as the music does.
#include <fsound_decode.h>

#include "Mp3Frames.h"

#include <mpg123.h>

#include <cstdio>
#include <new>

struct FSOUND_DECODER {
    mpg123_handle* decoder;
};

namespace {

const int Channels = 2;

// 16-bit stereo at the file's own rate: mono is spread over both channels.
mpg123_handle* openDecoder(const char* fileName, long* rate)
{
    mpg123_handle* decoder = mpg123_new(NULL, NULL);
    if (decoder == NULL)
        return NULL;
    mpg123_param(decoder, MPG123_ADD_FLAGS, MPG123_QUIET | MPG123_GAPLESS, 0);
    mpg123_format_none(decoder);
    const long* rates = NULL;
    size_t rateCount = 0;
    mpg123_rates(&rates, &rateCount);
    for (size_t index = 0; index < rateCount; ++index)
        mpg123_format(decoder, rates[index], MPG123_STEREO, MPG123_ENC_SIGNED_16);
    int channels = 0;
    int encoding = 0;
    if (mpg123_open(decoder, fileName) == MPG123_OK &&
        mpg123_getformat(decoder, rate, &channels, &encoding) == MPG123_OK)
        return decoder;
    mpg123_delete(decoder);
    return NULL;
}

} // namespace

extern "C" {

FSOUND_DECODER* F_API FSOUND_Decoder_OpenMpeg(const char* fileName, int* sampleRate)
{
    if (fileName == nullptr || sampleRate == nullptr || mpg123_init() != MPG123_OK ||
        mp3FileProblem(fileName) != nullptr)
        return nullptr;
    long rate = 0;
    mpg123_handle* decoder = openDecoder(fileName, &rate);
    if (decoder == NULL)
        return nullptr;
    FSOUND_DECODER* opened = new (std::nothrow) FSOUND_DECODER{decoder};
    if (opened == nullptr) {
        mpg123_delete(decoder);
        return nullptr;
    }
    *sampleRate = static_cast<int>(rate);
    return opened;
}

unsigned int F_API FSOUND_Decoder_Read(FSOUND_DECODER* decoder, short* samples, unsigned int frames)
{
    if (decoder == nullptr || samples == nullptr)
        return 0;
    const size_t frameBytes = Channels * sizeof(short);
    unsigned char* out = reinterpret_cast<unsigned char*>(samples);
    size_t filled = 0;
    bool restarted = false;
    while (filled < frames * frameBytes) {
        size_t done = 0;
        const int result = mpg123_read(decoder->decoder, out + filled, frames * frameBytes - filled, &done);
        filled += done;
        if (done > 0)
            restarted = false;
        if (result == MPG123_DONE) {
            // A file that gives nothing from its start would spin for ever.
            if (restarted || mpg123_seek(decoder->decoder, 0, SEEK_SET) < 0)
                break;
            restarted = true;
        } else if (result != MPG123_OK && result != MPG123_NEW_FORMAT) {
            break;
        }
    }
    return static_cast<unsigned int>(filled / frameBytes);
}

void F_API FSOUND_Decoder_Close(FSOUND_DECODER* decoder)
{
    if (decoder == nullptr)
        return;
    mpg123_delete(decoder->decoder);
    delete decoder;
}

} // extern "C"
