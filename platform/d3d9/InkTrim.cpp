#include "InkTrim.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace d3d9 {
namespace {

struct Corner {
    float x, y, rhw, u, v;
};

Corner readCorner(const void* vertices, unsigned stride, unsigned texOffset, int i) {
    const auto* bytes =
        static_cast<const std::uint8_t*>(vertices) + static_cast<std::size_t>(i) * stride;
    float position[4], tex[2];
    std::memcpy(position, bytes, sizeof position);
    std::memcpy(tex, bytes + texOffset, sizeof tex);
    return {position[0], position[1], position[3], tex[0], tex[1]};
}

// Every corner must carry, on this axis, the coordinate of the side it lies on.
std::optional<QuadAxis> axisOf(const Corner (&c)[4], float Corner::*position,
                               float Corner::*coord) {
    const float a = c[0].*position;
    int other = -1;
    for (int i = 1; i < 4; ++i)
        if (c[i].*position != a) other = i;
    if (other < 0) return std::nullopt;
    const float b = c[other].*position;
    int onA = 0;
    for (const Corner& k : c) {
        const bool sideA = k.*position == a;
        if (!sideA && k.*position != b) return std::nullopt;
        if (k.*coord != (sideA ? c[0].*coord : c[other].*coord)) return std::nullopt;
        onA += sideA;
    }
    if (onA != 2) return std::nullopt;
    return a < b ? QuadAxis{a, b, c[0].*coord, c[other].*coord}
                 : QuadAxis{b, a, c[other].*coord, c[0].*coord};
}

// Pixels along one axis whose texel coordinate t = coord * size lies in [inkLow - 1,
// inkHigh + 1]: beyond that a bilinear tap reads only black texels.
std::pair<int, int> keptPixels(const QuadAxis& axis, int inkLow, int inkHigh, int size,
                               bool edgesRepeat) {
    if (edgesRepeat && (inkLow == 0 || inkHigh == size)) inkLow = -2, inkHigh = size + 2;
    const double lowT = inkLow - 1.0, highT = inkHigh + 1.0;
    const double t0 = axis.atLow * size, t1 = axis.atHigh * size;
    double from = axis.low, to = axis.high;
    if (t0 != t1) {
        // Where t crosses the kept range, in target coordinates.
        const auto at = [&](double t) {
            return axis.low + (t - t0) / (t1 - t0) * (axis.high - axis.low);
        };
        const double a = at(lowT), b = at(highT);
        from = std::max(from, std::min(a, b));
        to = std::min(to, std::max(a, b));
    } else if (t0 < lowT || t0 > highT) {
        return {0, 0};
    }
    if (to < from) return {0, 0};
    // Pixel centres sit on whole coordinates; a pixel more on each side for rounding.
    return {static_cast<int>(std::floor(from)) - 1, static_cast<int>(std::ceil(to)) + 2};
}

bool withinTexture(const QuadAxis& axis) {
    return axis.atLow >= 0.0f && axis.atLow <= 1.0f && axis.atHigh >= 0.0f && axis.atHigh <= 1.0f;
}

} // namespace

InkBounds findInk(const std::uint8_t* bgra, int width, int height) {
    InkBounds ink{width, height, 0, 0};
    for (int y = 0; y < height; ++y) {
        const std::uint8_t* row = bgra + static_cast<std::size_t>(y) * width * 4;
        for (int x = 0; x < width; ++x) {
            const std::uint8_t* t = row + 4 * x;
            if ((t[0] | t[1] | t[2]) == 0) continue;
            ink.left = std::min(ink.left, x), ink.right = std::max(ink.right, x + 1);
            ink.top = std::min(ink.top, y), ink.bottom = std::max(ink.bottom, y + 1);
        }
    }
    return ink.empty() ? InkBounds{} : ink;
}

std::optional<QuadMapping> quadMapping(const void* vertices, unsigned stride, unsigned texOffset) {
    Corner c[4];
    for (int i = 0; i < 4; ++i) {
        c[i] = readCorner(vertices, stride, texOffset, i);
        if (!std::isfinite(c[i].x) || !std::isfinite(c[i].y) || !std::isfinite(c[i].u) ||
            !std::isfinite(c[i].v) || c[i].rhw != c[0].rhw || c[i].rhw == 0.0f)
            return std::nullopt; // only flat quads interpolate their coordinates linearly
    }
    const auto across = axisOf(c, &Corner::x, &Corner::u);
    const auto down = axisOf(c, &Corner::y, &Corner::v);
    if (!across || !down) return std::nullopt;
    return QuadMapping{*across, *down};
}

std::optional<PixelRect> inkedPixels(const void* vertices, unsigned stride, unsigned texOffset,
                                     const InkSampling& sampling) {
    const auto quad = quadMapping(vertices, stride, texOffset);
    if (!quad || !withinTexture(quad->across) || !withinTexture(quad->down)) return std::nullopt;
    const QuadAxis& across = quad->across;
    const QuadAxis& down = quad->down;
    if (sampling.ink.empty()) return PixelRect{};
    const auto [left, right] = keptPixels(across, sampling.ink.left, sampling.ink.right,
                                          sampling.width, sampling.edgesRepeat);
    const auto [top, bottom] = keptPixels(down, sampling.ink.top, sampling.ink.bottom,
                                          sampling.height, sampling.edgesRepeat);
    if (right <= left || bottom <= top) return PixelRect{};
    return PixelRect{left, top, right, bottom};
}

} // namespace d3d9
