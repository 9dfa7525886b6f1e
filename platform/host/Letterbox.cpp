#include "Letterbox.h"

#include <algorithm>
#include <cstddef>

namespace host {

Letterbox::Letterbox(platform::FrameSink& inner, int width, int height)
    : inner_(inner), width_(width), height_(height) {}

bool Letterbox::frame(const unsigned char* rgb, int width, int height) {
    if (width_ <= 0 || height_ <= 0 || (width == width_ && height == height_))
        return inner_.frame(rgb, width, height);
    framed_.assign(static_cast<std::size_t>(width_) * height_ * 3, 0);
    const int left = std::max(0, (width_ - width) / 2);
    const int top = std::max(0, (height_ - height) / 2);
    const auto rowBytes = static_cast<std::size_t>(std::min(width, width_)) * 3;
    for (int y = 0; y < std::min(height, height_); ++y)
        std::copy_n(rgb + static_cast<std::size_t>(y) * width * 3, rowBytes,
                    framed_.data() + (static_cast<std::size_t>(top + y) * width_ + left) * 3);
    return inner_.frame(framed_.data(), width_, height_);
}

} // namespace host
