#include "support/Image.h"

#define STB_IMAGE_STATIC
#define STB_IMAGE_IMPLEMENTATION
#include <stb_image.h>
#define STB_IMAGE_WRITE_STATIC
#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb_image_write.h>

#include <algorithm>
#include <cmath>
#include <utility>
#include <cstdlib>

namespace test {

Rgb Image::at(int x, int y) const {
    const std::size_t i = (static_cast<std::size_t>(y) * width + x) * 3;
    return {pixels[i], pixels[i + 1], pixels[i + 2]};
}

void Image::set(int x, int y, Rgb colour) {
    const std::size_t i = (static_cast<std::size_t>(y) * width + x) * 3;
    pixels[i] = static_cast<std::uint8_t>(colour.r);
    pixels[i + 1] = static_cast<std::uint8_t>(colour.g);
    pixels[i + 2] = static_cast<std::uint8_t>(colour.b);
}

bool loadPng(const std::string& path, Image& out) {
    int channels = 0;
    unsigned char* data = stbi_load(path.c_str(), &out.width, &out.height, &channels, 3);
    if (!data) return false;
    out.pixels.assign(data, data + static_cast<std::size_t>(out.width) * out.height * 3);
    stbi_image_free(data);
    return true;
}

bool loadRgbaPng(const std::string& path, RgbaImage& out) {
    int channels = 0;
    unsigned char* data = stbi_load(path.c_str(), &out.width, &out.height, &channels, 4);
    if (!data) return false;
    out.rgba.assign(data, data + static_cast<std::size_t>(out.width) * out.height * 4);
    stbi_image_free(data);
    return true;
}

bool savePng(const std::string& path, const Image& image) {
    return stbi_write_png(path.c_str(), image.width, image.height, 3, image.pixels.data(),
                          image.width * 3) != 0;
}

bool saveRgbaPng(const std::string& path, int width, int height,
                 const std::vector<std::uint8_t>& rgba) {
    return stbi_write_png(path.c_str(), width, height, 4, rgba.data(), width * 4) != 0;
}

namespace {
bool near(Rgb a, Rgb b, int tolerance) {
    return std::abs(a.r - b.r) <= tolerance && std::abs(a.g - b.g) <= tolerance &&
           std::abs(a.b - b.b) <= tolerance;
}
} // namespace

int countDifferent(const Image& image, int x0, int y0, int x1, int y1, Rgb expected,
                   int tolerance) {
    int count = 0;
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x)
            if (!near(image.at(x, y), expected, tolerance)) ++count;
    return count;
}

Image shrink(const Image& image, int factor) {
    Image out;
    out.width = image.width / factor;
    out.height = image.height / factor;
    out.pixels.resize(static_cast<std::size_t>(out.width) * out.height * 3);
    for (int y = 0; y < out.height; ++y)
        for (int x = 0; x < out.width; ++x) {
            Rgb sum{0, 0, 0};
            for (int v = 0; v < factor; ++v)
                for (int u = 0; u < factor; ++u) {
                    const Rgb p = image.at(x * factor + u, y * factor + v);
                    sum = {sum.r + p.r, sum.g + p.g, sum.b + p.b};
                }
            const int n = factor * factor;
            out.set(x, y, {sum.r / n, sum.g / n, sum.b / n});
        }
    return out;
}

namespace {

// For each output position along one axis, the input positions it covers and their weights.
std::vector<std::vector<std::pair<int, double>>> coverage(int size, int outSize) {
    const double step = static_cast<double>(size) / outSize;
    std::vector<std::vector<std::pair<int, double>>> out(static_cast<std::size_t>(outSize));
    for (int o = 0; o < outSize; ++o) {
        const double from = o * step, to = (o + 1) * step;
        for (int i = static_cast<int>(from); i < size && i < to; ++i) {
            const double share = std::min(to, i + 1.0) - std::max(from, static_cast<double>(i));
            if (share > 0) out[static_cast<std::size_t>(o)].push_back({i, share / step});
        }
    }
    return out;
}

} // namespace

Image shrinkArea(const Image& image, int left, int top, int width, int height, int outWidth,
                 int outHeight) {
    const auto across = coverage(width, outWidth), down = coverage(height, outHeight);
    Image out;
    out.width = outWidth;
    out.height = outHeight;
    out.pixels.resize(static_cast<std::size_t>(outWidth) * outHeight * 3);
    for (int y = 0; y < outHeight; ++y)
        for (int x = 0; x < outWidth; ++x) {
            double r = 0, g = 0, b = 0;
            for (const auto& [v, wy] : down[static_cast<std::size_t>(y)])
                for (const auto& [u, wx] : across[static_cast<std::size_t>(x)]) {
                    const Rgb p = image.at(left + u, top + v);
                    r += p.r * wx * wy, g += p.g * wx * wy, b += p.b * wx * wy;
                }
            out.set(x, y,
                    {static_cast<int>(std::lround(r)), static_cast<int>(std::lround(g)),
                     static_cast<int>(std::lround(b))});
        }
    return out;
}

int compareImages(const Image& a, const Image& b, int tolerance, const std::string& diffPath) {
    if (a.width != b.width || a.height != b.height) return a.width * a.height + b.width * b.height;
    Image diff = a;
    int count = 0;
    for (int y = 0; y < a.height; ++y)
        for (int x = 0; x < a.width; ++x) {
            const bool same = near(a.at(x, y), b.at(x, y), tolerance);
            count += same ? 0 : 1;
            diff.set(x, y, same ? Rgb{96, 96, 96} : Rgb{255, 0, 0});
        }
    if (count > 0 && !diffPath.empty()) savePng(diffPath, diff);
    return count;
}

} // namespace test
