// Every file of the committed bad-file corpus through every reader and
// through the texture's chain of readers. Each load must end in a clean
// failure (null, no buffer left in the record) or in a result whose every
// byte is defined; where the result is defined, it is checked byte for byte.
// Run under AddressSanitizer/LeakSanitizer in the sanitizer build.
#include "HeapFill.h"
#include "qorx/image/ReaderChain.h"
#include "support/Files.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace {

enum class Reader { Tga, Jpeg, Tiff, Png };

struct ReaderRun {
    Reader reader;
    unsigned flags;
    const char* name;
};

const ReaderRun EveryRun[] = {
    {Reader::Tga, 0, "tga"},
    {Reader::Tga, SwapRedBlue, "tga swap"},
    {Reader::Tga, OpaqueAlpha, "tga opaque"},
    {Reader::Tga, AlphaFromRedBit, "tga red-bit alpha"},
    {Reader::Tga, SwapRedBlue | OpaqueAlpha | AlphaFromRedBit | 0xE0, "tga all flags"},
    {Reader::Jpeg, 0, "jpeg"},
    {Reader::Jpeg, SwapRedBlue, "jpeg swap"},
    {Reader::Tiff, 0, "tiff"},
    {Reader::Tiff, SwapRedBlue, "tiff swap"},
    {Reader::Png, 0, "png"},
    {Reader::Png, SwapRedBlue, "png swap"},
};

struct Outcome {
    bool loaded = false;
    uint32_t width = 0;
    uint32_t height = 0;
    std::vector<uint8_t> pixels;
};

std::string corpusPath(const std::string& name)
{
    return std::string(QORX_FUZZ_CORPUS_DIR) + "/" + name;
}

std::vector<std::string> corpusFiles()
{
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(QORX_FUZZ_CORPUS_DIR))
        if (entry.is_regular_file() && entry.path().filename() != "README.md")
            names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// What every caller relies on: a success hands back the record's own buffer
// of width x height 4-byte pixels (all of it is copied, so a short buffer
// shows up under the sanitizer); a failure leaves no buffer behind.
Outcome settle(const Image& record, const uint8_t* result)
{
    Outcome outcome;
    if (!result) {
        EXPECT_EQ(record.pixels, nullptr) << "a failed load kept a buffer";
        return outcome;
    }
    EXPECT_EQ(result, record.pixels);
    const uint64_t bytes = uint64_t(record.width) * record.height * 4;
    EXPECT_LE(bytes, UINT32_MAX);
    outcome.loaded = true;
    outcome.width = record.width;
    outcome.height = record.height;
    outcome.pixels.assign(result, result + bytes);
    return outcome;
}

Outcome load(const ReaderRun& run, const std::string& path)
{
    switch (run.reader) {
    case Reader::Tga: {
        TgaImage tga;
        return settle(tga, tga.load(path.c_str(), run.flags));
    }
    case Reader::Jpeg: {
        JpegImage jpeg;
        return settle(jpeg, jpeg.load(path.c_str(), run.flags));
    }
    case Reader::Tiff: {
        TiffImage tiff;
        return settle(tiff, tiff.load(path.c_str(), run.flags));
    }
    case Reader::Png: {
        PngImage png;
        return settle(png, png.load(path.c_str(), run.flags));
    }
    }
    return {};
}

Outcome loadTga(const std::string& name, unsigned flags)
{
    return load({Reader::Tga, flags, "tga"}, corpusPath(name));
}

Outcome loadJpeg(const std::string& name)
{
    return load({Reader::Jpeg, 0, "jpeg"}, corpusPath(name));
}

Outcome loadTiff(const std::string& name)
{
    return load({Reader::Tiff, 0, "tiff"}, corpusPath(name));
}

Outcome loadPng(const std::string& name)
{
    return load({Reader::Png, 0, "png"}, corpusPath(name));
}

