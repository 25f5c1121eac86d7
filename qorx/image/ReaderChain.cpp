#include "qorx/image/ReaderChain.h"

ReaderChain::~ReaderChain() {}

const Image* ReaderChain::load(const char* path)
{
    const Image* winner = nullptr;
    const Image* telling = nullptr; // the most telling failure so far, the first on a tie
    // Whether the search is over after a reader's attempt.
    auto settled = [&](const Image& record, const uint8_t* result) {
        if (result) {
            winner = &record;
            return true;
        }
        if (!telling || record.failure() > telling->failure())
            telling = &record;
        return record.failure() >= LoadFailure::OverBudget;
    };
    settled(jpeg, jpeg.load(path, 0)) || settled(tga, tga.load(path, SwapRedBlue)) ||
        settled(tiff, tiff.load(path, 0)) || settled(png, png.load(path, 0));
    if (winner)
        reason = "";
    else if (telling->failure() <= LoadFailure::OtherFormat)
        reason = "not a JPEG, TGA, TIFF or PNG file";
    else
        reason = telling->failureReason();
    return winner;
}
