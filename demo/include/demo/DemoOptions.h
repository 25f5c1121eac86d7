#ifndef QORX_DEMO_DEMOOPTIONS_H
#define QORX_DEMO_DEMOOPTIONS_H

#include <cstdint>
#include <string>
#include <vector>

// What the command line asks of the presentation. Each option with a value
// takes it as the next argument or after '=' (--assets=DIR); an option given
// twice keeps its last value.
class DemoOptions {
public:
    enum Action {
        Show,       // the presentation on screen, until Escape
        Record,     // the first `frames` frames into files, then the end
        Help,       // --help
        UsageError, // `problem` says what is wrong
    };

    // A WAV file holds at most 4 GiB: 999999 frames of sound at 60 frames a
    // second are 2.9 GB at 44.1 kHz; the numbered files get six digits.
    static const int32_t MaxFrames = 999999;

    DemoOptions();
    virtual ~DemoOptions();

    static DemoOptions parse(const std::vector<std::string>& arguments);
    // What --help prints.
    static const char* helpText();

    Action action;
    bool windowed;
    std::string assetsFolder; // empty: looked up
    std::string recordTarget; // a folder, or a file ending in .mp4
    int32_t frames;
    std::string problem;
};

#endif