// A corpus file's bytes as the TGA reader sees them: 255 past the end.
class FileBytes {
public:
    explicit FileBytes(const std::string& name) : bytes(readBytes(corpusPath(name))) {}
    uint8_t at(size_t offset) const { return offset < bytes.size() ? bytes[offset] : 255; }
    size_t size() const { return bytes.size(); }

private:
    std::vector<uint8_t> bytes;
};

const size_t TgaHeaderBytes = 18;

// A 24-bit TGA pixel as the reader delivers it with flags 0: the file's
// blue, green, red, and alpha 0.
std::vector<uint8_t> bgr0(const FileBytes& file, size_t offset)
{
    return {file.at(offset), file.at(offset + 1), file.at(offset + 2), 0};
}

std::vector<uint8_t> pixelAt(const Outcome& outcome, size_t index)
{
    return std::vector<uint8_t>(outcome.pixels.begin() + index * 4, outcome.pixels.begin() + index * 4 + 4);
}

TEST(BadFiles, EveryReaderEndsEveryFileCleanly)
{
    const std::vector<std::string> files = corpusFiles();
    ASSERT_GT(files.size(), 50u);
    for (const std::string& name : files)
        for (const ReaderRun& run : EveryRun) {
            SCOPED_TRACE(name + " through " + run.name);
            load(run, corpusPath(name));
        }
}

TEST(BadFiles, TheChainEndsEveryFileCleanly)
{
    for (const std::string& name : corpusFiles()) {
        SCOPED_TRACE(name);
        ReaderChain chain;
        const Image* winner = chain.load(corpusPath(name).c_str());
        if (winner)
            settle(*winner, winner->pixels);
        for (const Image* record : {static_cast<const Image*>(&chain.jpeg), static_cast<const Image*>(&chain.tga),
                                    static_cast<const Image*>(&chain.tiff), static_cast<const Image*>(&chain.png)}) {
            if (record != winner) {
                EXPECT_EQ(record->pixels, nullptr) << "a reader that lost kept a buffer";
            }
        }
    }
}

// Loads each file that loads at all twice, once over heap memory of 0x5A and
// once over 0xA5: a byte the reader never wrote would differ.
TEST(BadFiles, NoResultHoldsLeftoverHeapMemory)
{
    const uint64_t checkedBytes = 16u << 20;
    for (const std::string& name : corpusFiles())
        for (const ReaderRun& run : EveryRun) {
            SCOPED_TRACE(name + " through " + run.name);
            const Outcome plain = load(run, corpusPath(name));
            if (!plain.loaded || plain.pixels.size() > checkedBytes)
                continue;
            HeapFill::start(0x5A);
            const Outcome first = load(run, corpusPath(name));
            HeapFill::start(0xA5);
            const Outcome second = load(run, corpusPath(name));
            HeapFill::stop();
            EXPECT_TRUE(first.pixels == second.pixels && first.pixels == plain.pixels);
        }
}

TEST(BadFiles, EmptyFilesAndDirectoriesLoadNowhere)
{
    const TempFolder folder;
    for (const std::string& path : {folder.root(), corpusPath("empty"), corpusPath("one-byte")}) {
        SCOPED_TRACE(path);
        for (const ReaderRun& run : EveryRun)
            EXPECT_FALSE(load(run, path).loaded) << run.name;
        ReaderChain chain;
        EXPECT_EQ(chain.load(path.c_str()), nullptr);
    }
}

