#include "Canvas.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STB_IMAGE_WRITE_STATIC
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#include <stb_image_write.h>
#pragma GCC diagnostic pop

namespace artgen {

namespace {
std::uint8_t byte(double value) {
    return static_cast<std::uint8_t>(std::lround(std::clamp(value, 0.0, 1.0) * 255.0));
}

// One horizontal box pass over each of the four channels, from source to target.
void boxPass(const std::vector<float>& source, std::vector<float>& target, int width, int height,
             int radius, bool vertical) {
    const int along = vertical ? height : width, across = vertical ? width : height;
    const float scale = 1.0f / static_cast<float>(2 * radius + 1);
    for (int line = 0; line < across; ++line)
        for (int c = 0; c < 4; ++c) {
            auto at = [&](int i) {
                i = std::clamp(i, 0, along - 1);
                const int x = vertical ? line : i, y = vertical ? i : line;
                return (static_cast<std::size_t>(y) * width + x) * 4 + c;
            };
            float sum = 0;
            for (int i = -radius; i <= radius; ++i)
                sum += source[at(i)];
            for (int i = 0; i < along; ++i) {
                target[at(i)] = sum * scale;
                sum += source[at(i + radius + 1)] - source[at(i - radius)];
            }
        }
}
} // namespace

Canvas::Canvas(int width, int height)
    : width_(width), height_(height),
      surface_(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height)),
      context_(cairo_create(surface_)) {
    if (cairo_status(context_) != CAIRO_STATUS_SUCCESS)
        throw std::runtime_error("cannot make a " + std::to_string(width) + " x " +
                                 std::to_string(height) + " canvas");
}

Canvas::~Canvas() {
    cairo_destroy(context_);
    cairo_surface_destroy(surface_);
}

std::uint32_t* Canvas::row(int y) const {
    return reinterpret_cast<std::uint32_t*>(cairo_image_surface_get_data(surface_) +
                                            static_cast<std::ptrdiff_t>(y) *
                                                cairo_image_surface_get_stride(surface_));
}

void Canvas::begin() const {
    cairo_surface_flush(surface_);
}

void Canvas::end() const {
    cairo_surface_mark_dirty(surface_);
}

void Canvas::put(int x, int y, Rgba c) {
    const double a = std::clamp(c.a, 0.0, 1.0);
    row(y)[x] = static_cast<std::uint32_t>(byte(a)) << 24 |
                static_cast<std::uint32_t>(byte(c.r * a)) << 16 |
                static_cast<std::uint32_t>(byte(c.g * a)) << 8 | byte(c.b * a);
}

void Canvas::blur(int radius) {
    begin();
    std::vector<float> a(static_cast<std::size_t>(width_) * height_ * 4), b(a.size());
    for (int y = 0; y < height_; ++y)
        for (int x = 0; x < width_; ++x)
            for (int c = 0; c < 4; ++c)
                a[(static_cast<std::size_t>(y) * width_ + x) * 4 + c] =
                    static_cast<float>(row(y)[x] >> (8 * c) & 0xFF);
    for (int pass = 0; pass < 3; ++pass) {
        boxPass(a, b, width_, height_, radius, false);
        boxPass(b, a, width_, height_, radius, true);
    }
    for (int y = 0; y < height_; ++y)
        for (int x = 0; x < width_; ++x) {
            std::uint32_t pixel = 0;
            for (int c = 0; c < 4; ++c)
                pixel |= static_cast<std::uint32_t>(std::lround(std::clamp(
                             a[(static_cast<std::size_t>(y) * width_ + x) * 4 + c], 0.0f, 255.0f)))
                         << (8 * c);
            row(y)[x] = pixel;
        }
    end();
}

void Canvas::add(const Canvas& other, double factor) {
    begin();
    other.begin();
    for (int y = 0; y < height_; ++y)
        for (int x = 0; x < width_; ++x) {
            std::uint32_t pixel = 0;
            for (int c = 0; c < 4; ++c) {
                const double sum =
                    (row(y)[x] >> (8 * c) & 0xFF) + factor * (other.row(y)[x] >> (8 * c) & 0xFF);
                pixel |= static_cast<std::uint32_t>(std::lround(std::clamp(sum, 0.0, 255.0)))
                         << (8 * c);
            }
            row(y)[x] = pixel;
        }
    end();
}

std::vector<std::uint8_t> Canvas::rgba(Alpha form) const {
    cairo_surface_flush(surface_);
    std::vector<std::uint8_t> out(static_cast<std::size_t>(width_) * height_ * 4);
    std::uint8_t* o = out.data();
    for (int y = 0; y < height_; ++y)
        for (int x = 0; x < width_; ++x, o += 4) {
            const std::uint32_t p = row(y)[x];
            const unsigned a = p >> 24;
            const unsigned channel[3] = {p >> 16 & 0xFF, p >> 8 & 0xFF, p & 0xFF};
            for (int c = 0; c < 3; ++c)
                o[c] =
                    form == Alpha::Premultiplied || a == 255 ? channel[c]
                    : a == 0
                        ? 0
                        : static_cast<std::uint8_t>(std::min(255u, (channel[c] * 255 + a / 2) / a));
            o[3] = static_cast<std::uint8_t>(a);
        }
    return out;
}

bool Canvas::savePng(const std::string& path, Alpha form) const {
    const auto bytes = rgba(form);
    return stbi_write_png(path.c_str(), width_, height_, 4, bytes.data(), width_ * 4) != 0;
}

} // namespace artgen
