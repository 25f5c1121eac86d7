// The sound layer with real SDL2 audio, real libmpg123 and the bundled soundtrack. Each case
// runs in a child process of its own (the parent never starts SDL): SDL reads
// its driver settings from the environment once, and the layer says at most
// one line per process.
#include <fmod.h>

#include "platform/fsound/common/Mp3Frames.h"
#include "support/Files.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <SDL.h>
#include <sys/stat.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

using testing::ExitedWithCode;

const char* const Soundtrack = QORX_SOUNDTRACK;
constexpr int MixRate = 44000;

testing::Matcher<const std::string&> oneLineNaming(const std::string& text)
{
    return testing::AllOf(
        testing::StartsWith("qorx: running silently: "), testing::HasSubstr(text),
        testing::Truly([](const std::string& s) { return std::count(s.begin(), s.end(), '\n') == 1; }));
}

// The calls in the presentation's order; returns the number of the first
// step that misbehaved, 0 when all went as expected.
int startUp(bool deviceExpected, const char* fileName, bool streamExpected)
{
    FSOUND_SetOutput(2);
    FSOUND_SetMixer(4);
    if ((FSOUND_Init(MixRate, 64, 0) != 0) != deviceExpected)
        return 1;
    FSOUND_STREAM* stream = FSOUND_Stream_OpenMpeg(fileName, 43);
    if ((stream != nullptr) != streamExpected)
        return 2;
    if ((FSOUND_Stream_Play(-1, stream) == 0) != streamExpected)
        return 3;
    FSOUND_3D_Update();
    return 0;
}

// The 16-bit stereo frames mixed to a file by SDL's disk driver, from the
// first that is not silent: the driver writes silence until the music starts.
std::vector<int16_t> soundAfterSilence(const std::string& path)
{
    std::vector<unsigned char> bytes = readBytes(path);
    std::vector<int16_t> samples(bytes.size() / 4 * 2);
    std::memcpy(samples.data(), bytes.data(), samples.size() * 2);
    auto first = std::find_if(samples.begin(), samples.end(), [](int16_t s) { return s != 0; });
    return {samples.begin() + (first - samples.begin()) / 2 * 2, samples.end()};
}

int waitForMixedFrames(const std::string& path, size_t frames)
{
    for (int wait = 0; wait < 240; ++wait) {
        SDL_Delay(250);
        if (soundAfterSilence(path).size() / 2 >= frames)
            return 0;
    }
    return 5;
}

// Root mean square of the left channel over [from, to) frames.
double rms(const std::vector<int16_t>& frames, size_t from, size_t to)
{
    double sum = 0;
    for (size_t i = from; i < to; ++i)
        sum += double(frames[2 * i]) * frames[2 * i];
    return std::sqrt(sum / double(to - from));
}

class Sound : public testing::Test {
protected:
    const TempFolder scratch;
    const std::string dir_ = scratch.root();
};

// SDL's disk driver writes what is mixed to a file, here some 46 times faster
// than real time (a 1 ms pause per buffer). Two passes of the soundtrack must
// come out, audible throughout and alike, so the end flows back into the start.
TEST_F(Sound, BundledSoundtrackIsAudibleAndLoops)
{
    const std::string out = dir_ + "/mixed.raw";
    const size_t pass = size_t(76.8 * MixRate);
    EXPECT_EXIT(
        {
            setenv("SDL_AUDIODRIVER", "disk", 1);
            setenv("SDL_DISKAUDIOFILE", out.c_str(), 1);
            setenv("SDL_DISKAUDIODELAY", "1", 1);
            int failed = startUp(true, Soundtrack, true);
            std::exit(failed ? failed : waitForMixedFrames(out, 2 * pass));
        },
        ExitedWithCode(0), "^$");
    std::vector<int16_t> frames = soundAfterSilence(out);
    std::remove(out.c_str());
    ASSERT_GE(frames.size() / 2, 2 * pass);
    const size_t window = MixRate / 2;
    for (size_t at = 0; at + window <= pass; at += window) {
        double first = rms(frames, at, at + window), second = rms(frames, at + pass, at + pass + window);
        ASSERT_GT(first, 300) << "quiet at " << double(at) / MixRate << " s";
        ASSERT_NEAR(second, first, first * 0.1) << "second pass differs at " << double(at) / MixRate << " s";
    }
    // The plucks are panned: the channels differ by about half the left's
    // level, where mono samples read in pairs would differ by under a tenth.
    double difference = 0;
    for (size_t i = 0; i < pass; ++i)
        difference += std::pow(double(frames[2 * i]) - frames[2 * i + 1], 2);
    EXPECT_GT(std::sqrt(difference / double(pass)), 0.25 * rms(frames, 0, pass)) << "mixed in stereo";
}

