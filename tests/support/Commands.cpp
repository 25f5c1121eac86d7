#include "Commands.h"

#include <chrono>
#include <cstdio>
#include <thread>

namespace {

const auto PollInterval = std::chrono::milliseconds(50);

} // namespace

std::string capture(const std::string& command)
{
    std::string output;
    FILE* pipe = popen((command + " 2>/dev/null").c_str(), "r");
    if (pipe == nullptr)
        return output;
    char buffer[256];
    while (size_t n = std::fread(buffer, 1, sizeof buffer, pipe))
        output.append(buffer, n);
    pclose(pipe);
    return output;
}

bool waitUntil(double seconds, const std::function<bool()>& condition)
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (std::chrono::steady_clock::now() < end) {
        if (condition())
            return true;
        std::this_thread::sleep_for(PollInterval);
    }
    return condition();
}

std::string windowNamed(const std::string& name)
{
    const std::string tree = capture("xwininfo -root -tree");
    const size_t at = tree.find(" \"" + name + "\":");
    if (at == std::string::npos)
        return "";
    const size_t start = tree.rfind("0x", at);
    return start == std::string::npos ? "" : tree.substr(start, at - start);
}
