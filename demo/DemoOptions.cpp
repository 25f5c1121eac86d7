#include "demo/DemoOptions.h"

#include <cstddef>

namespace {

const char HelpText[] = "Usage: qorx-demo [--windowed] [--assets DIR]\n"
                        "       qorx-demo --record DIR|FILE.mp4 --frames N [--assets DIR]\n"
                        "\n"
                        "Qorx: a short OpenGL presentation. Three pictures drift, zoom and fade in from\n"
                        "black over a looping soundtrack, full-screen at 800x600, until you end it.\n"
                        "\n"
                        "Keys:\n"
                        "  Escape             end the presentation (closing the window does too)\n"
                        "\n"
                        "Options:\n"
                        "  --windowed         show it in an 800x600 window instead of full-screen\n"
                        "  --assets DIR       take stormledge.jpg, mirk.jpg, fin.jpg and larkspin.mp3\n"
                        "                     from DIR. Without it they are looked for in the working\n"
                        "                     directory, then in the installed data folder, then in the\n"
                        "                     program's own folder\n"
                        "  --record DIR       render the first N frames off-screen, as fast as the\n"
                        "                     machine allows, into DIR as frame-000001.png and on\n"
                        "                     (800x600), with soundtrack.wav holding the sound of those\n"
                        "                     N/60 seconds; then exit\n"
                        "  --record FILE.mp4  the same as one video with sound (needs ffmpeg)\n"
                        "  --frames N         how many frames to record, 1 to 999999; 60 make a second\n"
                        "  --help             show this help and exit\n";

// "--name=value" gives "value"; "--name" takes the next argument, if any.
bool takeValue(const std::vector<std::string>& arguments, size_t& index, const std::string& name, std::string& value,
               bool& matched)
{
    const std::string& argument = arguments[index];
    matched = false;
    if (argument.compare(0, name.size(), name) != 0)
        return true;
    if (argument.size() == name.size()) {
        matched = true;
        if (index + 1 >= arguments.size())
            return false;
        value = arguments[++index];
        return true;
    }
    if (argument[name.size()] != '=')
        return true;
    matched = true;
    value = argument.substr(name.size() + 1);
    return true;
}

// Digits only, without a sign, from 1 to MaxFrames.
bool parseFrames(const std::string& text, int32_t& frames)
{
    if (text.empty() || text.size() > 6)
        return false;
    int32_t value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9')
            return false;
        value = value * 10 + (c - '0');
    }
    frames = value;
    return value >= 1 && value <= DemoOptions::MaxFrames;
}

DemoOptions usageError(const std::string& problem)
{
    DemoOptions options;
    options.action = DemoOptions::UsageError;
    options.problem = problem;
    return options;
}

} // namespace

DemoOptions::DemoOptions() : action(Show), windowed(false), frames(0) {}

DemoOptions::~DemoOptions() {}

const char* DemoOptions::helpText()
{
    return HelpText;
}

DemoOptions DemoOptions::parse(const std::vector<std::string>& arguments)
{
    DemoOptions options;
    bool help = false;
    bool framesGiven = false;
    for (size_t index = 0; index < arguments.size(); ++index) {
        const std::string& argument = arguments[index];
        if (argument == "--help") {
            help = true;
            continue;
        }
        if (argument == "--windowed") {
            options.windowed = true;
            continue;
        }
        bool matched = false;
        std::string value;
        for (const char* name : {"--assets", "--record", "--frames"}) {
            if (!takeValue(arguments, index, name, value, matched))
                return usageError(std::string(name) + " needs a value");
            if (!matched)
                continue;
            if (value.empty())
                return usageError(std::string(name) + " needs a value");
            const std::string option = name;
            if (option == "--assets") {
                options.assetsFolder = value;
            } else if (option == "--record") {
                options.recordTarget = value;
            } else if (parseFrames(value, options.frames)) {
                framesGiven = true;
            } else {
                return usageError("--frames needs a whole number from 1 to " + std::to_string(MaxFrames) + ", not '" +
                                  value + "'");
            }
            break;
        }
        if (matched)
            continue;
        if (!argument.empty() && argument[0] == '-')
            return usageError("unknown option '" + argument + "'");
        return usageError("unexpected argument '" + argument + "'");
    }
    if (help) {
        options.action = Help;
        return options;
    }
    if (!options.recordTarget.empty() && !framesGiven)
        return usageError("--record needs --frames N");
    if (options.recordTarget.empty() && framesGiven)
        return usageError("--frames goes with --record");
    if (!options.recordTarget.empty())
        options.action = Record;
    return options;
}
