#include "qorx/image/PngImage.h"

#include "support/PictureFiles.h"

#include <gtest/gtest.h>

#include <algorithm>

#include <zlib.h>

namespace {

// Odd sizes, so that every Adam7 pass has rows and columns to fill, some of
// them short.
const uint32_t Width = 13;
const uint32_t Height = 11;

struct Kind {
    int colourType;
    int depth;
};

// Every colour type with every depth it allows.
const Kind EveryKind[] = {
    {PNG_COLOR_TYPE_GRAY, 1},        {PNG_COLOR_TYPE_GRAY, 2},      {PNG_COLOR_TYPE_GRAY, 4},
    {PNG_COLOR_TYPE_GRAY, 8},        {PNG_COLOR_TYPE_GRAY, 16},     {PNG_COLOR_TYPE_PALETTE, 1},
    {PNG_COLOR_TYPE_PALETTE, 2},     {PNG_COLOR_TYPE_PALETTE, 4},   {PNG_COLOR_TYPE_PALETTE, 8},
    {PNG_COLOR_TYPE_RGB, 8},         {PNG_COLOR_TYPE_RGB, 16},      {PNG_COLOR_TYPE_GRAY_ALPHA, 8},
    {PNG_COLOR_TYPE_GRAY_ALPHA, 16}, {PNG_COLOR_TYPE_RGB_ALPHA, 8}, {PNG_COLOR_TYPE_RGB_ALPHA, 16},
};

int channelsOf(int colourType)
{
    return colourType == PNG_COLOR_TYPE_GRAY_ALPHA  ? 2
           : colourType == PNG_COLOR_TYPE_RGB       ? 3
           : colourType == PNG_COLOR_TYPE_RGB_ALPHA ? 4
                                                    : 1;
}

// A sample as eight bits: low depths widened to the full range, 16 bits
// rounded.
uint8_t eightBits(uint16_t value, int depth)
{
    const uint32_t most = (1u << depth) - 1;
    return uint8_t((value * 255u + most / 2) / most);
}

// Samples that reach every value of the depth, in no order.
PngPicture patterned(const Kind& kind, bool interlaced)
{
    PngPicture picture;
    picture.width = Width;
    picture.height = Height;
    picture.colourType = kind.colourType;
    picture.depth = kind.depth;
    picture.interlaced = interlaced;
    const uint32_t values = 1u << kind.depth;
    for (size_t i = 0; i < size_t(Width) * Height * channelsOf(kind.colourType); ++i)
        picture.samples.push_back(uint16_t(i * 40503u % values));
    if (kind.colourType == PNG_COLOR_TYPE_PALETTE)
        for (uint32_t entry = 0; entry < values; ++entry)
            picture.palette.push_back({uint8_t(entry * 3), uint8_t(255 - entry), uint8_t(entry * 77)});
    return picture;
}

// What the record should hold: red, green, blue, alpha, 255 where the file
// has no alpha, grey spread over three, palettes looked up.
Bytes recordPixels(const PngPicture& picture, unsigned flags)
{
    const int channels = channelsOf(picture.colourType);
    Bytes want;
    for (size_t i = 0; i < picture.samples.size(); i += channels) {
        const uint16_t* s = &picture.samples[i];
        auto at = [&](int k) { return eightBits(s[k], picture.depth); };
        if (picture.colourType == PNG_COLOR_TYPE_PALETTE) {
            const png_color& c = picture.palette[s[0]];
            const uint8_t alpha = s[0] < picture.paletteAlpha.size() ? picture.paletteAlpha[s[0]] : 255;
            want.insert(want.end(), {c.red, c.green, c.blue, alpha});
        } else if (channels <= 2) {
            want.insert(want.end(), {at(0), at(0), at(0), channels == 2 ? at(1) : uint8_t(255)});
        } else {
            want.insert(want.end(), {at(0), at(1), at(2), channels == 4 ? at(3) : uint8_t(255)});
        }
        if (flags & SwapRedBlue)
            std::swap(want[want.size() - 4], want[want.size() - 2]);
    }
    return want;
}

// The file with one more chunk right after IHDR; libpng's writer refuses to
// write some chunks a file may still hold.
Bytes withChunk(const Bytes& file, const char* type, const Bytes& data)
{
    const size_t afterHeader = 8 + 12 + 13;
    const uint32_t length = uint32_t(data.size());
    Bytes chunk = concat({{uint8_t(length >> 24), uint8_t(length >> 16), uint8_t(length >> 8), uint8_t(length)},
                          Bytes(type, type + 4),
                          data});
    const uint32_t crc = uint32_t(crc32(crc32(0, nullptr, 0), chunk.data() + 4, uInt(chunk.size() - 4)));
    chunk.insert(chunk.end(), {uint8_t(crc >> 24), uint8_t(crc >> 16), uint8_t(crc >> 8), uint8_t(crc)});
    return concat(
        {Bytes(file.begin(), file.begin() + afterHeader), chunk, Bytes(file.begin() + afterHeader, file.end())});
}

class PngImageTest : public testing::Test {
protected:
    Bytes pixels() const { return Bytes(image.pixels, image.pixels + size_t(image.width) * image.height * 4); }

