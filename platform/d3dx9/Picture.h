#pragma once
// A decoded image file as 32-bit ARGB texels, and the resizing a texture made from it needs.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace d3dx9 {

struct Picture {
    int width = 0, height = 0;
    std::vector<std::uint32_t> argb; // rows top first

    // PNG, BMP or TGA; false for anything else, damaged, or larger than maxSide on a side
    // (refused before the texels are allocated). channels: the file's.
    static bool decode(const unsigned char* bytes, std::size_t size, Picture& out, int& channels,
                       int maxSide = largestSide);
    static constexpr int largestSide = 8192;

    // Bilinear, with pixel centres mapped onto each other: the whole picture stays in view.
    Picture resampled(int newWidth, int newHeight) const;
    // The next mip level: each texel the rounded mean of the (up to) four above it.
    Picture halved() const;
};

} // namespace d3dx9
