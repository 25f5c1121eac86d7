#ifndef QORX_IMAGE_IMAGE_H
#define QORX_IMAGE_IMAGE_H

#include <cstdint>
#include <cstdio>

// Load flags, passed to every reader's load(path, flags).
enum LoadFlags : unsigned {
    SwapRedBlue = 1,      // exchange red and blue relative to the reader's own order
    OpaqueAlpha = 4,      // TGA: alpha 255 for 16- and 24-bit pixels
    AlphaFromRedBit = 16, // TGA: alpha from the top bit of red, for 16- and 24-bit pixels
};

// Why a load failed, from the least telling to the most: the reader chain
// reports the most telling of its readers' reasons.
enum class LoadFailure : uint8_t {
    None,        // the last load succeeded, or none was made
    OtherFormat, // the file is not of the reader's format
    Empty,       // the file holds no bytes
    Refused,     // the reader's format, but a kind it does not decode, damaged data, or too large
    OverBudget,  // more pixels than the decode budget
    System,      // the file cannot be opened or read
};

// A decoded picture: width x height pixels of 4 bytes, rows one after another.
// Base of the readers; each declares its own load(path, flags), which returns
// `pixels` on success and null on failure. The record owns `pixels`.
class Image {
public:
    Image();
    virtual ~Image();
    Image(const Image&) = delete;
    Image& operator=(const Image&) = delete;

    // The decode budget: the most pixels (width x height) any reader decodes,
    // for the whole process. A larger picture is refused from its header,
    // before its pixels are allocated, with LoadFailure::OverBudget. The
    // default, 2^28 pixels, is 1 GiB decoded (16384 x 16384). Whatever the
    // budget, a picture of 4 GiB or more is refused. Safe to call from any
    // thread; a load in progress may see either value.
    static constexpr uint64_t DefaultDecodeBudget = uint64_t(1) << 28;
    static void setDecodeBudget(uint64_t pixels);
    static uint64_t decodeBudget();

    uint32_t width;
    uint32_t height;
    FILE* stream;
    uint8_t* pixels;
    int32_t pixelCount;
    int32_t bitsPerPixel;
    int32_t bytesPerPixel;

    // Why the last load failed, in a short line of text such as "empty file"
    // or the system's "No such file or directory"; empty after a success.
    LoadFailure failure() const { return failureKind; }
    const char* failureReason() const { return reason; }

protected:
    // Whether columns x rows 4-byte pixels fit a 32-bit byte count.
    static bool fitsPixelBuffer(uint32_t columns, uint32_t rows);
    // Whether a picture of columns x rows may be decoded: within the decode
    // budget and a 32-bit byte count. Records the reason when not.
    bool admitSize(uint32_t columns, uint32_t rows);
    // Replaces `pixels` with a new buffer of columns x rows 4-byte pixels.
    // Fails, allocating nothing, when that many bytes don't fit a 32-bit
    // count; a failed allocation leaves `pixels` null too. Records the reason.
    bool allocatePixels(uint32_t columns, uint32_t rows);
    void releasePixels();
    // Exchanges bytes 0 and 2 of each of the width x height pixels.
    void swapRedBlue();

    // Opens `path` into `stream`, recording the system's reason on failure.
    bool openStream(const char* path);
    void clearFailure();
    // Record a failure; both return false, for `return fail(...)`.
    bool fail(LoadFailure kind, const char* format, ...);
    bool failSystem(int error);

private:
    LoadFailure failureKind;
    char reason[200];
};

#endif