    // Writes the picture and loads it with stderr captured: libpng must say
    // nothing, whatever it thinks of the file.
    uint8_t* quietLoad(const Bytes& file, unsigned flags = 0)
    {
        writeBytes(path, file);
        testing::internal::CaptureStderr();
        uint8_t* result = image.load(path.c_str(), flags);
        EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
        return result;
    }

    TempFolder folder;
    const std::string path = folder.path("picture.png");
    PngImage image;
};

TEST_F(PngImageTest, EveryColourTypeAndDepthInterlacedOrNotGivesRgbaTopRowFirst)
{
    for (const Kind& kind : EveryKind)
        for (bool interlaced : {false, true}) {
            SCOPED_TRACE(testing::Message() << "colour type " << kind.colourType << ", depth " << kind.depth
                                            << (interlaced ? ", interlaced" : ""));
            const PngPicture picture = patterned(kind, interlaced);
            for (unsigned flags : {0u, unsigned(SwapRedBlue)}) {
                ASSERT_NE(quietLoad(encodePng(picture), flags), nullptr) << image.failureReason();
                EXPECT_EQ(image.width, Width);
                EXPECT_EQ(image.height, Height);
                EXPECT_EQ(image.pixelCount, int32_t(Width * Height));
                EXPECT_EQ(image.bytesPerPixel, channelsOf(kind.colourType));
                EXPECT_EQ(image.bitsPerPixel, channelsOf(kind.colourType) * kind.depth);
                ASSERT_EQ(pixels(), recordPixels(picture, flags)) << "flags " << flags;
            }
        }
}

// All 65536 values of a 16-bit grey picture: each is (v * 255 + 32767) / 65535.
TEST_F(PngImageTest, SixteenBitSamplesRoundToTheNearestEightBitValue)
{
    PngPicture picture = patterned({PNG_COLOR_TYPE_GRAY, 16}, false);
    picture.width = picture.height = 256;
    picture.samples.resize(65536);
    for (uint32_t v = 0; v < 65536; ++v)
        picture.samples[v] = uint16_t(v);
    ASSERT_NE(quietLoad(encodePng(picture)), nullptr);
    for (uint32_t v = 0; v < 65536; ++v)
        ASSERT_EQ(image.pixels[4 * v], (v * 255 + 32767) / 65535) << "value " << v;
}

// tRNS makes the pixels of its grey or RGB value transparent and gives
// palette entries their alpha (255 past its last entry); a grey or RGB value
// the depth cannot hold names no pixel and is ignored.
TEST_F(PngImageTest, TransparencyChunksBecomeAlpha)
{
    for (bool interlaced : {false, true}) {
        SCOPED_TRACE(interlaced ? "interlaced" : "not interlaced");
        PngPicture palette = patterned({PNG_COLOR_TYPE_PALETTE, 4}, interlaced);
        palette.paletteAlpha = {0, 10, 200};
        ASSERT_NE(quietLoad(encodePng(palette)), nullptr);
        EXPECT_EQ(pixels(), recordPixels(palette, 0));

        for (const Kind& kind : {Kind{PNG_COLOR_TYPE_GRAY, 2}, Kind{PNG_COLOR_TYPE_GRAY, 16},
                                 Kind{PNG_COLOR_TYPE_RGB, 8}, Kind{PNG_COLOR_TYPE_RGB, 16}}) {
            SCOPED_TRACE(testing::Message() << "colour type " << kind.colourType << ", depth " << kind.depth);
            PngPicture picture = patterned(kind, interlaced);
            const uint16_t* first = picture.samples.data();
            const png_color_16 firstColour = {0, first[0], first[1], first[2], first[0]};
            picture.transparent = &firstColour;
            ASSERT_NE(quietLoad(encodePng(picture)), nullptr);
            Bytes want = recordPixels(picture, 0);
            const int channels = channelsOf(kind.colourType);
            for (size_t i = 0; i < picture.samples.size() / channels; ++i)
                if (std::equal(first, first + channels, first + i * channels))
                    want[4 * i + 3] = 0;
            EXPECT_EQ(pixels(), want);
            EXPECT_EQ(image.pixels[3], 0);
        }
    }
    // 1-bit grey whose tRNS says 255: libpng's low bit would make white
    // transparent.
    const PngPicture bilevel = patterned({PNG_COLOR_TYPE_GRAY, 1}, false);
    ASSERT_NE(quietLoad(withChunk(encodePng(bilevel), "tRNS", {0, 255})), nullptr);
    EXPECT_EQ(pixels(), recordPixels(bilevel, 0));
}

// A PNG cut short or damaged anywhere is refused, never shown in part.
TEST_F(PngImageTest, DamagedFilesAreRefusedWithLibpngsReason)
{
    const Bytes good = encodePng(patterned({PNG_COLOR_TYPE_RGB_ALPHA, 8}, true));
    const Bytes idat = {'I', 'D', 'A', 'T'};
    const size_t data = size_t(std::search(good.begin(), good.end(), idat.begin(), idat.end()) - good.begin()) + 4;
    const size_t dataLength = size_t(good[data - 6]) << 8 | good[data - 5];
    Bytes badCrc = good;
    badCrc[data + dataLength] ^= 0x40;
    struct Case {
        const char* what;
        Bytes bytes;
        const char* reason;
    };
    const Case cases[] = {
        {"cut inside the image data", Bytes(good.begin(), good.begin() + data + 20), "PNG: the file ends early"},
        {"cut before IEND", Bytes(good.begin(), good.end() - 12), "PNG: the file ends early"},
        {"an image data chunk whose CRC does not match", badCrc, "PNG: IDAT: CRC error"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_NE(quietLoad(good), nullptr);
        EXPECT_EQ(quietLoad(c.bytes), nullptr);
        EXPECT_EQ(image.failure(), LoadFailure::Refused);
        EXPECT_STREQ(image.failureReason(), c.reason);
        EXPECT_EQ(image.pixels, nullptr);
    }

    EXPECT_EQ(quietLoad({}), nullptr);
    EXPECT_EQ(image.failure(), LoadFailure::Empty);
    EXPECT_EQ(quietLoad(Bytes(good.begin(), good.begin() + 6)), nullptr);
    EXPECT_EQ(image.failure(), LoadFailure::OtherFormat);
    EXPECT_STREQ(image.failureReason(), "not a PNG file");
    EXPECT_EQ(image.load(folder.root().c_str(), 0), nullptr);
    EXPECT_STREQ(image.failureReason(), "Is a directory");
}

} // namespace
