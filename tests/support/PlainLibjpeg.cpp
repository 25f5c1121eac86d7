#include "support/PlainLibjpeg.h"

#include <cstdio>
#include <jpeglib.h>

PlainLibjpeg decodeWithLibjpeg(const char* path, bool fourBytes)
{
    PlainLibjpeg picture = {nullptr, 0, 0, 0};
    FILE* file = std::fopen(path, "rb");
    if (!file)
        return picture;
    jpeg_decompress_struct decompressor;
    jpeg_error_mgr errors;
    decompressor.err = jpeg_std_error(&errors);
    jpeg_create_decompress(&decompressor);
    jpeg_stdio_src(&decompressor, file);
    jpeg_read_header(&decompressor, TRUE);
    if (fourBytes)
        decompressor.out_color_space = JCS_EXT_RGBX;
    jpeg_start_decompress(&decompressor);
    picture.width = decompressor.output_width;
    picture.height = decompressor.output_height;
    picture.bytesPerPixel = unsigned(decompressor.output_components);
    const size_t stride = size_t(picture.width) * picture.bytesPerPixel;
    picture.pixels.reset(new unsigned char[stride * picture.height]);
    while (decompressor.output_scanline < decompressor.output_height) {
        JSAMPROW row = picture.pixels.get() + stride * decompressor.output_scanline;
        jpeg_read_scanlines(&decompressor, &row, 1);
    }
    jpeg_finish_decompress(&decompressor);
    jpeg_destroy_decompress(&decompressor);
    std::fclose(file);
    return picture;
}
