#include "qorx/image/JpegImage.h"

#include "SampleFiles.h"
#include "TempFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

namespace {

// 32 x 32: top half reddish, bottom half bluish.
const SampleBands Colour = {32, 32, 3, {200, 40, 60}, {30, 50, 210}};

// libjpeg's round trip is lossy; flat 16-row bands come back within a few
// levels.
void expectPixelNear(const uint8_t* pixel, const Bytes& want)
{
    for (size_t i = 0; i < want.size(); ++i)
        EXPECT_LE(std::abs(pixel[i] - want[i]), 3) << "byte " << i;
}

class JpegImageTest : public testing::Test {
protected:
    const uint8_t* pixel(uint32_t x, uint32_t y) const { return image.pixels + (size_t(y) * image.width + x) * 4; }

    TempFolder folder;
    JpegImage image;
};

TEST_F(JpegImageTest, ColourFilesGiveRgbZeroTopRowFirstInEitherByteOrder)
{
    for (bool progressive : {false, true}) {
        SCOPED_TRACE(progressive ? "progressive" : "baseline");
        const std::string path = folder.path("colour.jpg");
        writeJpeg(path, Colour, progressive);

        ASSERT_NE(image.load(path.c_str(), 0), nullptr);
        EXPECT_EQ(image.width, 32u);
        EXPECT_EQ(image.height, 32u);
        EXPECT_EQ(image.bytesPerPixel, 3);
        EXPECT_EQ(image.bitsPerPixel, 24);
        expectPixelNear(pixel(0, 0), {200, 40, 60, 0});
        expectPixelNear(pixel(31, 31), {30, 50, 210, 0});

        ASSERT_NE(image.load(path.c_str(), SwapRedBlue), nullptr);
        expectPixelNear(pixel(5, 3), {60, 40, 200, 0});
        expectPixelNear(pixel(5, 20), {210, 50, 30, 0});
    }
}

TEST_F(JpegImageTest, ColourMatchesLibjpegsDefaultOutputExactly)
{
    for (bool progressive : {false, true}) {
        SCOPED_TRACE(progressive ? "progressive" : "baseline");
        const std::string path = folder.path("detail.jpg");
        writeDetailedJpeg(path, 45, 37, progressive);
        const Bytes rgb = decodeJpegDefault(path);
        ASSERT_NE(image.load(path.c_str(), 0), nullptr);
        Bytes want;
        for (size_t i = 0; i < rgb.size(); i += 3)
            want.insert(want.end(), {rgb[i], rgb[i + 1], rgb[i + 2], 0});
        ASSERT_EQ(Bytes(image.pixels, image.pixels + 45 * 37 * 4), want);
    }
}

TEST_F(JpegImageTest, GreyScaleSpreadsEachSampleOverRedGreenAndBlue)
{
    const std::string path = folder.path("grey.jpg");
    writeJpeg(path, {16, 32, 1, {190}, {40}}, false);
    ASSERT_NE(image.load(path.c_str(), SwapRedBlue), nullptr);
    EXPECT_EQ(image.bytesPerPixel, 1);
    for (uint32_t y = 0; y < 32; ++y) {
        for (uint32_t x = 0; x < 16; ++x) {
            const uint8_t* p = pixel(x, y);
            ASSERT_EQ(p[0], p[1]);
            ASSERT_EQ(p[0], p[2]);
            ASSERT_EQ(p[3], 0);
        }
    }
    expectPixelNear(pixel(0, 0), {190});
    expectPixelNear(pixel(0, 31), {40});
}

TEST_F(JpegImageTest, FourComponentFilesAreCopiedAsDecoded)
{
    const std::string path = folder.path("cmyk.jpg");
    writeJpeg(path, {16, 32, 4, {10, 100, 200, 50}, {220, 20, 40, 0}}, false);
    ASSERT_NE(image.load(path.c_str(), 0), nullptr);
    EXPECT_EQ(image.bytesPerPixel, 4);
    expectPixelNear(pixel(0, 0), {10, 100, 200, 50});
    expectPixelNear(pixel(15, 31), {220, 20, 40, 0});
}

TEST_F(JpegImageTest, FileCutShortStillLoads)
{
    const std::string path = folder.path("cut.jpg");
    writeJpeg(path, {32, 256, 3, Colour.top, Colour.bottom}, false);
    Bytes bytes = readBytes(path);
    const Bytes startOfScan = {0xFF, 0xDA};
    const size_t scan = size_t(std::search(bytes.begin(), bytes.end(), startOfScan.begin(), startOfScan.end())
                               - bytes.begin());
    ASSERT_LT(scan, bytes.size());
    bytes.resize((scan + bytes.size()) / 2); // half-way through the compressed data
    writeBytes(path, bytes);
    testing::internal::CaptureStderr();
    EXPECT_NE(image.load(path.c_str(), 0), nullptr);
    EXPECT_NE(testing::internal::GetCapturedStderr().find("Premature end of JPEG file"), std::string::npos);
    expectPixelNear(pixel(0, 0), {200, 40, 60, 0});
}

TEST_F(JpegImageTest, OtherFilesFailAndTheProbeOfAnotherFormatIsSilent)
{
    const std::string tga = folder.path("picture.tga");
    writeBytes(tga, {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 1, 0, 24, 32, 1, 2, 3});
    testing::internal::CaptureStderr();
    EXPECT_EQ(image.load(tga.c_str(), 0), nullptr);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");

    const std::string empty = folder.path("empty.jpg");
    writeBytes(empty, {});
    testing::internal::CaptureStderr();
    EXPECT_EQ(image.load(empty.c_str(), 0), nullptr);
    EXPECT_NE(testing::internal::GetCapturedStderr().find("Empty input file"), std::string::npos);

    EXPECT_EQ(image.load(folder.path("missing.jpg").c_str(), 0), nullptr);
    EXPECT_EQ(image.pixels, nullptr);
}

// libjpeg accepts 65500 x 65500, whose 4-byte pixels need 16 GiB.
TEST_F(JpegImageTest, SizeBeyondA32BitByteCountFailsBeforeAllocating)
{
    const std::string path = folder.path("huge.jpg");
    writeJpeg(path, Colour, false);
    Bytes bytes = readBytes(path);
    for (size_t i = 0; i + 8 < bytes.size(); ++i) {
        if (bytes[i] == 0xFF && bytes[i + 1] == 0xC0) { // baseline frame header
            bytes[i + 5] = bytes[i + 7] = 0xFF;
            bytes[i + 6] = bytes[i + 8] = 0xDC;
            break;
        }
    }
    writeBytes(path, bytes);
    EXPECT_EQ(image.load(path.c_str(), 0), nullptr);
    EXPECT_EQ(image.width, 65500u);
    EXPECT_EQ(image.pixels, nullptr);
}

} // namespace