// The device runs at the mix rate asked for: at any other rate the music
// plays fast or slow and off key, however well SDL converts the samples to
// it. ALSA's file plugin writes the rate the device was opened at into the
// header of its WAV file. Its null output takes sound as fast as it comes,
// so the child ends as soon as the file has more than its header.
TEST_F(Sound, TheDeviceIsOpenedAtTheMixRateAsked)
{
    const std::string out = dir_ + "/device.wav";
    const off_t WavHeaderBytes = 44;
    EXPECT_EXIT(
        {
            setenv("SDL_AUDIODRIVER", "alsa", 1);
            setenv("AUDIODEV", ("file:'" + out + "',wav").c_str(), 1);
            int failed = startUp(true, Soundtrack, true);
            struct stat file = {};
            for (int wait = 0; !failed && wait < 2000; ++wait) {
                if (stat(out.c_str(), &file) == 0 && file.st_size > WavHeaderBytes)
                    std::_Exit(0);
                SDL_Delay(5);
            }
            std::_Exit(failed ? failed : 5);
        },
        ExitedWithCode(0), "^$");
    const Bytes wav = readBytes(out);
    ASSERT_GE(wav.size(), size_t(WavHeaderBytes));
    ASSERT_EQ(0, std::memcmp(wav.data(), "RIFF", 4));
    const uint32_t rate = wav[24] | wav[25] << 8 | wav[26] << 16 | uint32_t(wav[27]) << 24;
    EXPECT_EQ(rate, uint32_t(MixRate));
}

TEST_F(Sound, MissingFileIsOneLineAndTheNextFilePlays)
{
    EXPECT_EXIT(
        {
            setenv("SDL_AUDIODRIVER", "dummy", 1);
            int failed = startUp(true, "no-such-soundtrack.mp3", false);
            if (!failed && !FSOUND_Stream_OpenMpeg(Soundtrack, 43))
                failed = 4;
            std::exit(failed);
        },
        ExitedWithCode(0), oneLineNaming("no-such-soundtrack.mp3"));
}

// Foreign data, an MP3 with junk pasted into it, and no file at all: each is
// refused, and only the first refusal is reported, when the music would have
// started.
TEST_F(Sound, FilesThatAreNotCleanMp3sAreRefusedWithOneLine)
{
    std::vector<unsigned char> mp3 = readBytes(Soundtrack);
    std::vector<unsigned char> spliced(mp3.begin(), mp3.begin() + mp3.size() / 2);
    spliced.insert(spliced.end(), 3000, 0x5A);
    spliced.insert(spliced.end(), mp3.begin() + mp3.size() / 2, mp3.end());
    const std::vector<std::string> files = {dir_ + "/text.mp3", dir_ + "/spliced.mp3", dir_ + "/empty.mp3", dir_};
    writeBytes(files[0], {'n', 'o', 't', ' ', 'm', 'u', 's', 'i', 'c', '\n'});
    writeBytes(files[1], spliced);
    writeBytes(files[2], {});
    EXPECT_EXIT(
        {
            setenv("SDL_AUDIODRIVER", "dummy", 1);
            int failed = FSOUND_Init(MixRate, 64, 0) ? 0 : 1;
            for (size_t i = 0; i < files.size() && !failed; ++i)
                failed = FSOUND_Stream_OpenMpeg(files[i].c_str(), 43) ? 10 + int(i) : 0;
            if (!failed && FSOUND_Stream_Play(-1, nullptr) == 0)
                failed = 3;
            FSOUND_3D_Update();
            std::exit(failed);
        },
        ExitedWithCode(0), oneLineNaming("text.mp3: not a playable MP3 file"));
}

struct NoDevice {
    const char* name;
    const char* driver;
    const char* variable; // a further setting that makes the driver fail, or null
    const char* value;    // "DIR" stands for the test's scratch directory
};

void PrintTo(const NoDevice& setup, std::ostream* out)
{
    *out << setup.name;
}

class SoundWithoutDevice : public Sound, public testing::WithParamInterface<NoDevice> {};