TEST(BadTga, MissingPixelBytesOfUncompressedFilesDecodeAs255)
{
    // 4 x 2, 24 bits, top row first: five whole pixels, then one byte.
    const FileBytes truncated("tga-uncompressed-truncated.tga");
    const Outcome plain = loadTga("tga-uncompressed-truncated.tga", 0);
    ASSERT_TRUE(plain.loaded);
    for (size_t i = 0; i < 8; ++i)
        EXPECT_EQ(pixelAt(plain, i), bgr0(truncated, TgaHeaderBytes + 3 * i)) << "pixel " << i;
    // The made-up red byte is 255, so its top bit gives alpha.
    EXPECT_EQ(pixelAt(loadTga("tga-uncompressed-truncated.tga", AlphaFromRedBit), 7),
              (std::vector<uint8_t>{255, 255, 255, 255}));

    // 3 x 3, 32 bits, bottom row first, four pixels present: the rows are
    // still turned round, so the file's first row is the last one.
    const FileBytes bottomFirst("tga-uncompressed-truncated-bottom-first.tga");
    const Outcome reversed = loadTga("tga-uncompressed-truncated-bottom-first.tga", 0);
    ASSERT_TRUE(reversed.loaded);
    const size_t fileOrder[9] = {6, 7, 8, 3, 4, 5, 0, 1, 2}; // output pixel -> file pixel
    for (size_t i = 0; i < 9; ++i) {
        const size_t at = TgaHeaderBytes + 4 * fileOrder[i];
        EXPECT_EQ(pixelAt(reversed, i), (std::vector<uint8_t>{bottomFirst.at(at), bottomFirst.at(at + 1),
                                                              bottomFirst.at(at + 2), bottomFirst.at(at + 3)}))
            << "pixel " << i;
    }

    const Outcome grey = loadTga("tga-grey-truncated.tga", 0);
    ASSERT_TRUE(grey.loaded);
    EXPECT_EQ(grey.pixels[6 * 4], FileBytes("tga-grey-truncated.tga").at(TgaHeaderBytes + 6));
    EXPECT_TRUE(std::all_of(grey.pixels.begin() + 7 * 4, grey.pixels.end(), [](uint8_t b) { return b == 255; }));

    // The third 16-bit pixel has one real byte, 0x1F: the word is 0xFF1F.
    const Outcome word = loadTga("tga-16bit-truncated-mid-pixel.tga", 0);
    ASSERT_TRUE(word.loaded);
    EXPECT_EQ(pixelAt(word, 2), (std::vector<uint8_t>{248, 192, 248, 0}));
    EXPECT_EQ(pixelAt(word, 5), (std::vector<uint8_t>{248, 248, 248, 0}));
}

TEST(BadTga, HeaderCutShortReadsItsMissingFieldsAs255)
{
    // Width and height become 65535: over the decode budget.
    EXPECT_FALSE(loadTga("tga-truncated-in-header.tga", 0).loaded);
    // Height 65535 and depth 255, which has no pixel layout.
    EXPECT_FALSE(loadTga("tga-truncated-after-width.tga", 0).loaded);
    // Only the descriptor is missing: 255 has the top-row-first bit.
    const Outcome noDescriptor = loadTga("tga-truncated-before-descriptor.tga", 0);
    ASSERT_TRUE(noDescriptor.loaded);
    EXPECT_EQ(noDescriptor.pixels,
              (std::vector<uint8_t>{255, 255, 255, 0, 255, 255, 255, 0, 255, 255, 255, 0, 255, 255, 255, 0}));
}

TEST(BadTga, RunLengthPacketsPastTheLastPixelFailAndReleaseTheBuffer)
{
    for (const char* name :
         {"tga-rle-run-past-picture.tga", "tga-rle-raw-past-picture.tga", "tga-rle-single-run-128-past-1x1.tga"}) {
        SCOPED_TRACE(name);
        TgaImage tga;
        ASSERT_NE(tga.load(corpusPath("tga-rle-packets-cross-rows.tga").c_str(), 0), nullptr);
        EXPECT_EQ(tga.load(corpusPath(name).c_str(), 0), nullptr);
        EXPECT_EQ(tga.pixels, nullptr);
    }
}

TEST(BadTga, RunLengthPacketsCrossRowEnds)
{
    // 4 x 3: a run of 6 pixels over rows 0 and 1, then 6 raw pixels.
    const FileBytes file("tga-rle-packets-cross-rows.tga");
    const Outcome crossing = loadTga("tga-rle-packets-cross-rows.tga", 0);
    ASSERT_TRUE(crossing.loaded);
    for (size_t i = 0; i < 6; ++i)
        EXPECT_EQ(pixelAt(crossing, i), bgr0(file, TgaHeaderBytes + 1));
    for (size_t i = 6; i < 12; ++i)
        EXPECT_EQ(pixelAt(crossing, i), bgr0(file, TgaHeaderBytes + 5 + 3 * (i - 6)));
}

