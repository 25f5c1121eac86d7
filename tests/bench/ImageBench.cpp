// The image readers side by side with their peers, on the same files in the
// same run: the TGA and PNG readers against stb_image, the JPEG reader against
// plain libjpeg-turbo decoding into a buffer of its own. Each load also reports the
// peak memory it held above what it returned.

#include "BenchPictures.h"
#include "PeakHeap.h"
#include "RatioReporter.h"
#include "support/Files.h"
#include "support/PlainLibjpeg.h"

#include "qorx/image/JpegImage.h"
#include "qorx/image/PngImage.h"
#include "qorx/image/TgaImage.h"

#include <benchmark/benchmark.h>
#include <jpeglib.h>
#include <stb/stb_image.h>

#include <cstdio>
#include <functional>
#include <stdlib.h>

namespace {

const uint32_t Side = 4096;
const uint16_t ClaimedSide = 30000;

// Runs `load` once per iteration, which returns the pixel bytes it delivered
// (0 for a failure), and reports throughput and memory.
void measure(benchmark::State& state, const std::function<size_t()>& load)
{
    long long peak = 0;
    long long extra = 0;
    size_t bytes = 0;
    for (auto _ : state) {
        PeakHeap::restart();
        bytes = load();
        if (bytes == 0) {
            state.SkipWithError("load failed");
            return;
        }
        peak = (long long)PeakHeap::growth();
        extra = peak - (long long)bytes;
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(bytes));
    state.counters["peak_MiB"] = double(peak) / (1 << 20);
    state.counters["extra_KiB"] = double(extra) / 1024;
}

size_t loadTga(const std::string& path)
{
    TgaImage image;
    if (!image.load(path.c_str(), SwapRedBlue))
        return 0;
    benchmark::DoNotOptimize(image.pixels[0]);
    return size_t(image.width) * image.height * 4;
}

size_t loadPng(const std::string& path)
{
    PngImage image;
    if (!image.load(path.c_str(), 0))
        return 0;
    benchmark::DoNotOptimize(image.pixels[0]);
    return size_t(image.width) * image.height * 4;
}

size_t loadStb(const std::string& path)
{
    int width = 0, height = 0, components = 0;
    stbi_uc* pixels = stbi_load(path.c_str(), &width, &height, &components, 4);
    if (!pixels)
        return 0;
    benchmark::DoNotOptimize(pixels[0]);
    stbi_image_free(pixels);
    return size_t(width) * height * 4;
}

size_t loadJpeg(const std::string& path)
{
    JpegImage image;
    if (!image.load(path.c_str(), 0))
        return 0;
    benchmark::DoNotOptimize(image.pixels[0]);
    return size_t(image.width) * image.height * 4;
}

// libjpeg-turbo on its own: with its default output (three bytes a pixel) or
// with four bytes a pixel, the record's size.
size_t loadPlainLibjpeg(const std::string& path, bool fourBytes)
{
    const PlainLibjpeg picture = decodeWithLibjpeg(path.c_str(), fourBytes);
    if (!picture.pixels)
        return 0;
    benchmark::DoNotOptimize(picture.pixels[0]);
    return size_t(picture.width) * picture.height * picture.bytesPerPixel;
}

// A 20-byte file that claims 30000 x 30000 pixels, over the decode budget:
// the time to refuse it. Returns the file's size when it is refused.
size_t refuseClaim(const std::string& path)
{
    TgaImage image;
    if (image.load(path.c_str(), SwapRedBlue) || image.failure() != LoadFailure::OverBudget)
        return 0;
    return 20;
}

void add(const char* name, std::function<size_t()> load, benchmark::TimeUnit unit = benchmark::kMillisecond)
{
    auto* bench = benchmark::RegisterBenchmark(name, [load](benchmark::State& state) { measure(state, load); });
    bench->Unit(unit)->UseRealTime();
}

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    const TempFolder folder;
    const std::string raw = folder.path("raw.tga"), rle = folder.path("rle.tga"), jpeg = folder.path("picture.jpg"),
                      png = folder.path("picture.png"), claim = folder.path("claim.tga");
    if (!writeBenchTga(raw, Side, false) || !writeBenchTga(rle, Side, true) || !writeBenchJpeg(jpeg, Side) ||
        !writeBenchPng(png, Side) || !writeShortTga(claim, ClaimedSide))
        return 1;

    add("tga_raw/qorx", [raw] { return loadTga(raw); });
    add("tga_raw/stb", [raw] { return loadStb(raw); });
    add("tga_rle/qorx", [rle] { return loadTga(rle); });
    add("tga_rle/stb", [rle] { return loadStb(rle); });
    add("png/qorx", [png] { return loadPng(png); });
    add("png/stb", [png] { return loadStb(png); });
    add("jpeg/qorx", [jpeg] { return loadJpeg(jpeg); });
    add("jpeg/libjpeg_rgb", [jpeg] { return loadPlainLibjpeg(jpeg, false); });
    add("jpeg/libjpeg_rgbx", [jpeg] { return loadPlainLibjpeg(jpeg, true); });
    add(
        "tga_30000_claim/qorx_refusal", [claim] { return refuseClaim(claim); }, benchmark::kMicrosecond);

    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