// ALSA without the card prints a page of notes of its own; all are held back.
TEST_P(SoundWithoutDevice, PresentationCallsRunOnSilentlyWithOneLine)
{
    const NoDevice& setup = GetParam();
    std::string value = setup.value ? setup.value : "";
    if (value.rfind("DIR", 0) == 0)
        value.replace(0, 3, dir_);
    EXPECT_EXIT(
        {
            setenv("SDL_AUDIODRIVER", setup.driver, 1);
            if (setup.variable)
                setenv(setup.variable, value.c_str(), 1);
            int failed = startUp(false, Soundtrack, false);
            if (!failed && FSOUND_Stream_OpenMpeg("no-such-soundtrack.mp3", 43))
                failed = 4;
            std::exit(failed);
        },
        ExitedWithCode(0), oneLineNaming("sound"));
}

INSTANTIATE_TEST_SUITE_P(Drivers, SoundWithoutDevice,
                         testing::Values(NoDevice{"UnknownDriver", "qorx-no-such-driver", nullptr, nullptr},
                                         NoDevice{"AlsaWithoutCard", "alsa", "AUDIODEV", "hw:QorxNoSuchCard"},
                                         NoDevice{"UnwritableDiskFile", "disk", "SDL_DISKAUDIOFILE",
                                                  "DIR/no/such/dir/mixed.raw"}),
                         [](const testing::TestParamInfo<NoDevice>& info) { return info.param.name; });

// What the layer accepts before any decoding, on the bundled file and on
// edits of it that a download or a tag editor could make.
TEST(Mp3Frames, AcceptsWholeFramesBetweenTagsAndNothingElse)
{
    std::vector<unsigned char> mp3 = readBytes(Soundtrack);
    ASSERT_TRUE(mp3FramesAreIntact(mp3.data(), mp3.size()));
    ASSERT_EQ(0, std::memcmp(&mp3[mp3.size() - 128], "TAG", 3));
    std::vector<unsigned char> frames(mp3.begin(), mp3.end() - 128);
    EXPECT_TRUE(mp3FramesAreIntact(frames.data(), frames.size()));
    EXPECT_TRUE(mp3FramesAreIntact(frames.data(), frames.size() - 100)) << "cut short";

    std::vector<unsigned char> tagged = {'I', 'D', '3', 4, 0, 0, 0, 0, 1, 0}; // 128-byte ID3v2 tag
    tagged.resize(10 + 128, 0);
    tagged.insert(tagged.end(), mp3.begin(), mp3.end());
    EXPECT_TRUE(mp3FramesAreIntact(tagged.data(), tagged.size()));
    EXPECT_FALSE(mp3FramesAreIntact(tagged.data(), 10 + 128)) << "tags and no frames";

    std::vector<unsigned char> junkAtEnd = frames;
    junkAtEnd.insert(junkAtEnd.end(), 500, 0x11);
    EXPECT_FALSE(mp3FramesAreIntact(junkAtEnd.data(), junkAtEnd.size()));
    std::vector<unsigned char> twoOldTags = mp3;
    twoOldTags.insert(twoOldTags.end(), mp3.end() - 128, mp3.end());
    EXPECT_FALSE(mp3FramesAreIntact(twoOldTags.data(), twoOldTags.size()));
    EXPECT_FALSE(mp3FramesAreIntact(frames.data() + 1, frames.size() - 1)) << "starts inside a frame";
}

// `count` frames of `length` bytes behind a four-byte header.
std::vector<unsigned char> frameRun(unsigned char second, unsigned char third, size_t length, int count)
{
    std::vector<unsigned char> run;
    for (int frame = 0; frame < count; ++frame) {
        const size_t start = run.size();
        run.insert(run.end(), {0xFF, second, third, 0xC4});
        run.resize(start + length, 0);
    }
    return run;
}

