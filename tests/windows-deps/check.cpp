// A Windows program over the cross-built libraries, run under Wine by
// scripts/check-windows-deps:
//   check jpeg FILE OUT   decodes a JPEG with libjpeg, writes its RGB pixels to OUT
//   check tiff FILE OUT   decodes a TIFF with libtiff, writes its RGB pixels to OUT
//   check png FILE OUT    decodes a PNG with libpng, writes its RGB pixels to OUT
//   check mp3 FILE        decodes an MP3 with libmpg123, prints "RATE CHANNELS SAMPLES"
// and prints "WIDTHxHEIGHT" for a picture. Exits 1 on any failure.
#include <windows.h> // first, as in the window code: jpeglib.h must cope with its "boolean"

#include <cstdio>
#include <cstring>
#include <vector>

#include <jpeglib.h>
#include <mpg123.h>
#include <png.h>
#include <tiffio.h>

namespace {

bool writeFile(const char* path, const std::vector<unsigned char>& bytes)
{
    FILE* f = std::fopen(path, "wb");
    if (!f)
        return false;
    bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return std::fclose(f) == 0 && ok;
}

int decodeJpeg(const char* path, const char* out)
{
    FILE* f = std::fopen(path, "rb");
    if (!f)
        return 1;
    jpeg_decompress_struct info;
    jpeg_error_mgr err;
    info.err = jpeg_std_error(&err); // exits the program on a fatal error
    jpeg_create_decompress(&info);
    jpeg_stdio_src(&info, f);
    jpeg_read_header(&info, TRUE);
    info.out_color_space = JCS_RGB;
    jpeg_start_decompress(&info);
    std::vector<unsigned char> pixels(size_t(info.output_width) * info.output_height * 3);
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = &pixels[size_t(info.output_scanline) * info.output_width * 3];
        jpeg_read_scanlines(&info, &row, 1);
    }
    std::printf("%ux%u\n", info.output_width, info.output_height);
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    std::fclose(f);
    return writeFile(out, pixels) ? 0 : 1;
}

int decodeTiff(const char* path, const char* out)
{
    TIFF* t = TIFFOpen(path, "r");
    if (!t)
        return 1;
    uint32_t w = 0, h = 0;
    TIFFGetField(t, TIFFTAG_IMAGEWIDTH, &w);
    TIFFGetField(t, TIFFTAG_IMAGELENGTH, &h);
    std::vector<uint32_t> raster(size_t(w) * h);
    if (!TIFFReadRGBAImageOriented(t, w, h, raster.data(), ORIENTATION_TOPLEFT, 1)) {
        TIFFClose(t);
        return 1;
    }
    TIFFClose(t);
    std::vector<unsigned char> pixels;
    pixels.reserve(raster.size() * 3);
    for (uint32_t p : raster) {
        pixels.push_back(TIFFGetR(p));
        pixels.push_back(TIFFGetG(p));
        pixels.push_back(TIFFGetB(p));
    }
    std::printf("%ux%u\n", w, h);
    return writeFile(out, pixels) ? 0 : 1;
}

// libpng's simplified interface, which does every transformation itself.
int decodePng(const char* path, const char* out)
{
    png_image image = {};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path))
        return 1;
    image.format = PNG_FORMAT_RGB;
    std::vector<unsigned char> pixels(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr))
        return 1;
    std::printf("%ux%u\n", image.width, image.height);
    return writeFile(out, pixels) ? 0 : 1;
}

int decodeMp3(const char* path)
{
    if (mpg123_init() != MPG123_OK)
        return 1;
    int err = 0;
    mpg123_handle* m = mpg123_new(nullptr, &err);
    if (!m || mpg123_open(m, path) != MPG123_OK)
        return 1;
    long rate = 0;
    int channels = 0, encoding = 0;
    if (mpg123_getformat(m, &rate, &channels, &encoding) != MPG123_OK)
        return 1;
    std::vector<unsigned char> buffer(mpg123_outblock(m));
    size_t bytes = 0, total = 0;
    while ((err = mpg123_read(m, buffer.data(), buffer.size(), &bytes)) == MPG123_OK)
        total += bytes;
    total += bytes;
    if (err != MPG123_DONE)
        return 1;
    std::printf("%ld %d %zu\n", rate, channels, total / (size_t(channels) * mpg123_encsize(encoding)));
    mpg123_close(m);
    mpg123_delete(m);
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc == 4 && !std::strcmp(argv[1], "jpeg"))
        return decodeJpeg(argv[2], argv[3]);
    if (argc == 4 && !std::strcmp(argv[1], "tiff"))
        return decodeTiff(argv[2], argv[3]);
    if (argc == 4 && !std::strcmp(argv[1], "png"))
        return decodePng(argv[2], argv[3]);
    if (argc == 3 && !std::strcmp(argv[1], "mp3"))
        return decodeMp3(argv[2]);
    std::fprintf(stderr, "usage: check jpeg|tiff|png FILE OUT, or check mp3 FILE\n");
    return 2;
}
