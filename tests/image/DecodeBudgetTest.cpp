#include "qorx/image/ReaderChain.h"

#include "support/PictureFiles.h"

#include <gtest/gtest.h>

namespace {

// A 6 x 5 picture in each format; each test sets the budget around its 30
// pixels and puts the default back.
class DecodeBudgetTest : public testing::Test {
protected:
    DecodeBudgetTest()
    {
        writeBytes(tga, concat({tgaHeader(2, 6, 5, 24, 0x20), Bytes(6 * 5 * 3, 7)}));
        writeBytes(jpeg, encodeJpeg(Bytes(6 * 5 * 3, 100), 6, 5, {}));
        TiffPage page;
        page.width = 6;
        page.height = 5;
        page.data = Bytes(6 * 5 * 3, 50);
        writeTiff(tiff, {page});
        PngPicture picture;
        picture.width = 6;
        picture.height = 5;
        picture.samples.assign(6 * 5 * 3, 80);
        writeBytes(png, encodePng(picture));
    }
    ~DecodeBudgetTest() override { Image::setDecodeBudget(Image::DefaultDecodeBudget); }

    template <typename Reader>
    void expectBudgetHonoured(const std::string& path)
    {
        SCOPED_TRACE(path);
        Reader reader;
        Image::setDecodeBudget(30);
        EXPECT_NE(reader.load(path.c_str(), 0), nullptr);
        Image::setDecodeBudget(29);
        EXPECT_EQ(reader.load(path.c_str(), 0), nullptr);
        EXPECT_EQ(reader.failure(), LoadFailure::OverBudget);
        EXPECT_STREQ(reader.failureReason(), "6 x 5 pixels is over the decode budget of 29 pixels");
        EXPECT_EQ(reader.pixels, nullptr);
    }

    TempFolder folder;
    const std::string tga = folder.path("picture.tga");
    const std::string jpeg = folder.path("picture.jpg");
    const std::string tiff = folder.path("picture.tif");
    const std::string png = folder.path("picture.png");
};

TEST_F(DecodeBudgetTest, EveryReaderLoadsThePictureOfTheBudgetAndRefusesALargerOne)
{
    EXPECT_EQ(Image::decodeBudget(), uint64_t(1) << 28);
    expectBudgetHonoured<TgaImage>(tga);
    expectBudgetHonoured<JpegImage>(jpeg);
    expectBudgetHonoured<TiffImage>(tiff);
    expectBudgetHonoured<PngImage>(png);
}

// The refusal is final: no later reader gets to take the file for something
// else.
TEST_F(DecodeBudgetTest, TheChainStopsAtTheReaderThatRefusesForTheBudget)
{
    Image::setDecodeBudget(29);
    ReaderChain chain;
    EXPECT_EQ(chain.load(jpeg.c_str()), nullptr);
    EXPECT_STREQ(chain.failureReason(), "6 x 5 pixels is over the decode budget of 29 pixels");
    EXPECT_EQ(chain.tga.failure(), LoadFailure::None) << "the TGA reader was tried";
    EXPECT_EQ(chain.load(tga.c_str()), nullptr);
    EXPECT_EQ(chain.tiff.failure(), LoadFailure::None) << "the TIFF reader was tried";
    EXPECT_EQ(chain.png.failure(), LoadFailure::None) << "the PNG reader was tried";
    EXPECT_EQ(chain.load(tiff.c_str()), nullptr);
    EXPECT_EQ(chain.tiff.failure(), LoadFailure::OverBudget);
    EXPECT_EQ(chain.load(png.c_str()), nullptr);
    EXPECT_EQ(chain.png.failure(), LoadFailure::OverBudget);
}

// 20 bytes claiming 30000 x 30000 pixels (3.6 GB decoded), and sizes whose
// bytes do not fit 32 bits even without a budget, fail at once.
TEST_F(DecodeBudgetTest, HugeClaimsAreRefusedFromTheHeader)
{
    writeBytes(tga, concat({tgaHeader(2, 30000, 30000, 32, 0), {1, 2}}));
    TgaImage image;
    EXPECT_EQ(image.load(tga.c_str(), 0), nullptr);
    EXPECT_STREQ(image.failureReason(), "30000 x 30000 pixels is over the decode budget of 268435456 pixels");

    Image::setDecodeBudget(UINT64_MAX);
    writeBytes(tga, concat({tgaHeader(2, 65535, 16385, 32, 0), {1, 2}}));
    EXPECT_EQ(image.load(tga.c_str(), 0), nullptr);
    EXPECT_EQ(image.failure(), LoadFailure::Refused);
    EXPECT_STREQ(image.failureReason(), "65535 x 16385 pixels need 4 GiB or more");
}

} // namespace
