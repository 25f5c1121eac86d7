#include "JpegSeeds.h"

namespace {

Bytes samples(const JpegSeeds::Shape& s)
{
    const int components = s.colours == JpegColours::Grey ? 1 : s.colours == JpegColours::Rgb ? 3 : 4;
    Bytes out(size_t(s.width) * s.height * components);
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
    JpegSettings settings;
    settings.colours = s.colours;
    settings.coding = s.coding;
    settings.quality = 80;
    settings.fullChroma = s.fullChroma;
    return encodeJpeg(samples(s), s.width, s.height, settings);
}

int JpegSeeds::writeAll(const std::string& dir)
{
    int written = 0;
    bool failed = false;
    auto emit = [&](const Shape& s) {
        bool ok = writeBytes(dir + "/" + seedName(s), encode(s));
        written += ok ? 1 : 0;
        failed = failed || !ok;
    };
    for (JpegColours colours : {JpegColours::Grey, JpegColours::Rgb, JpegColours::Cmyk, JpegColours::Ycck})
        for (JpegCoding coding : {JpegCoding::Baseline, JpegCoding::Progressive, JpegCoding::OneScanPerComponent,
                                  JpegCoding::Arithmetic, JpegCoding::Restarts})
            emit(Shape{colours, coding, 19, 13, false});
    emit(Shape{JpegColours::Rgb, JpegCoding::Baseline, 19, 13, true});
    emit(Shape{JpegColours::Rgb, JpegCoding::Progressive, 19, 13, true});
    emit(Shape{JpegColours::Rgb, JpegCoding::Baseline, 1, 1, false});
    emit(Shape{JpegColours::Rgb, JpegCoding::Baseline, 70, 2, false});
    emit(Shape{JpegColours::Grey, JpegCoding::Progressive, 3, 41, false});
    return failed ? -1 : written;
}
