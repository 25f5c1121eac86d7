#ifndef QORX_TESTS_FUZZ_PEAKHEAP_H
#define QORX_TESTS_FUZZ_PEAKHEAP_H

#include <cstdint>

// Counts the bytes the process holds on the heap, and the most it held since
// the last restart(). Two implementations, chosen by the build: one replaces
// malloc and its relatives (ordinary build), the other listens to
// AddressSanitizer's allocation hooks (sanitizer build), since the sanitizer
// owns malloc there. Single-threaded use only.
class PeakHeap {
public:
    static void restart();
    static uint64_t held();
    // The most held since restart(), minus what was held at restart().
    static uint64_t growth();

    // Used by the implementations.
    static void allocated(uint64_t bytes);
    static void released(uint64_t bytes);
};

#endif
