#include "qorx/image/JpegImage.h"

#include "support/PictureFiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

namespace {

// A JPEG full of detail, with 1 (grey), 3 (RGB) or 4 (CMYK) components.
void writeDetailJpeg(const std::string& path, uint32_t width, uint32_t height, int components, bool progressive)
{
    Bytes samples(size_t(width) * height * components);
    for (size_t i = 0; i < samples.size(); ++i) {
        const size_t x = i % (width * components), y = i / (width * components);
        samples[i] = uint8_t((x * 7 + y * 13) ^ (x * y >> 4));
    }
    JpegSettings settings;
    settings.colours = components == 1 ? JpegColours::Grey : components == 3 ? JpegColours::Rgb : JpegColours::Cmyk;
    settings.coding = progressive ? JpegCoding::Progressive : JpegCoding::Baseline;
    writeBytes(path, encodeJpeg(samples, width, height, settings));
}

// What the record should hold for libjpeg's default output: colour gains a
// fourth byte of 0, grey is spread over three, CMYK as libjpeg writes it
// (marked as Adobe's, inks inverted) becomes each ink times black, rounded;
// then SwapRedBlue exchanges bytes 0 and 2 of every pixel.
Bytes recordPixels(const Bytes& samples, int components, unsigned flags)
{
    Bytes want;
    for (size_t i = 0; i < samples.size(); i += components) {
        const uint8_t* s = &samples[i];
        auto times = [&](int k) { return uint8_t((s[k] * s[3] + 127) / 255); };
        if (components == 4)
            want.insert(want.end(), {times(0), times(1), times(2), 0});
        else if (components == 3)
            want.insert(want.end(), {s[0], s[1], s[2], 0});
        else
            want.insert(want.end(), {s[0], s[0], s[0], 0});
        if (flags & SwapRedBlue)
            std::swap(want[want.size() - 4], want[want.size() - 2]);
    }
    return want;
}

class JpegImageTest : public testing::Test {
protected:
    Bytes pixels() const { return Bytes(image.pixels, image.pixels + size_t(image.width) * image.height * 4); }

