#include "JpegSeeds.h"

#include "SeedFile.h"

#include <cstdio>
#include <cstdlib>
#include <jpeglib.h>

namespace {

int componentsOf(JpegSeeds::Colours colours)
{
    switch (colours) {
    case JpegSeeds::Colours::Grey:
        return 1;
    case JpegSeeds::Colours::Rgb:
        return 3;
    default:
        return 4;
    }
}

void setColours(jpeg_compress_struct& c, JpegSeeds::Colours colours)
{
    c.input_components = componentsOf(colours);
    c.in_color_space = colours == JpegSeeds::Colours::Grey  ? JCS_GRAYSCALE
                       : colours == JpegSeeds::Colours::Rgb ? JCS_RGB
                                                            : JCS_CMYK;
    jpeg_set_defaults(&c);
    if (colours == JpegSeeds::Colours::Ycck)
        jpeg_set_colorspace(&c, JCS_YCCK);
}

void setCoding(jpeg_compress_struct& c, JpegSeeds::Coding coding, jpeg_scan_info* scans)
{
    switch (coding) {
    case JpegSeeds::Coding::Progressive:
        jpeg_simple_progression(&c);
        break;
    case JpegSeeds::Coding::OneScanPerComponent:
        for (int i = 0; i < c.num_components; ++i)
            scans[i] = jpeg_scan_info{1, {i, 0, 0, 0}, 0, 63, 0, 0};
        c.scan_info = scans;
        c.num_scans = c.num_components;
        break;
    case JpegSeeds::Coding::Arithmetic:
        c.arith_code = TRUE;
        break;
    case JpegSeeds::Coding::Restarts:
        c.restart_in_rows = 1;
        c.optimize_coding = TRUE;
        break;
    case JpegSeeds::Coding::Baseline:
        break;
    }
}

std::vector<uint8_t> samples(const JpegSeeds::Shape& s)
{
    int components = componentsOf(s.colours);
    std::vector<uint8_t> out(size_t(s.width) * s.height * components);
    for (unsigned y = 0; y < s.height; ++y)
        for (unsigned x = 0; x < s.width; ++x)
            for (int k = 0; k < components; ++k)
                out[(size_t(y) * s.width + x) * components + k] = uint8_t(x * 19 + y * 11 + k * 64);
    return out;
}

std::string seedName(const JpegSeeds::Shape& s)
{
    static const char* const colours[] = {"grey", "rgb", "cmyk", "ycck"};
    static const char* const codings[] = {"baseline", "progressive", "per-component", "arithmetic", "restarts"};
    return std::string("jpeg-") + colours[int(s.colours)] + "-" + codings[int(s.coding)] + "-" +
           std::to_string(s.width) + "x" + std::to_string(s.height) + (s.fullChroma ? "-444" : "") + ".jpg";
}

} // namespace

std::vector<uint8_t> JpegSeeds::encode(const Shape& s)
{
    jpeg_compress_struct c;
    jpeg_error_mgr errors;
    c.err = jpeg_std_error(&errors);
    jpeg_create_compress(&c);
    unsigned char* memory = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&c, &memory, &size);
    c.image_width = s.width;
    c.image_height = s.height;
    setColours(c, s.colours);
    jpeg_set_quality(&c, 80, TRUE);
    if (s.fullChroma)
        for (int i = 0; i < c.num_components; ++i)
            c.comp_info[i].h_samp_factor = c.comp_info[i].v_samp_factor = 1;
    jpeg_scan_info scans[4];
    setCoding(c, s.coding, scans);
    std::vector<uint8_t> pixels = samples(s);
    jpeg_start_compress(&c, TRUE);
    while (c.next_scanline < c.image_height) {
        JSAMPROW row = pixels.data() + size_t(c.next_scanline) * s.width * c.input_components;
        jpeg_write_scanlines(&c, &row, 1);
    }
    jpeg_finish_compress(&c);
    std::vector<uint8_t> out(memory, memory + size);
    jpeg_destroy_compress(&c);
    std::free(memory);
    return out;
}

int JpegSeeds::writeAll(const std::string& dir)
{
    int written = 0;
    bool failed = false;
    auto emit = [&](const Shape& s) {
        bool ok = SeedFile::write(dir + "/" + seedName(s), encode(s));
        written += ok ? 1 : 0;
        failed = failed || !ok;
    };
    for (Colours colours : {Colours::Grey, Colours::Rgb, Colours::Cmyk, Colours::Ycck})
        for (Coding coding :
             {Coding::Baseline, Coding::Progressive, Coding::OneScanPerComponent, Coding::Arithmetic, Coding::Restarts})
            emit(Shape{colours, coding, 19, 13, false});
    emit(Shape{Colours::Rgb, Coding::Baseline, 19, 13, true});
    emit(Shape{Colours::Rgb, Coding::Progressive, 19, 13, true});
    emit(Shape{Colours::Rgb, Coding::Baseline, 1, 1, false});
    emit(Shape{Colours::Rgb, Coding::Baseline, 70, 2, false});
    emit(Shape{Colours::Grey, Coding::Progressive, 3, 41, false});
    return failed ? -1 : written;
}
