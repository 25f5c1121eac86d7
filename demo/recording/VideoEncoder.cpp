#include "VideoEncoder.h"

#include "demo/recording/FrameRecorder.h"

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

namespace {

const int ScratchAttempts = 100;

std::string quoted(const std::string& path)
{
    return "\"" + path + "\"";
}

} // namespace

const char* const VideoEncoder::SoundFile = "soundtrack.wav";

bool VideoEncoder::quotable(const std::string& path)
{
    return path.find_first_of("\"$`%\r\n") == std::string::npos;
}

bool VideoEncoder::available(const std::string& scratch)
{
    const std::string log = (fs::path(scratch) / "ffmpeg-version.txt").string();
    return std::system(("ffmpeg -version > " + quoted(log) + " 2>&1").c_str()) == 0;
}

// yuv420p: what players expect of an MP4; ffmpeg would otherwise keep the
// PNGs' full colour resolution, which many cannot show.
bool VideoEncoder::encode(const std::string& folder, const std::string& video)
{
    const std::string frames = (fs::path(folder) / FrameRecorder::FramePattern).string();
    const std::string sound = (fs::path(folder) / SoundFile).string();
    const std::string command = "ffmpeg -nostdin -y -loglevel error -framerate 60 -start_number 1 -i " +
                                quoted(frames) + " -i " + quoted(sound) + " -pix_fmt yuv420p -movflags +faststart " +
                                quoted(video);
    return std::system(command.c_str()) == 0;
}

std::string VideoEncoder::makeScratchFolder()
{
    std::error_code error;
    const fs::path temporary = fs::temp_directory_path(error);
    if (error)
        return std::string();
    const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    for (int attempt = 0; attempt < ScratchAttempts; ++attempt) {
        const fs::path folder = temporary / ("qorx-record-" + std::to_string(stamp) + "-" + std::to_string(attempt));
        if (fs::create_directory(folder, error))
            return folder.string();
    }
    return std::string();
}
