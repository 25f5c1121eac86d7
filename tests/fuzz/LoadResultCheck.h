#ifndef QORX_TESTS_FUZZ_LOADRESULTCHECK_H
#define QORX_TESTS_FUZZ_LOADRESULTCHECK_H

#include "qorx/image/Image.h"

#include <cstdint>

// What every caller of a reader relies on, checked after each fuzzed load:
// a success returns the record's own buffer, and that buffer holds
// width x height 4-byte pixels (with AddressSanitizer the whole range is
// checked). A broken promise ends the process, which the fuzzer reports as a
// crash.
class LoadResultCheck {
public:
    static void verify(const Image& image, const uint8_t* result);

    // verify(), plus pixelCount == width x height (the TGA and TIFF readers set it).
    static void verifyWithCount(const Image& image, const uint8_t* result);

private:
    static void fail(const char* what);
};

#endif