// The reader never waits for packets that do not come: a stream that ends
// before the picture is complete fails, however large the picture claims to be.
TEST(BadTga, RunLengthStreamsThatEndEarlyFail)
{
    for (const char* name :
         {"tga-rle-ends-early.tga", "tga-rle-eof-inside-run-value.tga", "tga-rle-eof-inside-raw-packet.tga",
          "tga-rle-header-byte-only.tga", "tga-huge-rle-tiny-file.tga", "tga-id-and-map-past-end.tga"}) {
        SCOPED_TRACE(name);
        EXPECT_FALSE(loadTga(name, 0).loaded);
    }
}

TEST(BadTga, ColourMapsOfAnySizeAreSkippedWhole)
{
    struct Case {
        const char* name;
        size_t mapBytes;
    };
    // 1000 entries of 3 bytes (beyond the 768-byte table), 3 entries of 15
    // bits (2 bytes each), 5 of 7 bits (1 byte each), 4 of 255 bits (32 bytes
    // each), and a map given without the colour-map type.
    for (const Case& c : {Case{"tga-colormap-larger-than-table.tga", 3000}, Case{"tga-colormap-15bit-entries.tga", 6},
                          Case{"tga-colormap-odd-entry-size.tga", 5}, Case{"tga-colormap-255-bit-entries.tga", 128},
                          Case{"tga-colormap-without-type.tga", 6}}) {
        SCOPED_TRACE(c.name);
        const FileBytes file(c.name);
        const Outcome outcome = loadTga(c.name, 0);
        ASSERT_TRUE(outcome.loaded);
        EXPECT_EQ(TgaHeaderBytes + c.mapBytes + outcome.pixels.size() / 4 * 3, file.size());
        for (size_t i = 0; i < outcome.pixels.size() / 4; ++i)
            EXPECT_EQ(pixelAt(outcome, i), bgr0(file, TgaHeaderBytes + c.mapBytes + 3 * i)) << "pixel " << i;
    }
    // 65535 entries of 4 bytes run far past the end: every pixel is 255.
    const Outcome pastEnd = loadTga("tga-colormap-max-32bit-entries.tga", 0);
    ASSERT_TRUE(pastEnd.loaded);
    EXPECT_EQ(pixelAt(pastEnd, 3), (std::vector<uint8_t>{255, 255, 255, 0}));
}

TEST(BadTga, AnImageIdPastTheEndLeavesEveryPixelAt255)
{
    const Outcome outcome = loadTga("tga-id-past-end.tga", OpaqueAlpha);
    ASSERT_TRUE(outcome.loaded);
    EXPECT_EQ(outcome.pixels, std::vector<uint8_t>(2 * 2 * 4, 255));
}

TEST(BadTga, SizesOutsideA32BitByteCountAreRefusedAndZeroSizesAreEmpty)
{
    EXPECT_FALSE(loadTga("tga-size-overflows-32-bits.tga", 0).loaded);
    EXPECT_FALSE(loadTga("tga-size-just-over-32-bits.tga", 0).loaded);
    for (const char* name : {"tga-zero-width.tga", "tga-zero-height.tga"}) {
        const Outcome empty = loadTga(name, 0);
        EXPECT_TRUE(empty.loaded) << name;
        EXPECT_TRUE(empty.pixels.empty()) << name;
    }
}

TEST(BadTga, AHugePictureInATinyFileLoadsAs255s)
{
    // 2048 x 2048 at 24 bits with two pixels of data.
    const Outcome outcome = loadTga("tga-large-uncompressed-tiny-file.tga", OpaqueAlpha);
    ASSERT_TRUE(outcome.loaded);
    ASSERT_EQ(outcome.pixels.size(), 2048u * 2048u * 4u);
    EXPECT_TRUE(std::all_of(outcome.pixels.begin() + 8, outcome.pixels.end(), [](uint8_t b) { return b == 255; }));
}

