// Peak heap of one load against the decoded size of the picture
// (width x height x 4), for files made to need the most working memory each
// reader can need: see "Robustness" in the README for the bound.
#include "JpegSeeds.h"
#include "PeakHeap.h"
#include "PngSeeds.h"
#include "TgaSeeds.h"
#include "TiffSeeds.h"
#include "qorx/image/JpegImage.h"
#include "qorx/image/PngImage.h"
#include "qorx/image/TgaImage.h"
#include "qorx/image/TiffImage.h"
#include "support/PictureFiles.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

const uint32_t Width = 1024;
const uint32_t Height = 768;
const uint64_t Decoded = uint64_t(Width) * Height * 4;

class MemoryBound : public ::testing::Test {
protected:
    std::string path(const std::string& name) const { return folder.path(name); }

    // The growth of the heap's peak over one load, record and all.
    template <typename Reader>
    uint64_t peakOfLoad(const std::string& file, LoadFailure failure = LoadFailure::None)
    {
        PeakHeap::restart();
        {
            Reader reader;
            EXPECT_EQ(reader.load(file.c_str(), 0) != nullptr, failure == LoadFailure::None) << file;
            EXPECT_EQ(reader.failure(), failure) << file;
            EXPECT_EQ(uint64_t(reader.width) * reader.height * 4, Decoded) << file;
        }
        const uint64_t growth = PeakHeap::growth();
        std::printf("%s: peak %.2f x decoded size\n", file.c_str(), double(growth) / Decoded);
        return growth;
    }

    TempFolder folder;
};

TEST_F(MemoryBound, TgaHoldsOnePictureAndASmallConstant)
{
    for (uint8_t type : {2, 10}) {
        const std::string file = path("bottom-first-" + std::to_string(type) + ".tga");
        ASSERT_TRUE(writeBytes(file, TgaSeeds::encode({type, 24, Width, Height, false, 0, 0, 0})));
        EXPECT_LE(peakOfLoad<TgaImage>(file), Decoded + (64u << 10));
    }
}

TEST_F(MemoryBound, JpegHoldsThePictureAndAtMostTwoBytesPerSampleOfCoefficients)
{
    struct Case {
        JpegSeeds::Shape shape;
        uint64_t limit;
    };
    const Case cases[] = {
        // One scan: no more than some rows of samples besides the picture.
        {{JpegColours::Rgb, JpegCoding::Baseline, Width, Height, false}, Decoded + (1u << 20)},
        // Several scans keep every coefficient: 2 bytes for each of 3 or 4
        // full-size components, 1.5 or 2 times the decoded size.
        {{JpegColours::Rgb, JpegCoding::Progressive, Width, Height, true}, Decoded * 5 / 2 + (1u << 20)},
        {{JpegColours::Cmyk, JpegCoding::Progressive, Width, Height, true}, Decoded * 3 + (1u << 20)},
        {{JpegColours::Cmyk, JpegCoding::OneScanPerComponent, Width, Height, true}, Decoded * 3 + (1u << 20)},
    };
    int index = 0;
    for (const Case& c : cases) {
        const std::string file = path("case-" + std::to_string(index++) + ".jpg");
        ASSERT_TRUE(writeBytes(file, JpegSeeds::encode(c.shape)));
        EXPECT_LE(peakOfLoad<JpegImage>(file), c.limit) << file;
    }
}

TEST_F(MemoryBound, TiffHoldsThePictureAndOneDecodedStripOrTile)
{
    struct Case {
        TiffSeeds::Shape shape;
        uint64_t limit;
    };
    const Case cases[] = {
        // One compressed strip of 8-bit RGB: 3 bytes a pixel besides the picture.
        {{TiffSeeds::Layout::Rgb, COMPRESSION_LZW, false, Width, Height, 0, 0, ORIENTATION_TOPLEFT, "w", 1},
         Decoded * 7 / 4 + (1u << 20)},
        // One strip of 16-bit RGBA: 8 bytes a pixel.
        {{TiffSeeds::Layout::Rgba16, COMPRESSION_ADOBE_DEFLATE, false, Width, Height, 0, 0, ORIENTATION_BOTLEFT, "w",
          1},
         Decoded * 3 + (1u << 20)},
        // Tiles and separate planes.
        {{TiffSeeds::Layout::RgbPlanar, COMPRESSION_PACKBITS, false, Width, Height, 0, 256, ORIENTATION_TOPLEFT, "w",
          1},
         Decoded + (1u << 20)},
    };
    int index = 0;
    TIFFSetWarningHandler(nullptr);
    for (const Case& c : cases) {
        const std::string file = path("case-" + std::to_string(index++) + ".tif");
        ASSERT_TRUE(TiffSeeds::write(file, c.shape));
        EXPECT_LE(peakOfLoad<TiffImage>(file), c.limit) << file;
    }
}

