#ifndef QORX_TESTS_SUPPORT_PLAINLIBJPEG_H
#define QORX_TESTS_SUPPORT_PLAINLIBJPEG_H

#include <memory>

// A picture as libjpeg-turbo decodes it on its own, rows straight into one
// buffer: the peer of our JPEG reader in tests and benchmarks.
struct PlainLibjpeg {
    std::unique_ptr<unsigned char[]> pixels; // left uninitialised before decoding, as a reader's would be
    unsigned width;
    unsigned height;
    unsigned bytesPerPixel; // 3, libjpeg's default, or 4 (RGBX, the record's layout)
};

// Null pixels when the file cannot be opened.
PlainLibjpeg decodeWithLibjpeg(const char* path, bool fourBytes);

#endif