    TempFolder folder;
    JpegImage image;
};

TEST_F(JpegImageTest, PixelsAreLibjpegsOwnOutputTopRowFirstInFourBytes)
{
    const std::vector<std::pair<int, bool>> kinds = {{3, false}, {3, true}, {1, false}, {1, true}, {4, false}};
    for (auto [components, progressive] : kinds) {
        SCOPED_TRACE(testing::Message() << components << " components, progressive " << progressive);
        const std::string path = folder.path("detail.jpg");
        writeDetailJpeg(path, 45, 37, components, progressive);
        const Bytes samples = decodeJpegDefault(path);
        for (unsigned flags : {0u, unsigned(SwapRedBlue)}) {
            ASSERT_NE(image.load(path.c_str(), flags), nullptr);
            EXPECT_EQ(image.width, 45u);
            EXPECT_EQ(image.height, 37u);
            EXPECT_EQ(image.bytesPerPixel, components);
            EXPECT_EQ(image.bitsPerPixel, 8 * components);
            ASSERT_EQ(pixels(), recordPixels(samples, components, flags)) << "flags " << flags;
        }
    }
}

TEST_F(JpegImageTest, FileCutShortStillLoadsWithLibjpegsWarning)
{
    const std::string path = folder.path("cut.jpg");
    writeDetailJpeg(path, 64, 64, 3, false);
    Bytes bytes = readBytes(path);
    const Bytes startOfScan = {0xFF, 0xDA};
    const auto scan = std::search(bytes.begin(), bytes.end(), startOfScan.begin(), startOfScan.end());
    bytes.erase(scan + (bytes.end() - scan) / 2, bytes.end());
    writeBytes(path, bytes);

    testing::internal::CaptureStderr();
    const Bytes samples = decodeJpegDefault(path);
    const uint8_t* loaded = image.load(path.c_str(), 0);
    const std::string messages = testing::internal::GetCapturedStderr();
    ASSERT_NE(loaded, nullptr);
    EXPECT_NE(messages.find("Premature end of JPEG file"), std::string::npos);
    EXPECT_EQ(pixels(), recordPixels(samples, 3, 0));
}

// Blocks of known colours, written as CMYK by libjpeg with and without
// Adobe's marker (inks inverted either way, as other writers store them and
// every other reader reads them), as YCCK, and by ImageMagick, come out as
// those colours within a few units.
TEST_F(JpegImageTest, CmykAndYcckFilesShowTheirColours)
{
    struct Swatch {
        Bytes inks; // cyan, magenta, yellow, black
        Bytes rgb;
    };
    const std::vector<Swatch> swatches = {
        {{0, 255, 255, 0}, {255, 0, 0}},     {{255, 0, 255, 0}, {0, 255, 0}}, {{255, 255, 0, 0}, {0, 0, 255}},
        {{0, 0, 0, 0}, {255, 255, 255}},     {{0, 0, 0, 255}, {0, 0, 0}},     {{0, 0, 0, 127}, {128, 128, 128}},
        {{0, 100, 200, 50}, {205, 125, 44}},
    };
    const uint32_t width = 8 * uint32_t(swatches.size()), height = 8;
    Bytes inverted, rgb;
    for (uint32_t i = 0; i < width * height; ++i) {
        const Swatch& swatch = swatches[i % width / 8];
        for (uint8_t ink : swatch.inks)
            inverted.push_back(uint8_t(255 - ink));
        rgb.insert(rgb.end(), swatch.rgb.begin(), swatch.rgb.end());
    }
    JpegSettings settings;
    settings.quality = 100;
    settings.fullChroma = true;
    settings.colours = JpegColours::Cmyk;
    writeBytes(folder.path("adobe-cmyk.jpg"), encodeJpeg(inverted, width, height, settings));
    settings.colours = JpegColours::Ycck;
    writeBytes(folder.path("adobe-ycck.jpg"), encodeJpeg(inverted, width, height, settings));
    settings.colours = JpegColours::Cmyk;
    settings.adobeMarker = false;
    writeBytes(folder.path("plain-cmyk.jpg"), encodeJpeg(inverted, width, height, settings));
    const std::string header = "P6\n" + std::to_string(width) + " " + std::to_string(height) + "\n255\n";
    writeBytes(folder.path("swatches.ppm"), concat({Bytes(header.begin(), header.end()), rgb}));
    ASSERT_EQ(std::system(("convert " + folder.path("swatches.ppm") + " -colorspace CMYK -quality 100 " +
                           folder.path("imagemagick.jpg"))
                              .c_str()),
              0);

    for (const char* name : {"adobe-cmyk.jpg", "adobe-ycck.jpg", "plain-cmyk.jpg", "imagemagick.jpg"}) {
        SCOPED_TRACE(name);
        for (unsigned flags : {0u, unsigned(SwapRedBlue)}) {
            ASSERT_NE(image.load(folder.path(name).c_str(), flags), nullptr);
            EXPECT_EQ(image.bytesPerPixel, 4);
            for (size_t i = 0; i < swatches.size(); ++i) {
                const uint8_t* p = image.pixels + (4 * width + 8 * i + 4) * 4;
                const Bytes& want = swatches[i].rgb;
                const int red = flags ? 2 : 0;
                EXPECT_NEAR(p[red], want[0], 3) << "swatch " << i << " flags " << flags;
                EXPECT_NEAR(p[1], want[1], 3) << "swatch " << i;
                EXPECT_NEAR(p[2 - red], want[2], 3) << "swatch " << i;
                EXPECT_EQ(p[3], 0);
            }
        }
    }
}

// Every file meets the JPEG reader first: another format, or an empty file
// of any format, fails without a word on stderr.
TEST_F(JpegImageTest, OtherFilesFailSilentlyWithTheirReason)
{
    const std::string tga = folder.path("picture.tga");
    writeBytes(tga, concat({tgaHeader(2, 1, 1, 24, 0x20), {1, 2, 3}}));
    const std::string empty = folder.path("empty.jpg");
    writeBytes(empty, {});
    struct Case {
        std::string path;
        LoadFailure failure;
        const char* reason;
    };
    for (const Case& c :
         {Case{tga, LoadFailure::OtherFormat, "not a JPEG file"}, Case{empty, LoadFailure::Empty, "empty file"},
          Case{folder.root(), LoadFailure::System, "Is a directory"},
          Case{folder.path("missing.jpg"), LoadFailure::System, "No such file or directory"}}) {
        SCOPED_TRACE(c.path);
        testing::internal::CaptureStderr();
        EXPECT_EQ(image.load(c.path.c_str(), 0), nullptr);
        EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
        EXPECT_EQ(image.failure(), c.failure);
        EXPECT_STREQ(image.failureReason(), c.reason);
        EXPECT_EQ(image.pixels, nullptr);
    }
}

// libjpeg accepts 65500 x 65500, whose 4-byte pixels need 16 GiB: over the
// decode budget, and over a 32-bit byte count however large the budget.
TEST_F(JpegImageTest, HugeFramesAreRefusedFromTheHeader)
{
    const std::string path = folder.path("huge.jpg");
    writeDetailJpeg(path, 16, 16, 3, false);
    Bytes bytes = readBytes(path);
    const Bytes frame = {0xFF, 0xC0}; // then length, precision, height, width
    const size_t at = size_t(std::search(bytes.begin(), bytes.end(), frame.begin(), frame.end()) - bytes.begin());
    ASSERT_LT(at + 8, bytes.size());
    bytes[at + 5] = bytes[at + 7] = 0xFF;
    bytes[at + 6] = bytes[at + 8] = 0xDC;
    writeBytes(path, bytes);
    EXPECT_EQ(image.load(path.c_str(), 0), nullptr);
    EXPECT_EQ(image.failure(), LoadFailure::OverBudget);
    EXPECT_EQ(image.width, 65500u);
    EXPECT_EQ(image.pixels, nullptr);

    Image::setDecodeBudget(UINT64_MAX);
    EXPECT_EQ(image.load(path.c_str(), 0), nullptr);
    Image::setDecodeBudget(Image::DefaultDecodeBudget);
    EXPECT_STREQ(image.failureReason(), "65500 x 65500 pixels need 4 GiB or more");
    EXPECT_EQ(image.pixels, nullptr);
}

} // namespace