// Frame sizes differ by version and layer: MPEG-2 layer III frames hold half
// the samples of MPEG-1's, layer I counts in four-byte slots.
TEST(Mp3Frames, FrameSizesOfEveryVersionAndLayer)
{
    // MPEG-2 layer III, 64 kbit/s at 22050 Hz: 72000 * 64 / 22050 = 208 bytes.
    const std::vector<unsigned char> mpeg2 = frameRun(0xF3, 0x80, 208, 20);
    EXPECT_TRUE(mp3FramesAreIntact(mpeg2.data(), mpeg2.size()));
    // MPEG-2.5, at 11025 Hz: 417 bytes.
    const std::vector<unsigned char> mpeg25 = frameRun(0xE3, 0x80, 417, 20);
    EXPECT_TRUE(mp3FramesAreIntact(mpeg25.data(), mpeg25.size()));
    // MPEG-1 layer I, 32 kbit/s at 44100 Hz: (12000 * 32 / 44100) * 4 = 32 bytes.
    const std::vector<unsigned char> layer1 = frameRun(0xFF, 0x10, 32, 20);
    EXPECT_TRUE(mp3FramesAreIntact(layer1.data(), layer1.size()));
    // MPEG-1 layer III at the top rate, 320 kbit/s at 48000 Hz: 960 bytes.
    const std::vector<unsigned char> top = frameRun(0xFB, 0xE4, 960, 20);
    EXPECT_TRUE(mp3FramesAreIntact(top.data(), top.size()));
    // MPEG-2 layer II uses MPEG-1's factor: 144000 * 8 / 22050 = 52 bytes.
    const std::vector<unsigned char> layer2 = frameRun(0xF5, 0x10, 52, 20);
    EXPECT_TRUE(mp3FramesAreIntact(layer2.data(), layer2.size()));

    // A free-format or bad bit rate, a reserved sample rate, or a change of
    // sample rate within the stream is refused.
    for (unsigned char third : {0x00, 0xF0, 0x8C}) {
        const std::vector<unsigned char> bad = frameRun(0xF3, third, 208, 20);
        EXPECT_FALSE(mp3FramesAreIntact(bad.data(), bad.size())) << int(third);
    }
    std::vector<unsigned char> mixed = frameRun(0xF3, 0x80, 208, 10);
    const std::vector<unsigned char> otherRate = frameRun(0xF3, 0x84, 192, 10);
    mixed.insert(mixed.end(), otherRate.begin(), otherRate.end());
    EXPECT_FALSE(mp3FramesAreIntact(mixed.data(), mixed.size()));
}

// An ID3v2.4 tag may end with a ten-byte footer; a trailing block that only
// starts like an ID3v1 tag is not one.
TEST(Mp3Frames, Id3v2FootersAndTrailingTags)
{
    const std::vector<unsigned char> frames = frameRun(0xF3, 0x80, 208, 20);
    std::vector<unsigned char> tagged = {'I', 'D', '3', 4, 0, 0x10, 0, 0, 0, 20};
    tagged.resize(tagged.size() + 20, 0);
    tagged.insert(tagged.end(), {'3', 'D', 'I', 4, 0, 0x10, 0, 0, 0, 20});
    tagged.insert(tagged.end(), frames.begin(), frames.end());
    EXPECT_TRUE(mp3FramesAreIntact(tagged.data(), tagged.size()));
    tagged[5] = 0;
    EXPECT_FALSE(mp3FramesAreIntact(tagged.data(), tagged.size())) << "the footer read as frames";

    std::vector<unsigned char> longTail = frames;
    longTail.insert(longTail.end(), {'T', 'A', 'G'});
    longTail.resize(longTail.size() + 197, ' ');
    EXPECT_FALSE(mp3FramesAreIntact(longTail.data(), longTail.size()));

    // Sizes are four 7-bit bytes: 0x01 0x00 0x00 0x00 is 2 MiB.
    std::vector<unsigned char> large = {'I', 'D', '3', 3, 0, 0, 1, 0, 0, 0};
    large.resize(large.size() + (size_t(1) << 21), 0);
    const size_t tagEnd = large.size();
    large.insert(large.end(), frames.begin(), frames.end());
    EXPECT_TRUE(mp3FramesAreIntact(large.data(), large.size()));
    large.resize(tagEnd);
    large.insert(large.end(), {'T', 'A', 'G'});
    large.resize(tagEnd + 128, ' ');
    EXPECT_FALSE(mp3FramesAreIntact(large.data(), large.size())) << "tags and no frames";
}

// The eleven sync bits are all required; a tail too short to hold a header
// cannot be a frame and ends the stream.
TEST(Mp3Frames, SyncBitsAndShortTails)
{
    const std::vector<unsigned char> noSync = frameRun(0x1B, 0xE4, 960, 20);
    EXPECT_FALSE(mp3FramesAreIntact(noSync.data(), noSync.size()));
    std::vector<unsigned char> tail = frameRun(0xFB, 0xE4, 960, 20);
    tail.insert(tail.end(), {'x', 'y', 'z'});
    EXPECT_TRUE(mp3FramesAreIntact(tail.data(), tail.size()));
}

} // namespace