// libpng's working memory is a few rows of the widest pixels (16-bit RGBA,
// 8 bytes) and zlib's 32 KiB window; each pass of an interlaced file goes
// straight into the picture, never through a second one.
TEST_F(MemoryBound, PngHoldsThePictureAndAFewRows)
{
    const uint64_t rows = 4 * uint64_t(Width) * 8;
    int index = 0;
    for (const PngSeeds::Shape& shape : {PngSeeds::Shape{PNG_COLOR_TYPE_RGB_ALPHA, 8, Width, Height, false, false},
                                         PngSeeds::Shape{PNG_COLOR_TYPE_RGB_ALPHA, 16, Width, Height, true, false},
                                         PngSeeds::Shape{PNG_COLOR_TYPE_PALETTE, 1, Width, Height, true, true}}) {
        const std::string file = path("case-" + std::to_string(index++) + ".png");
        ASSERT_TRUE(writeBytes(file, PngSeeds::encode(shape)));
        EXPECT_LE(peakOfLoad<PngImage>(file), Decoded + rows + (64u << 10)) << file;
    }
}

// Each reader refuses a picture over the decode budget from its header,
// holding far less than the picture would need.
TEST_F(MemoryBound, PictureOverTheDecodeBudgetIsRefusedBeforeItsPixelsAreAllocated)
{
    const std::string tga = path("over.tga"), jpeg = path("over.jpg"), tiff = path("over.tif"), png = path("over.png");
    ASSERT_TRUE(writeBytes(tga, TgaSeeds::encode({2, 24, Width, Height, false, 0, 0, 0})));
    ASSERT_TRUE(writeBytes(jpeg, JpegSeeds::encode({JpegColours::Rgb, JpegCoding::Progressive, Width, Height, true})));
    ASSERT_TRUE(TiffSeeds::write(
        tiff, {TiffSeeds::Layout::Rgb, COMPRESSION_LZW, false, Width, Height, 0, 0, ORIENTATION_TOPLEFT, "w", 1}));
    ASSERT_TRUE(writeBytes(png, PngSeeds::encode({PNG_COLOR_TYPE_RGB, 8, Width, Height, true, false})));
    Image::setDecodeBudget(uint64_t(Width) * Height - 1);
    EXPECT_LT(peakOfLoad<TgaImage>(tga, LoadFailure::OverBudget), Decoded / 8);
    EXPECT_LT(peakOfLoad<JpegImage>(jpeg, LoadFailure::OverBudget), Decoded / 8);
    EXPECT_LT(peakOfLoad<TiffImage>(tiff, LoadFailure::OverBudget), Decoded / 8);
    EXPECT_LT(peakOfLoad<PngImage>(png, LoadFailure::OverBudget), Decoded / 8);
    Image::setDecodeBudget(Image::DefaultDecodeBudget);
}

// RGB with 17 extra samples of 16 bits: 40 bytes a pixel, ten times the
// decoded picture for a strip that holds every row.
bool writeWideSampleTiff(const std::string& file, uint32_t rowsPerStrip)
{
    TiffPage page;
    page.width = Width;
    page.height = Height;
    page.samples = 20;
    page.bits = 16;
    page.compression = COMPRESSION_ADOBE_DEFLATE;
    page.rowsPerStrip = rowsPerStrip;
    page.extraSamples.assign(page.samples - 3, EXTRASAMPLE_UNSPECIFIED);
    page.data.assign(page.rowBytes() * Height, 0x80);
    return writeTiff(file, {page});
}

TEST_F(MemoryBound, TiffWhoseStripWouldOutgrowTheBoundIsRefused)
{
    const std::string wholeStrip = path("wide-samples-one-strip.tif");
    ASSERT_TRUE(writeWideSampleTiff(wholeStrip, Height));
    TiffImage refused;
    EXPECT_EQ(refused.load(wholeStrip.c_str(), 0), nullptr);
    EXPECT_EQ(refused.pixels, nullptr);

    // The same samples a few rows at a time need little besides the picture.
    const std::string smallStrips = path("wide-samples-small-strips.tif");
    ASSERT_TRUE(writeWideSampleTiff(smallStrips, 8));
    EXPECT_LE(peakOfLoad<TiffImage>(smallStrips), Decoded + (1u << 20));
}

} // namespace
