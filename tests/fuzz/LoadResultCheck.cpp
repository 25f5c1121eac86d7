#include "LoadResultCheck.h"

#include <cstdio>
#include <cstdlib>

// Present when AddressSanitizer is linked in: the first byte of a range that
// the program may not touch, or null.
extern "C" void* __asan_region_is_poisoned(void* begin, size_t size) __attribute__((weak));

void LoadResultCheck::fail(const char* what)
{
    std::fprintf(stderr, "load result check failed: %s\n", what);
    std::abort();
}

void LoadResultCheck::verify(const Image& image, const uint8_t* result)
{
    if (!result)
        return;
    if (result != image.pixels)
        fail("the result is not the record's pixel buffer");
    uint64_t bytes = uint64_t(image.width) * image.height * 4;
    if (bytes > UINT32_MAX)
        fail("a buffer whose byte count does not fit 32 bits");
    uint8_t* buffer = const_cast<uint8_t*>(result);
    if (__asan_region_is_poisoned && __asan_region_is_poisoned(buffer, bytes))
        fail("the buffer is shorter than width x height x 4 bytes");
    if (bytes > 0) {
        // Without the sanitizer, touching both ends is all that can be done.
        volatile uint8_t ends = uint8_t(buffer[0] + buffer[bytes - 1]);
        (void)ends;
    }
}

void LoadResultCheck::verifyWithCount(const Image& image, const uint8_t* result)
{
    verify(image, result);
    if (result && uint64_t(int64_t(image.pixelCount)) != uint64_t(image.width) * image.height)
        fail("pixelCount differs from width x height");
}
