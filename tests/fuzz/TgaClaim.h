#ifndef QORX_TESTS_FUZZ_TGACLAIM_H
#define QORX_TESTS_FUZZ_TGACLAIM_H

#include <cstddef>
#include <cstdint>

// The picture size a fuzz input's TGA header claims. A decode of millions of
// pixels differs from a small one only in how long it takes (the reader
// fills whatever the file lacks), so the harnesses pass over such inputs to
// keep the fuzzer fast; the corpus tests load the large and the refused
// sizes.
class TgaClaim {
public:
    static const uint64_t MaxPixels = 1u << 18;

    static bool isHuge(const uint8_t* data, size_t size);
};

#endif
