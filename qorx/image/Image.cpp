#include "qorx/image/Image.h"

#include <atomic>
#include <cerrno>
#include <cstdarg>
#include <cstring>
#include <new>

namespace {

// The only process-wide state of the readers; constant-initialised.
std::atomic<uint64_t> budget{Image::DefaultDecodeBudget};

} // namespace

Image::Image()
    : width(0), height(0), stream(nullptr), pixels(nullptr), pixelCount(0), bitsPerPixel(0), bytesPerPixel(0),
      failureKind(LoadFailure::None), reason()
{
}

Image::~Image()
{
    releasePixels();
}

void Image::setDecodeBudget(uint64_t pixels)
{
    budget.store(pixels, std::memory_order_relaxed);
}

uint64_t Image::decodeBudget()
{
    return budget.load(std::memory_order_relaxed);
}

bool Image::fitsPixelBuffer(uint32_t columns, uint32_t rows)
{
    return uint64_t(columns) * rows * 4 <= UINT32_MAX;
}

bool Image::admitSize(uint32_t columns, uint32_t rows)
{
    const uint64_t count = uint64_t(columns) * rows;
    const uint64_t most = decodeBudget();
    if (count > most)
        return fail(LoadFailure::OverBudget, "%u x %u pixels is over the decode budget of %llu pixels", columns, rows,
                    (unsigned long long)most);
    if (!fitsPixelBuffer(columns, rows))
        return fail(LoadFailure::Refused, "%u x %u pixels need 4 GiB or more", columns, rows);
    return true;
}

bool Image::allocatePixels(uint32_t columns, uint32_t rows)
{
    releasePixels();
    if (!fitsPixelBuffer(columns, rows))
        return fail(LoadFailure::Refused, "%u x %u pixels need 4 GiB or more", columns, rows);
    pixels = new (std::nothrow) uint8_t[size_t(columns) * rows * 4];
    return pixels != nullptr || failSystem(ENOMEM);
}

void Image::releasePixels()
{
    delete[] pixels;
    pixels = nullptr;
}

void Image::swapRedBlue()
{
    const size_t count = size_t(width) * height;
    for (uint8_t* p = pixels; p != pixels + count * 4; p += 4) {
        const uint8_t first = p[0];
        p[0] = p[2];
        p[2] = first;
    }
}

bool Image::openStream(const char* path)
{
    stream = std::fopen(path, "rb");
    return stream != nullptr || failSystem(errno);
}

void Image::clearFailure()
{
    failureKind = LoadFailure::None;
    reason[0] = '\0';
}

bool Image::fail(LoadFailure kind, const char* format, ...)
{
    failureKind = kind;
    va_list arguments;
    va_start(arguments, format);
    std::vsnprintf(reason, sizeof reason, format, arguments);
    va_end(arguments);
    return false;
}

bool Image::failSystem(int error)
{
    return fail(LoadFailure::System, "%s", std::strerror(error));
}
