#include "Paint.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace artgen {

namespace {
double radians(double degrees) {
    return (degrees - 90.0) * std::numbers::pi / 180.0;
}

// Unhinted outlines: the ink measured is the ink drawn, at any scale.
void useFace(cairo_t* cr, const Typeface& type, double size) {
    cairo_font_options_t* options = cairo_font_options_create();
    cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_NONE);
    cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_OFF);
    cairo_font_options_set_antialias(options, CAIRO_ANTIALIAS_GRAY);
    cairo_set_font_options(cr, options);
    cairo_font_options_destroy(options);
    cairo_set_font_face(cr, type.face());
    cairo_set_font_size(cr, size);
}
} // namespace

void fillBlack(cairo_t* cr) {
    cairo_save(cr);
    cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
    cairo_set_source_rgba(cr, 0, 0, 0, 1);
    cairo_paint(cr);
    cairo_restore(cr);
}

void setGrey(cairo_t* cr, double level, double alpha) {
    cairo_set_source_rgba(cr, level, level, level, alpha);
}

void ring(cairo_t* cr, double cx, double cy, double radius, double lineWidth, double level) {
    arc(cr, cx, cy, radius, 0, 360, lineWidth, level);
}

void arc(cairo_t* cr, double cx, double cy, double radius, double fromDegrees, double toDegrees,
         double lineWidth, double level) {
    cairo_new_path(cr);
    cairo_arc(cr, cx, cy, radius, radians(fromDegrees), radians(toDegrees));
    cairo_set_line_width(cr, lineWidth);
    setGrey(cr, level);
    cairo_stroke(cr);
}

void ticks(cairo_t* cr, double cx, double cy, double inner, double outer, int count,
           double lineWidth, double level) {
    for (int i = 0; i < count; ++i) {
        const double a = radians(360.0 * i / count);
        line(cr, cx + inner * std::cos(a), cy + inner * std::sin(a), cx + outer * std::cos(a),
             cy + outer * std::sin(a), lineWidth, level);
    }
}

void line(cairo_t* cr, double x0, double y0, double x1, double y1, double lineWidth, double level) {
    cairo_new_path(cr);
    cairo_move_to(cr, x0, y0);
    cairo_line_to(cr, x1, y1);
    cairo_set_line_width(cr, lineWidth);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_BUTT);
    setGrey(cr, level);
    cairo_stroke(cr);
}

void textInBox(cairo_t* cr, const Typeface& type, const std::string& text, Box box, Align align,
               double squeeze) {
    constexpr double probe = 100.0;
    cairo_save(cr);
    useFace(cr, type, probe);
    cairo_text_extents_t ink{};
    cairo_text_extents(cr, text.c_str(), &ink);
    if (ink.width <= 0 || ink.height <= 0) {
        cairo_restore(cr);
        return;
    }
    double scaleY = box.height / ink.height;
    double scaleX = scaleY;
    if (ink.width * scaleX > box.width) scaleX = std::max(box.width / ink.width, scaleY * squeeze);
    if (ink.width * scaleX > box.width) { // still too wide: shrink both, keeping the squeeze
        const double shrink = box.width / (ink.width * scaleX);
        scaleX *= shrink;
        scaleY *= shrink;
    }
    const double left = align == Align::Left ? box.x : box.x + (box.width - ink.width * scaleX) / 2;
    const double top = box.y + (box.height - ink.height * scaleY) / 2;
    cairo_translate(cr, left - ink.x_bearing * scaleX, top - ink.y_bearing * scaleY);
    cairo_scale(cr, scaleX, scaleY);
    cairo_new_path(cr);
    cairo_move_to(cr, 0, 0);
    cairo_text_path(cr, text.c_str());
    cairo_restore(cr);
    cairo_fill(cr);
}

void textAt(cairo_t* cr, const Typeface& type, const std::string& text, double x, double y,
            double size) {
    useFace(cr, type, size);
    cairo_new_path(cr);
    cairo_move_to(cr, x, y);
    cairo_text_path(cr, text.c_str());
    cairo_fill(cr);
}

} // namespace artgen
