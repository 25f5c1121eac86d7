#include "qorx/image/TiffImage.h"

#include "support/PictureFiles.h"

#include <gtest/gtest.h>

namespace {

// A picture of two bands, `top` over `bottom`, each colour given as
// `components` samples.
struct SampleBands {
    uint32_t width;
    uint32_t height;
    uint16_t components;
    Bytes top;
    Bytes bottom;
};

struct TiffLayout {
    uint16_t compression;
    uint16_t orientation; // ORIENTATION_TOPLEFT or ORIENTATION_BOTLEFT
    uint16_t predictor = PREDICTOR_NONE;
    bool associatedAlpha = false; // a fourth component is associated alpha
};

TiffPage bandsPage(const SampleBands& bands, const TiffLayout& layout)
{
    TiffPage page;
    page.width = bands.width;
    page.height = bands.height;
    page.samples = bands.components;
    page.compression = layout.compression;
    page.orientation = layout.orientation;
    page.predictor = layout.predictor;
    page.rowsPerStrip = 4;
    if (bands.components == 4)
        page.extraSamples = {uint16_t(layout.associatedAlpha ? EXTRASAMPLE_ASSOCALPHA : EXTRASAMPLE_UNASSALPHA)};
    for (uint32_t row = 0; row < bands.height; ++row) {
        const uint32_t y = layout.orientation == ORIENTATION_BOTLEFT ? bands.height - 1 - row : row;
        const Bytes& colour = y < bands.height / 2 ? bands.top : bands.bottom;
        for (uint32_t x = 0; x < bands.width; ++x)
            page.data.insert(page.data.end(), colour.begin(), colour.end());
    }
    return page;
}

void writeBands(const std::string& path, const std::vector<SampleBands>& images, const TiffLayout& layout)
{
    std::vector<TiffPage> pages;
    for (const SampleBands& bands : images)
        pages.push_back(bandsPage(bands, layout));
    ASSERT_TRUE(writeTiff(path, pages));
}

// 32-bit floating-point RGB samples, which libtiff's RGBA interface refuses.
void writeFloatTiff(const std::string& path)
{
    TiffPage page;
    page.width = 4;
    page.height = 2;
    page.bits = 32;
    page.sampleFormat = SAMPLEFORMAT_IEEEFP;
    const std::vector<float> samples(4 * 2 * 3, 0.5f);
    const uint8_t* bytes = reinterpret_cast<const uint8_t*>(samples.data());
    page.data.assign(bytes, bytes + samples.size() * sizeof(float));
    ASSERT_TRUE(writeTiff(path, {page}));
}

const SampleBands RedOverBlue = {8, 6, 3, {200, 10, 20}, {5, 15, 230}};

class TiffImageTest : public testing::Test {
protected:
    Bytes pixel(uint32_t x, uint32_t y) const
    {
        const uint8_t* p = image.pixels + (size_t(y) * image.width + x) * 4;
        return Bytes(p, p + 4);
    }

    // Loads with stderr captured: libtiff must say nothing.
    uint8_t* quietLoad(const std::string& path, unsigned flags)
    {
        testing::internal::CaptureStderr();
        uint8_t* result = image.load(path.c_str(), flags);
        EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
        return result;
    }

    TempFolder folder;
    TiffImage image;
};

TEST_F(TiffImageTest, EveryCompressionAndOrientationGivesTheTopRowFirst)
{
    const std::vector<TiffLayout> layouts = {{COMPRESSION_NONE, ORIENTATION_TOPLEFT},
                                             {COMPRESSION_LZW, ORIENTATION_TOPLEFT},
                                             {COMPRESSION_LZW, ORIENTATION_TOPLEFT, PREDICTOR_HORIZONTAL},
                                             {COMPRESSION_PACKBITS, ORIENTATION_TOPLEFT},
                                             {COMPRESSION_NONE, ORIENTATION_BOTLEFT},
                                             {COMPRESSION_PACKBITS, ORIENTATION_BOTLEFT}};
    for (const TiffLayout& layout : layouts) {
        SCOPED_TRACE(testing::Message() << "compression " << layout.compression << " orientation " << layout.orientation
                                        << " predictor " << layout.predictor);
        const std::string path = folder.path("bands.tif");
        writeBands(path, {RedOverBlue}, layout);
        ASSERT_NE(quietLoad(path, 0), nullptr);
        EXPECT_EQ(image.width * image.height, 48u);
        EXPECT_EQ(image.pixelCount, 48);
        EXPECT_EQ(concat({pixel(0, 0), pixel(7, 2), pixel(0, 3), pixel(7, 5)}),
                  Bytes({200, 10, 20, 255, 200, 10, 20, 255, 5, 15, 230, 255, 5, 15, 230, 255}));
    }
}

TEST_F(TiffImageTest, SwapRedBlueExchangesBytesZeroAndTwoOnly)
{
    const std::string path = folder.path("alpha.tif");
    TiffLayout layout = {COMPRESSION_NONE, ORIENTATION_TOPLEFT};
    layout.associatedAlpha = true;
    writeBands(path, {{4, 2, 4, {10, 20, 30, 40}, {1, 2, 3, 4}}}, layout);
    ASSERT_NE(quietLoad(path, 0), nullptr);
    EXPECT_EQ(pixel(0, 0), Bytes({10, 20, 30, 40}));
    ASSERT_NE(quietLoad(path, SwapRedBlue), nullptr);
    EXPECT_EQ(pixel(0, 0), Bytes({30, 20, 10, 40}));
    EXPECT_EQ(pixel(3, 1), Bytes({3, 2, 1, 4}));
}

TEST_F(TiffImageTest, SeveralImagesYieldTheFirst)
{
    const std::string path = folder.path("pages.tif");
    const SampleBands green = {3, 2, 3, {0, 250, 0}, {0, 250, 0}};
    writeBands(path, {RedOverBlue, green, green}, {COMPRESSION_LZW, ORIENTATION_TOPLEFT});
    ASSERT_NE(quietLoad(path, 0), nullptr);
    EXPECT_EQ(image.width, 8u);
    EXPECT_EQ(pixel(0, 0), Bytes({200, 10, 20, 255}));
}

TEST_F(TiffImageTest, FilesLibtiffCannotOpenOrConvertFailSilently)
{
    const std::string converted = folder.path("ok.tif");
    writeBands(converted, {RedOverBlue}, {COMPRESSION_NONE, ORIENTATION_TOPLEFT});
    const std::string floats = folder.path("float.tif");
    writeFloatTiff(floats);
    ASSERT_NE(quietLoad(converted, 0), nullptr);
    EXPECT_EQ(quietLoad(floats, 0), nullptr);
    EXPECT_EQ(image.pixels, nullptr);

    // Not a TIFF: the size fields stay as they were.
    const std::string text = folder.path("text.tif");
    writeBytes(text, {'h', 'e', 'l', 'l', 'o', '\n'});
    TiffImage fresh;
    testing::internal::CaptureStderr();
    EXPECT_EQ(fresh.load(text.c_str(), 0), nullptr);
    EXPECT_EQ(fresh.load(folder.path("missing.tif").c_str(), 0), nullptr);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_EQ(fresh.width, 0u);
    EXPECT_EQ(fresh.height, 0u);
}

} // namespace
