#include "qorx/image/TgaImage.h"

#include "support/PictureFiles.h"

#include <gtest/gtest.h>

namespace {

const uint8_t TopFirst = 0x20;
const uint8_t BottomFirst = 0x00;

Bytes pixelsOf(const TgaImage& image)
{
    return Bytes(image.pixels, image.pixels + size_t(image.width) * image.height * 4);
}

class TgaImageTest : public testing::Test {
protected:
    // Loads `bytes` as a TGA file into `image`.
    uint8_t* load(const Bytes& bytes, unsigned flags)
    {
        const std::string path = folder.path("picture.tga");
        writeBytes(path, bytes);
        return image.load(path.c_str(), flags);
    }

    TempFolder folder;
    TgaImage image;
};

const uint8_t RightToLeft = 0x10;
const uint8_t Orders[] = {TopFirst, BottomFirst, TopFirst | RightToLeft, BottomFirst | RightToLeft};

// Which pixel of the file, counted in file order, shows at (x, y) of the
// picture for the descriptor's row order (bit 5) and pixel order (bit 4).
size_t filePixelAt(uint32_t x, uint32_t y, uint32_t width, uint32_t height, uint8_t descriptor)
{
    const uint32_t row = descriptor & TopFirst ? y : height - 1 - y;
    const uint32_t column = descriptor & RightToLeft ? width - 1 - x : x;
    return size_t(row) * width + column;
}

// A 3 x 2 picture holding the pixels A B B / B C A in file order; as
// run-length data the run of B crosses the row end.
struct DepthCase {
    uint8_t type;
    uint8_t depth;
    std::vector<Bytes> stored;  // A, B, C as the file stores them
    std::vector<Bytes> decoded; // A, B, C decoded with SwapRedBlue
};

TEST_F(TgaImageTest, DecodesEachTypeAndDepthInEveryRowAndPixelOrder)
{
    const std::vector<DepthCase> cases = {
        {2, 16, {{0x00, 0x7C}, {0xE0, 0x03}, {0x1F, 0x40}}, {{248, 0, 0, 0}, {0, 248, 0, 0}, {128, 0, 248, 0}}},
        {2, 24, {{10, 20, 30}, {1, 2, 3}, {7, 8, 9}}, {{30, 20, 10, 0}, {3, 2, 1, 0}, {9, 8, 7, 0}}},
        {2, 32, {{10, 20, 30, 40}, {1, 2, 3, 4}, {7, 8, 9, 250}}, {{30, 20, 10, 40}, {3, 2, 1, 4}, {9, 8, 7, 250}}},
        {3, 8, {{77}, {5}, {200}}, {{77, 77, 77, 77}, {5, 5, 5, 5}, {200, 200, 200, 200}}},
        {3, 16, {{77, 255}, {5, 0}, {200, 128}}, {{77, 77, 77, 255}, {5, 5, 5, 0}, {200, 200, 200, 128}}},
        {10, 24, {{10, 20, 30}, {1, 2, 3}, {7, 8, 9}}, {{30, 20, 10, 0}, {3, 2, 1, 0}, {9, 8, 7, 0}}},
        {10, 32, {{10, 20, 30, 40}, {1, 2, 3, 4}, {7, 8, 9, 250}}, {{30, 20, 10, 40}, {3, 2, 1, 4}, {9, 8, 7, 250}}},
    };
    const int fileOrder[] = {0, 1, 1, 1, 2, 0};
    for (const DepthCase& c : cases) {
        const Bytes &a = c.stored[0], &b = c.stored[1], &cc = c.stored[2];
        const Bytes data = c.type == 10 ? concat({{0x00}, a, {0x82}, b, {0x01}, cc, a}) : concat({a, b, b, b, cc, a});
        for (uint8_t descriptor : Orders) {
            SCOPED_TRACE(testing::Message()
                         << "type " << int(c.type) << " depth " << int(c.depth) << " descriptor " << int(descriptor));
            ASSERT_NE(load(concat({tgaHeader(c.type, 3, 2, c.depth, descriptor), data}), SwapRedBlue), nullptr);
            EXPECT_EQ(image.bitsPerPixel, c.depth);
            EXPECT_EQ(image.bytesPerPixel, c.depth / 8);
            EXPECT_EQ(image.pixelCount, 6);
            Bytes want;
            for (uint32_t y = 0; y < 2; ++y)
                for (uint32_t x = 0; x < 3; ++x)
                    want = concat({want, c.decoded[fileOrder[filePixelAt(x, y, 3, 2, descriptor)]]});
            EXPECT_EQ(pixelsOf(image), want);
        }
    }
}

// Rows longer than the reader's block come straight from the file into the
// picture; a file cut short inside them still reads as 255s, in any order.
TEST_F(TgaImageTest, LongRowsInEveryOrderWholeOrCutShort)
{
    const uint32_t width = 20000, height = 3;
    Bytes data(size_t(width) * height * 4);
    for (size_t i = 0; i < data.size(); ++i)
        data[i] = uint8_t(i * 7 + i / 4099);
    for (size_t kept : {data.size(), data.size() - 30001}) {
        for (uint8_t descriptor : Orders) {
            SCOPED_TRACE(testing::Message() << kept << " bytes, descriptor " << int(descriptor));
            const Bytes file = concat({tgaHeader(2, width, height, 32, descriptor), data});
            ASSERT_NE(load(Bytes(file.begin(), file.begin() + 18 + kept), 0), nullptr);
            for (uint32_t y = 0; y < height; ++y)
                for (uint32_t x = 0; x < width; ++x) {
                    const size_t at = filePixelAt(x, y, width, height, descriptor) * 4;
                    const uint8_t* p = image.pixels + (size_t(y) * width + x) * 4;
                    for (size_t k = 0; k < 4; ++k)
                        ASSERT_EQ(p[k], at + k < kept ? data[at + k] : 255) << x << ", " << y;
                }
        }
    }
}

// A refusal names the type or depth only when the header looks like a TGA's.
TEST_F(TgaImageTest, RefusesTypesAndDepthsItHasNoLayoutFor)
{
    struct Refusal {
        uint8_t type;
        uint8_t depth;
        const char* reason;
    };
    const Refusal refused[] = {
        {1, 8, "TGA image type 1 (colour-mapped) is not supported"},
        {11, 8, "TGA image type 11 (run-length grey) is not supported"},
        {0, 24, "TGA image type 0 (no image data) is not supported"},
        {10, 16, "TGA run-length true colour at 16 bits per pixel is not supported"},
        {2, 8, "TGA true colour at 8 bits per pixel is not supported"},
        {2, 15, "TGA true colour at 15 bits per pixel is not supported"},
        {10, 8, "TGA run-length true colour at 8 bits per pixel is not supported"},
        {2, 0, "TGA true colour at 0 bits per pixel is not supported"},
        {3, 24, "TGA grey at 24 bits per pixel is not supported"},
        {3, 32, "TGA grey at 32 bits per pixel is not supported"},
        {12, 24, "not a TGA file"},
    };
    for (const Refusal& r : refused) {
        SCOPED_TRACE(testing::Message() << "type " << int(r.type) << " depth " << int(r.depth));
        ASSERT_NE(load(concat({tgaHeader(2, 1, 1, 24, TopFirst), {1, 2, 3}}), 0), nullptr);
        EXPECT_EQ(load(concat({tgaHeader(r.type, 1, 1, r.depth, TopFirst), Bytes(8, 9)}), 0), nullptr);
        EXPECT_EQ(image.pixels, nullptr);
        EXPECT_STREQ(image.failureReason(), r.reason);
    }
    Bytes mapType5 = concat({tgaHeader(2, 1, 1, 24, TopFirst), {1, 2, 3}});
    mapType5[1] = 5;
    EXPECT_NE(load(mapType5, 0), nullptr) << "only the reason depends on the colour-map type";
    EXPECT_EQ(load({}, 0), nullptr);
    EXPECT_EQ(image.failure(), LoadFailure::Empty);
    mapType5[2] = 1;
    EXPECT_EQ(load(mapType5, 0), nullptr);
    EXPECT_EQ(image.failure(), LoadFailure::OtherFormat);
}

struct FlagCase {
    uint8_t type;
    uint8_t depth;
    Bytes pixel;
    unsigned flags;
    Bytes want;
};

TEST_F(TgaImageTest, LoadFlagsSetByteOrderAndAlpha)
{
    const std::vector<FlagCase> cases = {
        {2, 24, {10, 20, 30}, 0, {10, 20, 30, 0}},
        {2, 24, {10, 20, 30}, SwapRedBlue, {30, 20, 10, 0}},
        {2, 24, {10, 20, 30}, OpaqueAlpha, {10, 20, 30, 255}},
        {2, 24, {10, 20, 128}, AlphaFromRedBit, {10, 20, 128, 255}},
        {2, 24, {10, 20, 127}, AlphaFromRedBit, {10, 20, 127, 0}},
        {2, 24, {10, 20, 127}, AlphaFromRedBit | OpaqueAlpha, {10, 20, 127, 255}},
        {2, 16, {0xFF, 0x7F}, 0, {248, 248, 248, 0}},
        {2, 16, {0xFF, 0x7F}, AlphaFromRedBit, {248, 248, 248, 255}},
        {2, 16, {0x00, 0x80}, AlphaFromRedBit, {0, 0, 0, 0}},
        {2, 16, {0x00, 0x80}, OpaqueAlpha, {0, 0, 0, 255}},
        {2, 16, {0x1F, 0x00}, SwapRedBlue, {0, 0, 248, 0}},
        {2, 32, {1, 2, 3, 4}, 0, {1, 2, 3, 4}},
        {2, 32, {1, 2, 3, 4}, OpaqueAlpha | AlphaFromRedBit, {1, 2, 3, 4}},
        {2, 32, {1, 2, 200, 4}, AlphaFromRedBit | SwapRedBlue, {200, 2, 1, 4}},
        {3, 8, {77}, SwapRedBlue | OpaqueAlpha | AlphaFromRedBit, {77, 77, 77, 77}},
    };
    for (const FlagCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "depth " << int(c.depth) << " flags " << c.flags);
        ASSERT_NE(load(concat({tgaHeader(c.type, 1, 1, c.depth, TopFirst), c.pixel}), c.flags), nullptr);
        EXPECT_EQ(pixelsOf(image), c.want);
    }
}

