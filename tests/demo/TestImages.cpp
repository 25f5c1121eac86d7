#include "TestImages.h"

#include <cstdio>
#include <jpeglib.h>
#include <tiffio.h>

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
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file)
        return false;
    const uint8_t header[18] = {0,
                                0,
                                2,
                                0,
                                0,
                                0,
                                0,
                                0,
                                0,
                                0,
                                0,
                                0,
                                static_cast<uint8_t>(picture.width),
                                static_cast<uint8_t>(picture.width >> 8),
                                static_cast<uint8_t>(picture.height),
                                static_cast<uint8_t>(picture.height >> 8),
                                24,
                                0x20};
    std::fwrite(header, 1, sizeof header, file);
    for (size_t i = 0; i < picture.rgb.size(); i += 3) {
        const uint8_t bgr[3] = {picture.rgb[i + 2], picture.rgb[i + 1], picture.rgb[i]};
        std::fwrite(bgr, 1, 3, file);
    }
    return std::fclose(file) == 0;
}

bool writeTiff(const std::string& path, const RgbPicture& picture)
{
    TIFF* tiff = TIFFOpen(path.c_str(), "w");
    if (!tiff)
        return false;
    TIFFSetField(tiff, TIFFTAG_IMAGEWIDTH, static_cast<uint32_t>(picture.width));
    TIFFSetField(tiff, TIFFTAG_IMAGELENGTH, static_cast<uint32_t>(picture.height));
    TIFFSetField(tiff, TIFFTAG_BITSPERSAMPLE, 8);
    TIFFSetField(tiff, TIFFTAG_SAMPLESPERPIXEL, 3);
    TIFFSetField(tiff, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_RGB);
    TIFFSetField(tiff, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
    TIFFSetField(tiff, TIFFTAG_COMPRESSION, COMPRESSION_NONE);
    TIFFSetField(tiff, TIFFTAG_ROWSPERSTRIP, static_cast<uint32_t>(picture.height));
    bool ok = true;
    std::vector<uint8_t> row(picture.width * 3);
    for (int y = 0; y < picture.height && ok; ++y) {
        std::copy(picture.rgb.begin() + y * picture.width * 3, picture.rgb.begin() + (y + 1) * picture.width * 3,
                  row.begin());
        ok = TIFFWriteScanline(tiff, row.data(), y, 0) == 1;
    }
    TIFFClose(tiff);
    return ok;
}

bool writeJpeg(const std::string& path, const RgbPicture& picture)
{
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file)
        return false;
    jpeg_compress_struct info;
    jpeg_error_mgr errors;
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    jpeg_stdio_dest(&info, file);
    info.image_width = picture.width;
    info.image_height = picture.height;
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, 100, TRUE);
    for (int i = 0; i < info.num_components; ++i)
        info.comp_info[i].h_samp_factor = info.comp_info[i].v_samp_factor = 1;
    jpeg_start_compress(&info, TRUE);
    while (info.next_scanline < info.image_height) {
        JSAMPROW row = const_cast<uint8_t*>(&picture.rgb[info.next_scanline * picture.width * 3]);
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    return std::fclose(file) == 0;
}
