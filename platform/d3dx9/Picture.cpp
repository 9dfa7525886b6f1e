#include "Picture.h"

#include <algorithm>
#include <climits>
#include <cstdlib>

namespace {

// The decoder's allocations are capped for each picture: a damaged file of a few hundred bytes
// must not ask for gigabytes (fuzzing found a PNG with a second header that did).
thread_local std::size_t allocationCap = 0;

void* cappedMalloc(std::size_t size) {
    return size > allocationCap ? nullptr : std::malloc(size);
}

void* cappedRealloc(void* block, std::size_t size) {
    return size > allocationCap ? nullptr : std::realloc(block, size);
}

} // namespace

#define STBI_MALLOC(size) cappedMalloc(size)
#define STBI_REALLOC(block, size) cappedRealloc(block, size)
#define STBI_FREE(block) std::free(block)
#define STB_IMAGE_STATIC
#define STB_IMAGE_IMPLEMENTATION
// The decoder's JPEG reader overflows a table on a damaged Huffman header (found by fuzzing),
// and the show needs none of it: PNG, with BMP and TGA for hand-made art.
#define STBI_ONLY_PNG
#define STBI_ONLY_BMP
#define STBI_ONLY_TGA
#include <stb_image.h>

namespace d3dx9 {
namespace {

std::uint32_t channel(std::uint32_t c, int shift) {
    return (c >> shift) & 0xFF;
}

} // namespace

Picture Picture::resampled(int width, int height) const {
    const Picture& in = *this;
    if (in.width == width && in.height == height) return in;
    Picture out;
    out.width = width;
    out.height = height;
    out.argb.resize(static_cast<std::size_t>(width) * height);
    for (int y = 0; y < height; ++y) {
        const float sy = std::clamp((y + 0.5f) * in.height / height - 0.5f, 0.0f,
                                    static_cast<float>(in.height - 1));
        const int y0 = static_cast<int>(sy), y1 = std::min(y0 + 1, in.height - 1);
        const float fy = sy - static_cast<float>(y0);
        for (int x = 0; x < width; ++x) {
            const float sx = std::clamp((x + 0.5f) * in.width / width - 0.5f, 0.0f,
                                        static_cast<float>(in.width - 1));
            const int x0 = static_cast<int>(sx), x1 = std::min(x0 + 1, in.width - 1);
            const float fx = sx - static_cast<float>(x0);
            const std::uint32_t a = in.argb[static_cast<std::size_t>(y0) * in.width + x0],
                                b = in.argb[static_cast<std::size_t>(y0) * in.width + x1],
                                c = in.argb[static_cast<std::size_t>(y1) * in.width + x0],
                                d = in.argb[static_cast<std::size_t>(y1) * in.width + x1];
            std::uint32_t result = 0;
            for (int shift = 0; shift < 32; shift += 8) {
                const float top =
                    channel(a, shift) + (channel(b, shift) - float(channel(a, shift))) * fx;
                const float bottom =
                    channel(c, shift) + (channel(d, shift) - float(channel(c, shift))) * fx;
                const auto v = static_cast<std::uint32_t>(top + (bottom - top) * fy + 0.5f);
                result |= std::min(v, 255u) << shift;
            }
            out.argb[static_cast<std::size_t>(y) * width + x] = result;
        }
    }
    return out;
}

Picture Picture::halved() const {
    const Picture& in = *this;
    Picture out;
    out.width = std::max(1, in.width / 2);
    out.height = std::max(1, in.height / 2);
    out.argb.resize(static_cast<std::size_t>(out.width) * out.height);
    for (int y = 0; y < out.height; ++y)
        for (int x = 0; x < out.width; ++x) {
            const int x0 = std::min(2 * x, in.width - 1), x1 = std::min(2 * x + 1, in.width - 1);
            const int y0 = std::min(2 * y, in.height - 1), y1 = std::min(2 * y + 1, in.height - 1);
            const std::uint32_t t[4] = {in.argb[static_cast<std::size_t>(y0) * in.width + x0],
                                        in.argb[static_cast<std::size_t>(y0) * in.width + x1],
                                        in.argb[static_cast<std::size_t>(y1) * in.width + x0],
                                        in.argb[static_cast<std::size_t>(y1) * in.width + x1]};
            std::uint32_t result = 0;
            for (int shift = 0; shift < 32; shift += 8)
                result |= ((channel(t[0], shift) + channel(t[1], shift) + channel(t[2], shift) +
                            channel(t[3], shift) + 2) /
                           4)
                          << shift;
            out.argb[static_cast<std::size_t>(y) * out.width + x] = result;
        }
    return out;
}

bool Picture::decode(const unsigned char* bytes, std::size_t size, Picture& picture, int& channels,
                     int maxSide) {
    int w = 0, h = 0;
    if (size == 0 || size > static_cast<std::size_t>(INT_MAX)) return false;
    const int length = static_cast<int>(size);
    if (!stbi_info_from_memory(bytes, length, &w, &h, &channels) || w <= 0 || h <= 0 ||
        w > maxSide || h > maxSide)
        return false;
    // Room for the inflated rows at 16 bits a channel and the converted picture, and some more.
    allocationCap = static_cast<std::size_t>(w) * h * 8 + (16u << 20);
    int comp = 0;
    unsigned char* rgba = stbi_load_from_memory(bytes, length, &w, &h, &comp, 4);
    if (!rgba) return false;
    if (w <= 0 || h <= 0 || w > maxSide || h > maxSide) { // the file disagrees with itself
        stbi_image_free(rgba);
        return false;
    }
    picture.width = w;
    picture.height = h;
    picture.argb.resize(static_cast<std::size_t>(w) * h);
    for (std::size_t i = 0; i < picture.argb.size(); ++i) {
        const unsigned char* p = rgba + 4 * i;
        picture.argb[i] =
            std::uint32_t{p[3]} << 24 | std::uint32_t{p[0]} << 16 | std::uint32_t{p[1]} << 8 | p[2];
    }
    stbi_image_free(rgba);
    return true;
}

} // namespace d3dx9