// Packets 0x00 (one raw), 0x7F (128 raw), 0x80 (run of one), 0xFF (run of
// 128) make 258 pixels; the row is one pixel shorter or the file cut short.
TEST_F(TgaImageTest, RunLengthPacketsAndTheirLimits)
{
    Bytes raw128;
    for (int i = 0; i < 128; ++i)
        raw128.insert(raw128.end(), {uint8_t(i), 0, 0});
    const Bytes stream = concat({{0x00, 9, 9, 9}, {0x7F}, raw128, {0x80, 7, 7, 7}, {0xFF, 5, 6, 200}});

    ASSERT_NE(load(concat({tgaHeader(10, 258, 1, 24, TopFirst), stream}), AlphaFromRedBit), nullptr);
    const Bytes pixels = pixelsOf(image);
    EXPECT_EQ(Bytes(pixels.begin(), pixels.begin() + 4), Bytes({9, 9, 9, 0}));
    EXPECT_EQ(Bytes(pixels.begin() + 4 * 128, pixels.begin() + 4 * 129), Bytes({127, 0, 0, 0}));
    EXPECT_EQ(Bytes(pixels.begin() + 4 * 129, pixels.begin() + 4 * 130), Bytes({7, 7, 7, 0}));
    for (size_t i = 130; i < 258; ++i)
        ASSERT_EQ(Bytes(pixels.begin() + 4 * i, pixels.begin() + 4 * i + 4), Bytes({5, 6, 200, 255})) << i;

    EXPECT_EQ(load(concat({tgaHeader(10, 257, 1, 24, TopFirst), stream}), 0), nullptr) << "overrun";
    EXPECT_EQ(image.pixels, nullptr);
    EXPECT_STREQ(image.failureReason(), "TGA run-length packet runs past the last pixel");
    EXPECT_EQ(load(concat({tgaHeader(10, 259, 1, 24, TopFirst), stream}), 0), nullptr) << "stream ends early";
    EXPECT_STREQ(image.failureReason(), "TGA run-length data ends early");
    EXPECT_EQ(load(concat({tgaHeader(10, 258, 1, 24, TopFirst), Bytes(stream.begin(), stream.end() - 1)}), 0), nullptr)
        << "last value cut short";
    EXPECT_STREQ(image.failureReason(), "TGA run-length data ends early");
    EXPECT_EQ(image.pixels, nullptr);
}

