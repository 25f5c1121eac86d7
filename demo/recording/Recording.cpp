#include "demo/recording/Recording.h"

#include "VideoEncoder.h"
#include "WavFile.h"

#include <fsound_decode.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <system_error>
#include <vector>

namespace {

const int32_t FramesPerSecond = 60;
// A silent recording's sample rate, the soundtrack's own.
const int SilentRate = 44100;
const uint32_t SoundBlockFrames = 1 << 14;

bool isVideo(const std::string& target)
{
    const size_t size = target.size();
    if (size <= 4 || target[size - 4] != '.')
        return false;
    std::string suffix;
    for (size_t i = size - 3; i < size; ++i)
        suffix += static_cast<char>(std::tolower(static_cast<unsigned char>(target[i])));
    return suffix == "mp4";
}

// The sound of the first `frames` frames, from the start of the soundtrack
// as the presentation starts it, looping as it loops. Without a playable
// soundtrack the presentation is silent, and so is its recording.
bool writeSoundtrack(const std::string& mp3, const std::string& wav, int32_t frames)
{
    int rate = SilentRate;
    FSOUND_DECODER* decoder = FSOUND_Decoder_OpenMpeg(mp3.c_str(), &rate);
    if (decoder == nullptr) {
        std::error_code error;
        std::fprintf(stderr, "qorx-demo: %s: %s; the recording is silent\n", mp3.c_str(),
                     std::filesystem::exists(mp3, error) ? "not a playable MP3 file" : "no such file");
    }
    const uint64_t total = (uint64_t(frames) * uint64_t(rate) + FramesPerSecond / 2) / FramesPerSecond;
    WavFile file;
    bool written = file.open(wav, rate, static_cast<uint32_t>(total));
    std::vector<int16_t> block(2 * SoundBlockFrames);
    for (uint64_t done = 0; written && done < total; done += SoundBlockFrames) {
        const unsigned int wanted = static_cast<unsigned int>(std::min<uint64_t>(SoundBlockFrames, total - done));
        const unsigned int decoded =
            decoder != nullptr ? FSOUND_Decoder_Read(decoder, reinterpret_cast<short*>(block.data()), wanted) : 0;
        std::fill(block.begin() + 2 * decoded, block.begin() + 2 * wanted, 0);
        written = file.append(block.data(), wanted);
    }
    FSOUND_Decoder_Close(decoder);
    return file.close() && written;
}

} // namespace

Recording::Recording() : frames(0), video(false) {}

Recording::~Recording()
{
    removeScratch();
}

bool Recording::begin(const std::string& target, int32_t frames, const std::string& soundtrack)
{
    this->target = target;
    this->frames = frames;
    video = isVideo(target);
    if (!makeFolder())
        return false;
    const std::string wav = (std::filesystem::path(frameFolder) / VideoEncoder::SoundFile).string();
    if (!writeSoundtrack(soundtrack, wav, frames)) {
        problem = "cannot write " + wav;
        return false;
    }
    return true;
}

// A video is recorded into a scratch folder first, which goes afterwards.
bool Recording::makeFolder()
{
    std::error_code error;
    if (!video) {
        frameFolder = target;
        if (std::filesystem::create_directories(frameFolder, error) ||
            std::filesystem::is_directory(frameFolder, error))
            return true;
        problem = "cannot make the folder " + frameFolder + (error ? ": " + error.message() : "");
        return false;
    }
    if (!VideoEncoder::quotable(target)) {
        problem = "cannot hand " + target + " to ffmpeg: a name with \" $ ` or % in it";
        return false;
    }
    frameFolder = VideoEncoder::makeScratchFolder();
    if (frameFolder.empty()) {
        problem = "cannot make a temporary folder for the frames";
        return false;
    }
    if (!VideoEncoder::quotable(frameFolder))
        problem = "cannot hand the temporary folder " + frameFolder + " to ffmpeg";
    else if (!VideoEncoder::available(frameFolder))
        problem = "--record FILE.mp4 needs ffmpeg, which is not on the PATH; "
                  "--record DIR writes the frames and the sound instead";
    else
        return true;
    removeScratch();
    return false;
}

bool Recording::finish()
{
    if (video && !VideoEncoder::encode(frameFolder, target)) {
        problem = "ffmpeg could not make " + target;
        return false;
    }
    removeScratch();
    std::printf("qorx-demo: recorded %d frame%s (%.3f s) into %s\n", static_cast<int>(frames), frames == 1 ? "" : "s",
                frames / double(FramesPerSecond), target.c_str());
    return true;
}

void Recording::removeScratch()
{
    if (!video || frameFolder.empty())
        return;
    std::error_code error;
    std::filesystem::remove_all(frameFolder, error);
    frameFolder.clear();
}
