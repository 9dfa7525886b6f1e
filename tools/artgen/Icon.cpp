#include "Icon.h"

#include "Canvas.h"

#include <algorithm>
#include <cairo-svg.h>
#include <cmath>
#include <numbers>
#include <string>

namespace artgen {
namespace {

constexpr double side = 256, centre = side / 2;
constexpr int pixelSizes[] = {48, 128, 256};

struct Colour {
    double r, g, b;
};
constexpr Colour tile{0.045, 0.04, 0.05}, red{0.93, 0.16, 0.13}, orange{1.0, 0.55, 0.18};

double radians(double degreesFromTop) {
    return (degreesFromTop - 90.0) * std::numbers::pi / 180.0;
}

void roundedTile(cairo_t* cr) {
    constexpr double inset = 8, corner = 40;
    cairo_new_sub_path(cr);
    for (int k = 0; k < 4; ++k) {
        const double x = k == 0 || k == 3 ? side - inset - corner : inset + corner;
        const double y = k < 2 ? side - inset - corner : inset + corner;
        cairo_arc(cr, x, y, corner, k * std::numbers::pi / 2, (k + 1) * std::numbers::pi / 2);
    }
    cairo_close_path(cr);
    auto* glow = cairo_pattern_create_radial(centre, centre, 0, centre, centre, centre);
    cairo_pattern_add_color_stop_rgb(glow, 0, 0.22, 0.03, 0.03);
    cairo_pattern_add_color_stop_rgb(glow, 1, tile.r, tile.g, tile.b);
    cairo_set_source(cr, glow);
    cairo_fill(cr);
    cairo_pattern_destroy(glow);
}

void stroke(cairo_t* cr, Colour colour, double width) {
    cairo_set_source_rgb(cr, colour.r, colour.g, colour.b);
    cairo_set_line_width(cr, width);
    cairo_stroke(cr);
}

// The outer reticle's four broken arcs and inward pointers.
void outerReticle(cairo_t* cr, double weight) {
    constexpr double radius = 96;
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_BUTT);
    for (int i = 0; i < 4; ++i) {
        cairo_new_sub_path(cr);
        cairo_arc(cr, centre, centre, radius, radians(90.0 * i + 12), radians(90.0 * i + 78));
    }
    stroke(cr, red, 9 * weight);
    for (int i = 0; i < 4; ++i) {
        const double a = radians(90.0 * i + 45);
        const double ux = std::cos(a), uy = std::sin(a);
        cairo_move_to(cr, centre + ux * 66, centre + uy * 66);
        cairo_line_to(cr, centre + ux * 86 - uy * 11, centre + uy * 86 + ux * 11);
        cairo_line_to(cr, centre + ux * 86 + uy * 11, centre + uy * 86 - ux * 11);
        cairo_close_path(cr);
    }
    cairo_set_source_rgb(cr, orange.r, orange.g, orange.b);
    cairo_fill(cr);
}

// The inner reticle's ring and cross hairs with their gap.
void innerReticle(cairo_t* cr, double weight) {
    cairo_new_sub_path(cr);
    cairo_arc(cr, centre, centre, 50, 0, 2 * std::numbers::pi);
    stroke(cr, red, 5 * weight);
    for (int arm = 0; arm < 4; ++arm) {
        const double dx[4] = {1, 0, -1, 0}, dy[4] = {0, 1, 0, -1};
        cairo_move_to(cr, centre + dx[arm] * 18, centre + dy[arm] * 18);
        cairo_line_to(cr, centre + dx[arm] * 64, centre + dy[arm] * 64);
    }
    stroke(cr, red, 4 * weight);
}

// The glow particle the show adds everywhere: a white core fading through orange.
void centreGlow(cairo_t* cr) {
    auto* glow = cairo_pattern_create_radial(centre, centre, 0, centre, centre, 30);
    cairo_pattern_add_color_stop_rgba(glow, 0, 1, 1, 1, 1);
    cairo_pattern_add_color_stop_rgba(glow, 0.25, 1, 0.85, 0.6, 1);
    cairo_pattern_add_color_stop_rgba(glow, 0.6, orange.r, orange.g, orange.b, 0.5);
    cairo_pattern_add_color_stop_rgba(glow, 1, orange.r, orange.g, orange.b, 0);
    cairo_set_source(cr, glow);
    cairo_arc(cr, centre, centre, 30, 0, 2 * std::numbers::pi);
    cairo_fill(cr);
    cairo_pattern_destroy(glow);
}

bool writeSvg(const std::filesystem::path& path) {
    cairo_surface_t* surface = cairo_svg_surface_create(path.c_str(), side, side);
    cairo_t* cr = cairo_create(surface);
    drawIcon(cr, 1);
    cairo_destroy(cr);
    cairo_surface_finish(surface);
    const bool ok = cairo_surface_status(surface) == CAIRO_STATUS_SUCCESS;
    cairo_surface_destroy(surface);
    return ok;
}

} // namespace

void drawIcon(cairo_t* cr, double weight) {
    roundedTile(cr);
    outerReticle(cr, weight);
    innerReticle(cr, weight);
    centreGlow(cr);
}

bool writeIcons(const std::filesystem::path& folder) {
    for (const int size : pixelSizes) {
        Canvas canvas(size, size);
        cairo_scale(canvas.context(), size / side, size / side);
        // A stroke keeps at least about 1.5 pixels at 48.
        drawIcon(canvas.context(), std::max(1.0, 96.0 / size));
        const auto file = folder / ("lumiflux-" + std::to_string(size) + ".png");
        if (!canvas.savePng(file.string(), Canvas::Alpha::Straight)) return false;
    }
    return writeSvg(folder / "lumiflux.svg");
}

} // namespace artgen