TEST_F(TgaImageTest, MissingBytesOfAnUncompressedFileDecodeAs255)
{
    // A 2 x 2 picture whose file stops one byte into the second pixel.
    ASSERT_NE(load(concat({tgaHeader(2, 2, 2, 24, TopFirst), {1, 2, 3, 4}}), 0), nullptr);
    EXPECT_EQ(pixelsOf(image), Bytes({1, 2, 3, 0, 4, 255, 255, 0, 255, 255, 255, 0, 255, 255, 255, 0}));

    // A header cut short reads as 255s: type 2 at depth 255 is refused.
    EXPECT_EQ(load({0, 0, 2, 0}, 0), nullptr);
    EXPECT_EQ(load({}, 0), nullptr);
}

TEST_F(TgaImageTest, ImageIdAndColourMapAreSkippedPastWhateverTheirSize)
{
    Bytes id = {'q', 'o', 'r', 'x', 0};
    Bytes bigMap(300 * 3);
    for (size_t i = 0; i < bigMap.size(); ++i)
        bigMap[i] = uint8_t(i * 7 % 251);
    ASSERT_NE(load(concat({tgaHeader(2, 1, 1, 24, TopFirst, 300, 24, 5), id, bigMap, {1, 2, 3}}), 0), nullptr);
    EXPECT_EQ(pixelsOf(image), Bytes({1, 2, 3, 0}));
    EXPECT_EQ(Bytes(image.imageId, image.imageId + 5), id);
    EXPECT_EQ(Bytes(image.colorMap, image.colorMap + 768), Bytes(bigMap.begin(), bigMap.begin() + 768));

    // Three 15-bit entries take two bytes each.
    ASSERT_NE(load(concat({tgaHeader(2, 1, 1, 24, TopFirst, 3, 15), Bytes(6, 0xEE), {4, 5, 6}}), 0), nullptr);
    EXPECT_EQ(pixelsOf(image), Bytes({4, 5, 6, 0}));
}

TEST_F(TgaImageTest, RecordKeepsOneBufferAndItsLastReason)
{
    ASSERT_NE(load(concat({tgaHeader(2, 1, 1, 24, TopFirst), {1, 2, 3}}), 0), nullptr);
    uint8_t* kept = image.pixels;
    EXPECT_EQ(image.load(folder.path("missing.tga").c_str(), 0), nullptr);
    EXPECT_EQ(image.pixels, kept) << "a file that cannot be opened changes nothing";
    EXPECT_EQ(image.failure(), LoadFailure::System);
    EXPECT_STREQ(image.failureReason(), "No such file or directory");
    ASSERT_NE(load(concat({tgaHeader(2, 3, 1, 32, TopFirst), Bytes(12, 8)}), 0), nullptr);
    EXPECT_EQ(pixelsOf(image), Bytes(12, 8));
    EXPECT_EQ(image.failure(), LoadFailure::None);
    EXPECT_STREQ(image.failureReason(), "");
    EXPECT_NE(load(tgaHeader(2, 0, 7, 24, BottomFirst), 0), nullptr) << "no pixels to read";
}

} // namespace
