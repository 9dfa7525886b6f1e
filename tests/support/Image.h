#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace test {

struct Rgb {
    int r, g, b;
};

// An RGB picture, top row first.
struct Image {
    int width = 0, height = 0;
    std::vector<std::uint8_t> pixels;

    Rgb at(int x, int y) const;
    void set(int x, int y, Rgb colour);
};

bool loadPng(const std::string& path, Image& out);

// A picture as R, G, B, A bytes, top row first.
struct RgbaImage {
    int width = 0, height = 0;
    std::vector<std::uint8_t> rgba;

    const std::uint8_t* at(int x, int y) const {
        return rgba.data() + (static_cast<std::size_t>(y) * width + x) * 4;
    }
};
bool loadRgbaPng(const std::string& path, RgbaImage& out);
bool savePng(const std::string& path, const Image& image);
bool saveRgbaPng(const std::string& path, int width, int height,
                 const std::vector<std::uint8_t>& rgba);

// Pixels inside the rectangle whose channels differ from the expected colour by more than
// tolerance. Returns 0 when the region matches.
int countDifferent(const Image& image, int x0, int y0, int x1, int y1, Rgb expected, int tolerance);

// The picture at 1/factor of its size, each pixel the mean of a factor x factor block: what
// survives lossy coding of fine detail such as noise.
Image shrink(const Image& image, int factor);
// The width x height region at (left, top) averaged down to outWidth x outHeight: each pixel
// the mean of the area it covers, pixels it covers in part weighted by their share.
Image shrinkArea(const Image& image, int left, int top, int width, int height, int outWidth,
                 int outHeight);

// Pixels whose channels differ between a and b by more than tolerance; writes a diff picture
// (differing pixels red on grey) to diffPath when any differ and a path is given.
int compareImages(const Image& a, const Image& b, int tolerance, const std::string& diffPath = {});

} // namespace test
