#pragma once
// A texture is often black around what it shows. Drawn so that black adds nothing (added onto
// the target, colour from the texture), a screen-space quad of it changes pixels only where its
// texture coordinates reach the texture's ink, so only those pixels need rasterising.
#include "d3d9types.h"

#include <cstdint>
#include <optional>

namespace d3d9 {

// Texels whose colour is not black, as a rectangle; right and bottom are exclusive.
struct InkBounds {
    int left = 0, top = 0, right = 0, bottom = 0;
    bool empty() const { return right <= left || bottom <= top; }
};

// Scans B, G, R, A rows, top first; alpha does not count.
InkBounds findInk(const std::uint8_t* bgra, int width, int height);

// One axis of an axis-aligned screen quad: its two positions and the texture coordinate each
// carries.
struct QuadAxis {
    float low, high, atLow, atHigh;
};

struct QuadMapping {
    QuadAxis across, down;
};

// Four pre-transformed vertices (x, y, z, rhw first, two texture floats at texOffset) that
// form an axis-aligned rectangle, flat (one rhw), with u following x alone and v following y.
std::optional<QuadMapping> quadMapping(const void* vertices, unsigned stride, unsigned texOffset);

// Target pixels, right and bottom exclusive.
struct PixelRect {
    int left = 0, top = 0, right = 0, bottom = 0;
};

// How the quad's texture reads beyond its ink.
struct InkSampling {
    InkBounds ink;
    int width = 0, height = 0;
    bool edgesRepeat = false; // wrap or mirror: ink on one edge shows beside the other
};

// For such a quad with texture coordinates within 0..1: the pixels that can sample ink, with a
// pixel to spare for filtering and rounding. Nothing when the vertices are not such a quad.
std::optional<PixelRect> inkedPixels(const void* vertices, unsigned stride, unsigned texOffset,
                                     const InkSampling& sampling);

} // namespace d3d9
