#include "PngSeeds.h"

namespace {

int channelsOf(int colourType)
{
    return colourType == PNG_COLOR_TYPE_GRAY_ALPHA  ? 2
           : colourType == PNG_COLOR_TYPE_RGB       ? 3
           : colourType == PNG_COLOR_TYPE_RGB_ALPHA ? 4
                                                    : 1;
}

std::string seedName(const PngSeeds::Shape& s, int index)
{
    return "png-" + std::to_string(index) + "-type" + std::to_string(s.colourType) + "-depth" +
           std::to_string(s.depth) + (s.interlaced ? "-interlaced" : "") + (s.transparency ? "-trns" : "") + ".png";
}

} // namespace

Bytes PngSeeds::encode(const Shape& s)
{
    PngPicture picture;
    picture.width = s.width;
    picture.height = s.height;
    picture.colourType = s.colourType;
    picture.depth = s.depth;
    picture.interlaced = s.interlaced;
    const uint32_t values = 1u << s.depth;
    const size_t count = size_t(s.width) * s.height * channelsOf(s.colourType);
    picture.samples.resize(count);
    for (size_t i = 0; i < count; ++i)
        picture.samples[i] = uint16_t((i / 7 * 2654435761u >> 7) % values);
    if (s.colourType == PNG_COLOR_TYPE_PALETTE)
        for (uint32_t entry = 0; entry < values; ++entry)
            picture.palette.push_back({uint8_t(entry * 5), uint8_t(entry * 3), uint8_t(255 - entry)});
    const png_color_16 transparent = {0, 1, 1, 1, 1};
    if (s.transparency && s.colourType == PNG_COLOR_TYPE_PALETTE)
        picture.paletteAlpha = {0, 128};
    else if (s.transparency)
        picture.transparent = &transparent;
    return encodePng(picture);
}

int PngSeeds::writeAll(const std::string& dir)
{
    const Shape shapes[] = {
        {PNG_COLOR_TYPE_GRAY, 1, 21, 7, false, false},      {PNG_COLOR_TYPE_GRAY, 2, 9, 7, true, true},
        {PNG_COLOR_TYPE_GRAY, 4, 9, 7, false, false},       {PNG_COLOR_TYPE_GRAY, 8, 9, 7, false, true},
        {PNG_COLOR_TYPE_GRAY, 16, 9, 7, true, false},       {PNG_COLOR_TYPE_PALETTE, 1, 21, 7, true, false},
        {PNG_COLOR_TYPE_PALETTE, 2, 9, 7, false, true},     {PNG_COLOR_TYPE_PALETTE, 4, 9, 7, false, false},
        {PNG_COLOR_TYPE_PALETTE, 8, 9, 7, true, true},      {PNG_COLOR_TYPE_RGB, 8, 9, 7, false, false},
        {PNG_COLOR_TYPE_RGB, 8, 20, 18, true, true},        {PNG_COLOR_TYPE_RGB, 16, 9, 7, false, true},
        {PNG_COLOR_TYPE_GRAY_ALPHA, 8, 9, 7, false, false}, {PNG_COLOR_TYPE_GRAY_ALPHA, 16, 9, 7, true, false},
        {PNG_COLOR_TYPE_RGB_ALPHA, 8, 9, 7, false, false},  {PNG_COLOR_TYPE_RGB_ALPHA, 8, 20, 18, true, false},
        {PNG_COLOR_TYPE_RGB_ALPHA, 16, 9, 7, false, false},
    };
    int written = 0;
    for (const Shape& s : shapes) {
        if (!writeBytes(dir + "/" + seedName(s, written), encode(s)))
            return -1;
        ++written;
    }
    return written;
}