TEST(BadTga, TypesAndDepthsWithoutAPixelLayoutAreRefused)
{
    for (const char* name :
         {"tga-invalid-type-0.tga", "tga-invalid-type-1.tga", "tga-invalid-type-9.tga", "tga-invalid-type-11.tga",
          "tga-invalid-type-32.tga", "tga-invalid-type-33.tga", "tga-invalid-type-255.tga", "tga-type2-depth8.tga",
          "tga-type2-depth0.tga", "tga-type10-depth16.tga", "tga-type3-depth255.tga"}) {
        SCOPED_TRACE(name);
        TgaImage tga;
        ASSERT_NE(tga.load(corpusPath("tga-header-only.tga").c_str(), 0), nullptr);
        EXPECT_EQ(tga.load(corpusPath(name).c_str(), 0), nullptr);
        EXPECT_EQ(tga.pixels, nullptr);
    }
}

TEST(BadJpeg, AFileThatStopsInsideItsHeaderFails)
{
    for (const char* name : {"jpeg-soi-only.jpg", "jpeg-stops-in-app0.jpg", "jpeg-stops-in-dqt.jpg",
                             "jpeg-stops-in-sof.jpg", "jpeg-stops-in-dht.jpg", "jpeg-stops-before-sos.jpg",
                             "jpeg-stops-in-sos.jpg", "jpeg-progressive-stops-in-later-scan-header.jpg"}) {
        SCOPED_TRACE(name);
        EXPECT_FALSE(loadJpeg(name).loaded);
    }
}

TEST(BadJpeg, AFileThatStopsInsideItsImageDataStillLoads)
{
    for (const char* name :
         {"jpeg-truncated-in-data.jpg", "jpeg-progressive-truncated-in-data.jpg", "jpeg-no-eoi.jpg"}) {
        SCOPED_TRACE(name);
        const Outcome outcome = loadJpeg(name);
        ASSERT_TRUE(outcome.loaded);
        EXPECT_EQ(outcome.width, 19u);
        EXPECT_EQ(outcome.height, 13u);
    }
}

TEST(BadJpeg, SizesOutsideTheByteCountOrZeroFail)
{
    for (const char* name : {"jpeg-zero-width.jpg", "jpeg-zero-height.jpg", "jpeg-size-overflows-32-bits.jpg",
                             "jpeg-progressive-size-overflows-32-bits.jpg"}) {
        SCOPED_TRACE(name);
        EXPECT_FALSE(loadJpeg(name).loaded);
    }
}

TEST(BadJpeg, AFileThatRepeatsItsScansWithoutEndIsRefused)
{
    // Each scan is a pass over every coefficient; 1100 of them is no picture.
    EXPECT_FALSE(loadJpeg("jpeg-scan-repeated-1100-times.jpg").loaded);
}

TEST(BadTiff, BrokenStructureFails)
{
    for (const char* name : {"tiff-strip-past-eof.tif", "tiff-strip-runs-past-eof.tif", "tiff-strip-offset-wraps.tif",
                             "tiff-tile-past-eof.tif", "tiff-zero-width.tif", "tiff-zero-height.tif",
                             "tiff-size-overflows-32-bits.tif", "tiff-huge-width-one-row.tif",
                             "tiff-missing-strip-offsets.tif", "tiff-ifd-past-eof.tif", "tiff-header-only.tif",
                             "tiff-entry-count-past-eof.tif", "tiff-bad-version.tif", "tiff-bigtiff-truncated.tif"}) {
        SCOPED_TRACE(name);
        EXPECT_FALSE(loadTiff(name).loaded);
    }
}

TEST(BadTiff, LayoutsTheRgbaInterfaceCannotConvertFail)
{
    for (const char* name : {"tiff-unsupported-bit-depth.tif", "tiff-unsupported-photometric.tif"}) {
        SCOPED_TRACE(name);
        EXPECT_FALSE(loadTiff(name).loaded);
    }
}

