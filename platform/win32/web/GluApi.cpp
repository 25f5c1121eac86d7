// gluBuild2DMipmaps over WebGL, as GLU builds mipmaps: the picture rescaled to
// the nearest powers of two with a box filter weighted by the area each
// source pixel covers, then halved level by level down to 1 x 1, each level
// the average of 2 x 2 (or, once one side is 1, of 2) pixels. WebGL takes a
// texture only in the format of its data, so the levels are uploaded as the
// three colour components the texture keeps.
#include <GL/gl.h>
#include <GL/glu.h>

#include <cmath>
#include <cstdint>
#include <vector>

namespace {

const int Rgb = 3;
const int Rgba = 4;
const GLint TightRows = 1;

// GLU's choice: the power of two nearest to the size, 3 going up to 4 and
// halves rounding down (800 becomes 1024, 600 becomes 512).
int nearestPower(int size)
{
    int power = 1;
    while (size > 1) {
        if (size == 3)
            return power * 4;
        size >>= 1;
        power *= 2;
    }
    return power;
}

std::vector<uint8_t> colourComponents(const uint8_t* pixels, int width, int height, int components)
{
    const size_t count = static_cast<size_t>(width) * height;
    std::vector<uint8_t> rgb(count * Rgb);
    for (size_t i = 0; i < count; ++i)
        for (int k = 0; k < Rgb; ++k)
            rgb[i * Rgb + k] = components >= Rgb ? pixels[i * components + k] : pixels[i * components];
    return rgb;
}

// One output pixel covers the source rectangle [x0, x1) x [y0, y1) (in
// source pixels); each source pixel counts by the share of it inside.
float coveredSum(const std::vector<uint8_t>& in, int width, int height, int k, float x0, float x1, float y0, float y1)
{
    float total = 0;
    for (int y = static_cast<int>(y0); y < height && y < y1; ++y) {
        const float rowShare = std::fmin(y1, y + 1.0f) - std::fmax(y0, static_cast<float>(y));
        for (int x = static_cast<int>(x0); x < width && x < x1; ++x) {
            const float share = rowShare * (std::fmin(x1, x + 1.0f) - std::fmax(x0, static_cast<float>(x)));
            total += in[(static_cast<size_t>(y) * width + x) * Rgb + k] * share;
        }
    }
    return total;
}

std::vector<uint8_t> scaled(const std::vector<uint8_t>& in, int width, int height, int toWidth, int toHeight)
{
    std::vector<uint8_t> out(static_cast<size_t>(toWidth) * toHeight * Rgb);
    const float stepX = static_cast<float>(width) / toWidth;
    const float stepY = static_cast<float>(height) / toHeight;
    const float area = stepX * stepY;
    for (int y = 0; y < toHeight; ++y)
        for (int x = 0; x < toWidth; ++x)
            for (int k = 0; k < Rgb; ++k) {
                const float sum =
                    coveredSum(in, width, height, k, x * stepX, (x + 1) * stepX, y * stepY, (y + 1) * stepY);
                const float value = sum / area;
                out[(static_cast<size_t>(y) * toWidth + x) * Rgb + k] =
                    static_cast<uint8_t>(value >= 255.0f ? 255.0f : value);
            }
    return out;
}

// The next level: each pixel the rounded average of the 2 x 2 (or 2 x 1)
// pixels below it.
std::vector<uint8_t> halved(const std::vector<uint8_t>& in, int width, int height)
{
    const int toWidth = width > 1 ? width / 2 : 1;
    const int toHeight = height > 1 ? height / 2 : 1;
    const int dx = width > 1 ? 1 : 0;
    const int dy = height > 1 ? 1 : 0;
    std::vector<uint8_t> out(static_cast<size_t>(toWidth) * toHeight * Rgb);
    for (int y = 0; y < toHeight; ++y)
        for (int x = 0; x < toWidth; ++x)
            for (int k = 0; k < Rgb; ++k) {
                auto at = [&](int sx, int sy) { return in[(static_cast<size_t>(sy) * width + sx) * Rgb + k]; };
                const int sx = x * (1 + dx);
                const int sy = y * (1 + dy);
                const int value = (dx && dy)
                                      ? (at(sx, sy) + at(sx + 1, sy) + at(sx, sy + 1) + at(sx + 1, sy + 1) + 2) / 4
                                      : (at(sx, sy) + at(sx + dx, sy + dy)) / 2;
                out[(static_cast<size_t>(y) * toWidth + x) * Rgb + k] = static_cast<uint8_t>(value);
            }
    return out;
}

int componentsOf(GLenum format)
{
    switch (format) {
    case GL_RGBA:
        return Rgba;
    case GL_RGB:
        return Rgb;
    case GL_LUMINANCE:
        return 1;
    default:
        return 0;
    }
}

} // namespace

extern "C" GLint GLAPIENTRY gluBuild2DMipmaps(GLenum target, GLint, GLsizei width, GLsizei height, GLenum format,
                                              GLenum type, const void* data)
{
    const int components = componentsOf(format);
    if (width < 1 || height < 1)
        return GLU_INVALID_VALUE;
    if (components == 0 || type != GL_UNSIGNED_BYTE || data == nullptr)
        return GLU_INVALID_ENUM;
    std::vector<uint8_t> level = colourComponents(static_cast<const uint8_t*>(data), width, height, components);
    int levelWidth = nearestPower(width);
    int levelHeight = nearestPower(height);
    if (levelWidth != width || levelHeight != height)
        level = scaled(level, width, height, levelWidth, levelHeight);
    GLint alignment = 4;
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
    glPixelStorei(GL_UNPACK_ALIGNMENT, TightRows);
    for (GLint number = 0;; ++number) {
        glTexImage2D(target, number, GL_RGB, levelWidth, levelHeight, 0, GL_RGB, GL_UNSIGNED_BYTE, level.data());
        if (levelWidth == 1 && levelHeight == 1)
            break;
        level = halved(level, levelWidth, levelHeight);
        levelWidth = levelWidth > 1 ? levelWidth / 2 : 1;
        levelHeight = levelHeight > 1 ? levelHeight / 2 : 1;
    }
    glPixelStorei(GL_UNPACK_ALIGNMENT, alignment);
    return 0;
}
