#include "TestImages.h"

#include "support/PictureFiles.h"

RgbPicture RgbPicture::gradient(int width, int height)
{
    RgbPicture picture{width, height, {}};
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            picture.rgb.push_back(static_cast<uint8_t>(10 + 40 * x));
            picture.rgb.push_back(static_cast<uint8_t>(20 + 60 * y));
            picture.rgb.push_back(static_cast<uint8_t>(200 - 30 * x - 20 * y));
        }
    }
    return picture;
}

bool writeTga(const std::string& path, const RgbPicture& picture)
{
    Bytes file = tgaHeader(2, uint16_t(picture.width), uint16_t(picture.height), 24, 0x20);
    for (size_t i = 0; i < picture.rgb.size(); i += 3)
        file.insert(file.end(), {picture.rgb[i + 2], picture.rgb[i + 1], picture.rgb[i]});
    return writeBytes(path, file);
}

bool writeTiff(const std::string& path, const RgbPicture& picture)
{
    TiffPage page;
    page.width = uint32_t(picture.width);
    page.height = uint32_t(picture.height);
    page.data = picture.rgb;
    return writeTiff(path, {page});
}

bool writeJpeg(const std::string& path, const RgbPicture& picture)
{
    JpegSettings settings;
    settings.quality = 100;
    settings.fullChroma = true;
    return writeBytes(path, encodeJpeg(picture.rgb, uint32_t(picture.width), uint32_t(picture.height), settings));
}