TEST(BadTiff, ALoopingDirectoryChainStillYieldsTheFirstImage)
{
    const Outcome looping = loadTiff("tiff-ifd-loops-to-itself.tif");
    ASSERT_TRUE(looping.loaded);
    EXPECT_EQ(looping.pixels, loadTiff("tiff-handmade-valid.tif").pixels);
}

// Every PNG that is cut short or damaged anywhere, or whose header no picture
// can have, is refused: none is shown in part.
TEST(BadPng, DamagedOrCutShortFilesFail)
{
    for (const char* name : {"png-truncated-in-idat.png", "png-no-iend.png", "png-interlaced-truncated.png",
                             "png-signature-only.png", "png-chunk-length-past-eof.png", "png-zlib-check-mismatch.png",
                             "png-ihdr-crc-mismatch.png", "png-image-data-too-short.png", "png-bad-filter-type.png",
                             "png-palette-without-plte.png", "png-zero-width.png", "png-zero-height.png",
                             "png-size-overflows-32-bits.png", "png-huge-width-one-row.png"}) {
        SCOPED_TRACE(name);
        EXPECT_FALSE(loadPng(name).loaded);
    }
}

TEST(BadPng, WhatLibpngPassesOverLoadsAsItDecidesIt)
{
    const std::vector<uint8_t> red = {200, 10, 20, 255}, blue = {5, 15, 230, 255}, black = {0, 0, 0, 255};
    // Indices 2, 7 and 255 of a two-entry palette are black.
    const Outcome pastPalette = loadPng("png-index-past-palette.png");
    ASSERT_TRUE(pastPalette.loaded);
    EXPECT_EQ(pixelAt(pastPalette, 2), black);
    EXPECT_EQ(pixelAt(pastPalette, 3), black);
    EXPECT_EQ(pixelAt(pastPalette, 6), black);
    EXPECT_EQ(pixelAt(pastPalette, 7), blue);
    // A tRNS of more entries than the palette is dropped whole.
    const Outcome longTrns = loadPng("png-trns-longer-than-palette.png");
    ASSERT_TRUE(longTrns.loaded);
    EXPECT_EQ(pixelAt(longTrns, 0), red);
    EXPECT_EQ(pixelAt(longTrns, 1), blue);
    // A grey tRNS value beyond the depth is ignored: nothing is transparent.
    const Outcome grey = loadPng("png-grey1-trns-out-of-range.png");
    ASSERT_TRUE(grey.loaded);
    for (size_t i = 0; i < 16; ++i)
        EXPECT_EQ(grey.pixels[4 * i + 3], 255) << "pixel " << i;
    // Image data beyond the last row is extra, not an error.
    EXPECT_TRUE(loadPng("png-image-data-too-long.png").loaded);
}

TEST(MixedFiles, TheChainTakesTheFormatAFileBeginsWith)
{
    struct Case {
        const char* name;
        const char* winner; // "" when every reader refuses the file
    };
    for (const Case& c : {Case{"tga-continues-as-jpeg.tga", "tga"}, Case{"jpeg-continues-as-tga.jpg", "jpeg"},
                          Case{"jpeg-continues-as-tiff.jpg", ""}, Case{"tiff-continues-as-jpeg.tif", ""},
                          Case{"tiff-header-then-tga.tif", ""}, Case{"png-continues-as-tga.png", ""},
                          Case{"png-handmade-valid.png", "png"}}) {
        SCOPED_TRACE(c.name);
        ReaderChain chain;
        const Image* winner = chain.load(corpusPath(c.name).c_str());
        const std::string won = !winner                 ? ""
                                : winner == &chain.jpeg ? "jpeg"
                                : winner == &chain.tga  ? "tga"
                                : winner == &chain.tiff ? "tiff"
                                                        : "png";
        EXPECT_EQ(won, c.winner);
    }
}

} // namespace
