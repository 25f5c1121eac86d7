// Texture against the fake OpenGL: which reader wins, and exactly what
// reaches OpenGL and GLU.
#include "TestImages.h"

#include "FakePlatform.h"
#include "qorx/image/Texture.h"
#include "qorx/image/TiffImage.h"
#include "support/Files.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;
using ::testing::ElementsAre;
using ::testing::UnorderedElementsAreArray;

namespace {

class TextureLoad : public ::testing::Test {
protected:
    void SetUp() override { fake::reset(); }

    std::string path(const char* name) const { return dir.path(name); }

    // The pixels as the texture must hand them on: R, G, B, then a byte that
    // never reaches the texture (internal format 3).
    static std::vector<uint8_t> rgbOf(const fake::Upload& upload)
    {
        std::vector<uint8_t> rgb;
        for (size_t i = 0; i + 3 < upload.pixels.size(); i += 4)
            rgb.insert(rgb.end(), upload.pixels.begin() + i, upload.pixels.begin() + i + 3);
        return rgb;
    }

    static std::vector<std::vector<uint8_t>> rowsOf(const std::vector<uint8_t>& rgb, int width)
    {
        std::vector<std::vector<uint8_t>> rows;
        for (size_t at = 0; at < rgb.size(); at += width * 3)
            rows.emplace_back(rgb.begin() + at, rgb.begin() + at + width * 3);
        return rows;
    }

    TempFolder dir;
    Texture texture;
};

TEST_F(TextureLoad, FindsTheFormatByTryingWhateverTheNameSays)
{
    const RgbPicture picture = RgbPicture::gradient(3, 2);
    ASSERT_TRUE(writeTga(path("tga.jpg"), picture));
    ASSERT_TRUE(writeTiff(path("tiff.jpg"), picture));
    RgbPicture orange{8, 8, {}};
    for (int i = 0; i < 64; ++i)
        orange.rgb.insert(orange.rgb.end(), {230, 120, 30});
    ASSERT_TRUE(writeJpeg(path("real.tga"), orange));
    texture.setMipmaps(true);

    EXPECT_EQ(texture.load(path("tga.jpg").c_str()), -1);
    EXPECT_EQ(texture.load(path("tiff.jpg").c_str()), -1);
    EXPECT_EQ(texture.load(path("real.tga").c_str()), -1);

    ASSERT_EQ(fake::uploads().size(), 3u);
    // Red lands in byte 0 for every format, and the texture hands on each
    // reader's rows as they come.
    EXPECT_EQ(rgbOf(fake::uploads()[0]), picture.rgb);
    EXPECT_THAT(rowsOf(rgbOf(fake::uploads()[1]), 3), UnorderedElementsAreArray(rowsOf(picture.rgb, 3)));
    TiffImage tiff;
    ASSERT_NE(tiff.load(path("tiff.jpg").c_str(), 0), nullptr);
    EXPECT_EQ(fake::uploads()[1].pixels, std::vector<uint8_t>(tiff.pixels, tiff.pixels + 3 * 2 * 4));
    const std::vector<uint8_t> jpeg = rgbOf(fake::uploads()[2]);
    ASSERT_EQ(jpeg.size(), orange.rgb.size());
    for (size_t i = 0; i < jpeg.size(); ++i)
        ASSERT_NEAR(jpeg[i], orange.rgb[i], 3) << "byte " << i;
}

TEST_F(TextureLoad, UploadsMipmapsAsOpaqueRgbAndLeavesTheNewTextureBound)
{
    const RgbPicture picture = RgbPicture::gradient(4, 3);
    ASSERT_TRUE(writeTga(path("first.tga"), picture));
    ASSERT_TRUE(writeTga(path("second.tga"), RgbPicture::gradient(2, 5)));
    texture.setMipmaps(true);

    ASSERT_EQ(texture.load(path("first.tga").c_str()), -1);
    EXPECT_EQ(texture.id, 1u);
    ASSERT_EQ(texture.load(path("second.tga").c_str()), -1);
    EXPECT_EQ(texture.id, 2u);
    EXPECT_THAT(fake::texts(),
                ElementsAre("glGenTextures(1)", "glBindTexture(3553, 1)", "glTexParameteri(3553, 10241, 9984)",
                            "glTexParameteri(3553, 10240, 9729)", "gluBuild2DMipmaps(3553, 3, 4, 3, 6408, 5121)",
                            "glGenTextures(1)", "glBindTexture(3553, 2)", "glTexParameteri(3553, 10241, 9984)",
                            "glTexParameteri(3553, 10240, 9729)", "gluBuild2DMipmaps(3553, 3, 2, 5, 6408, 5121)"));
    EXPECT_EQ(rgbOf(fake::uploads()[0]), picture.rgb);
}

TEST_F(TextureLoad, SizesReachGluAsTheirLow16Bits)
{
    ASSERT_TRUE(writeTiff(path("wide.tif"), RgbPicture{65537, 2, std::vector<uint8_t>(65537 * 2 * 3, 7)}));
    texture.setMipmaps(true);
    ASSERT_EQ(texture.load(path("wide.tif").c_str()), -1);
    EXPECT_EQ(fake::texts().back(), "gluBuild2DMipmaps(3553, 3, 1, 2, 6408, 5121)");
}

TEST_F(TextureLoad, WithoutMipmapsUploadsOneLevelThatNeedsNoMipmapsToDraw)
{
    ASSERT_TRUE(writeTga(path("plain.tga"), RgbPicture::gradient(3, 3)));
    ASSERT_EQ(texture.load(path("plain.tga").c_str()), -1);
    EXPECT_THAT(fake::texts(),
                ElementsAre("glGenTextures(1)", "glBindTexture(3553, 1)", "glTexParameteri(3553, 10241, 9729)",
                            "glTexParameteri(3553, 10240, 9729)", "glTexImage2D(3553, 0, 3, 3, 3, 0, 6408, 5121)"));
}

TEST_F(TextureLoad, FailsWithoutTouchingOpenGlWhenNoReaderCanDecodeTheFile)
{
    std::ofstream(path("notes.jpg")) << "not a picture at all, just some words";
    std::ofstream(path("empty.jpg"));
    texture.id = 42;
    texture.setMipmaps(true);

    EXPECT_EQ(texture.load(path("missing.jpg").c_str()), 0);
    EXPECT_EQ(texture.load(path("notes.jpg").c_str()), 0);
    EXPECT_EQ(texture.load(path("empty.jpg").c_str()), 0);
    EXPECT_TRUE(fake::calls().empty());
    EXPECT_EQ(texture.id, 42u);
}

} // namespace
