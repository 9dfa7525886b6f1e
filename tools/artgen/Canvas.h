#pragma once
#include <cairo.h>

#include <cstdint>
#include <string>
#include <vector>

namespace artgen {

// A picture being drawn: a cairo ARGB32 surface (premultiplied, as cairo keeps it) with the
// pixel work cairo lacks, and PNG output in the form a scene blends it.
class Canvas {
  public:
    enum class Alpha { Premultiplied, Straight };
    struct Rgba {
        double r, g, b, a; // straight, 0..1
    };

    Canvas(int width, int height);
    ~Canvas();
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    cairo_t* context() const { return context_; }
    cairo_surface_t* surface() const { return surface_; }
    int width() const { return width_; }
    int height() const { return height_; }

    // Sets every pixel from a function of its centre.
    template <class Shader> void shade(Shader shader) {
        begin();
        for (int y = 0; y < height_; ++y)
            for (int x = 0; x < width_; ++x)
                put(x, y, shader(x + 0.5, y + 0.5));
        end();
    }
    // Three box passes of the given radius: close to a Gaussian glow.
    void blur(int radius);
    // Adds another canvas of the same size, its values times factor.
    void add(const Canvas& other, double factor);

    // R, G, B, A bytes, top row first.
    std::vector<std::uint8_t> rgba(Alpha form) const;
    bool savePng(const std::string& path, Alpha form) const;

  private:
    void begin() const;
    void end() const;
    void put(int x, int y, Rgba colour);
    std::uint32_t* row(int y) const;

    int width_, height_;
    cairo_surface_t* surface_;
    cairo_t* context_;
};

} // namespace artgen
