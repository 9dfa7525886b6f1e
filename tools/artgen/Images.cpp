#include "Images.h"

#include "Paint.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <numbers>
#include <string>

namespace artgen {

namespace {

using Rgba = Canvas::Rgba;

double smooth(double edge0, double edge1, double x) {
    const double t = std::clamp((x - edge0) / (edge1 - edge0), 0.0, 1.0);
    return t * t * (3 - 2 * t);
}

// A small fixed generator: the art must not depend on any library's random numbers.
class Scramble {
  public:
    explicit Scramble(std::uint32_t seed) : state_(seed) {}
    std::uint32_t next() {
        state_ ^= state_ << 13;
        state_ ^= state_ >> 17;
        state_ ^= state_ << 5;
        return state_;
    }
    int below(int n) { return static_cast<int>(next() % static_cast<std::uint32_t>(n)); }

  private:
    std::uint32_t state_;
};

// The title: a bold wordmark with a soft halo and hairlines, dim because sixteen copies add.
void drawTitle(Canvas& canvas, const Typefaces& type) {
    // Spaced letters keep their counters open when the copies smear together.
    const char* word = "L U M I F L U X";
    const Box box{36, 222, 440, 68};
    Canvas halo(canvas.width(), canvas.height());
    cairo_set_source_rgb(halo.context(), 1, 1, 1);
    textInBox(halo.context(), type.bold, word, box);
    halo.blur(9);

    cairo_t* cr = canvas.context();
    fillBlack(cr);
    canvas.add(halo, 0.08);
    setGrey(cr, 0.17);
    textInBox(cr, type.bold, word, box);
    line(cr, 36, 196.5, 476, 196.5, 1, 0.12);
    line(cr, 36, 315.5, 476, 315.5, 1, 0.12);
    setGrey(cr, 0.14);
    textInBox(cr, type.mono, "QUILLON  /  REALTIME  /  144 BPM", {36, 324, 440, 10});
}

// The warning panel in the top-left 320 x 120, premultiplied, the rest clear. Six shaken
// copies add their colour, so the colours are a quarter of what should show.
void drawWarning(Canvas& canvas, const Typefaces& type) {
    cairo_t* cr = canvas.context();
    const double orange[3] = {0.26, 0.12, 0.015};
    auto setOrange = [&] { cairo_set_source_rgba(cr, orange[0], orange[1], orange[2], 1); };
    // cairo premultiplies what it is given; a colour with alpha 1 is stored as it stands.
    cairo_rectangle(cr, 2, 2, 316, 116);
    cairo_set_source_rgba(cr, 0.02, 0.008, 0.0, 0.85);
    cairo_fill(cr);

    // Hazard bands, stripes leaning right, clipped to the bands.
    cairo_save(cr);
    cairo_rectangle(cr, 2, 2, 316, 14);
    cairo_rectangle(cr, 2, 104, 316, 14);
    cairo_clip(cr);
    setOrange();
    for (int x = -20; x < 340; x += 20) {
        cairo_move_to(cr, x, 118);
        cairo_line_to(cr, x + 10, 118);
        cairo_line_to(cr, x + 126, 2);
        cairo_line_to(cr, x + 116, 2);
        cairo_close_path(cr);
    }
    cairo_fill(cr);
    cairo_restore(cr);

    cairo_rectangle(cr, 2, 2, 316, 116);
    cairo_set_line_width(cr, 2);
    setOrange();
    cairo_stroke(cr);

    // The triangle sign with its exclamation mark.
    cairo_new_path(cr);
    cairo_move_to(cr, 50, 26);
    cairo_line_to(cr, 86, 92);
    cairo_line_to(cr, 14, 92);
    cairo_close_path(cr);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    cairo_set_line_width(cr, 5);
    cairo_stroke(cr);
    textInBox(cr, type.bold, "!", {40, 46, 20, 38});

    setGrey(cr, 0.4);
    textInBox(cr, type.bold, "WARNING", {100, 28, 208, 44});
    setGrey(cr, 0.3);
    textInBox(cr, type.mono, "CORE OVERLOAD - STAND CLEAR", {100, 82, 208, 10});
}

// Spark: white, alpha falling smoothly from the centre to nothing at the rim.
void drawParticle(Canvas& canvas, const Typefaces&) {
    const double c = canvas.width() / 2.0;
    canvas.shade([c](double x, double y) {
        const double r = std::hypot(x - c, y - c) / c;
        const double a = r >= 1 ? 0 : (1 - r * r) * (1 - r * r);
        return Rgba{1, 1, 1, a};
    });
}

// Glow: a small hot core in a wide soft falloff, the grey and the alpha the same.
void drawGlow(Canvas& canvas, const Typefaces&) {
    const double c = canvas.width() / 2.0;
    canvas.shade([c](double x, double y) {
        const double r = std::hypot(x - c, y - c) / c;
        const double falloff = r >= 1 ? 0 : std::pow(1 - r, 2.2) * 0.55;
        const double core = std::exp(-r * r / 0.012);
        return Rgba{1, 1, 1, std::min(1.0, falloff + core)};
    });
}

// Inner reticle: circles, cross hairs with a gap, tick marks.
void drawInnerReticle(Canvas& canvas, const Typefaces&) {
    cairo_t* cr = canvas.context();
    fillBlack(cr);
    const double c = 128;
    ring(cr, c, c, 84, 2, 0.9);
    ring(cr, c, c, 44, 1.5, 0.6);
    ticks(cr, c, c, 88, 96, 36, 1, 0.55);
    ticks(cr, c, c, 86, 104, 4, 2, 0.9);
    for (int side = 0; side < 4; ++side) {
        const double dx[4] = {1, 0, -1, 0}, dy[4] = {0, 1, 0, -1};
        line(cr, c + dx[side] * 14, c + dy[side] * 14, c + dx[side] * 70, c + dy[side] * 70, 2,
             0.85);
    }
    ticks(cr, c, c, 58, 64, 8, 1, 0.45);
    ring(cr, c, c, 2.5, 2, 1.0);
}

// Outer reticle: a broken ring of arcs with fine ticks and inward pointers.
void drawOuterReticle(Canvas& canvas, const Typefaces&) {
    cairo_t* cr = canvas.context();
    fillBlack(cr);
    const double c = 128;
    for (int i = 0; i < 4; ++i)
        arc(cr, c, c, 112, 90.0 * i + 12, 90.0 * i + 78, 3, 0.85);
    for (int i = 0; i < 8; ++i)
        arc(cr, c, c, 100, 45.0 * i + 5, 45.0 * i + 30, 1.5, 0.5);
    ticks(cr, c, c, 117, 123, 72, 1, 0.45);
    for (int i = 0; i < 4; ++i) {
        const double a = (90.0 * i + 45.0 - 90.0) * std::numbers::pi / 180.0;
        const double ux = std::cos(a), uy = std::sin(a), vx = -uy, vy = ux;
        cairo_new_path(cr);
        cairo_move_to(cr, c + ux * 90, c + uy * 90);
        cairo_line_to(cr, c + ux * 104 + vx * 6, c + uy * 104 + vy * 6);
        cairo_line_to(cr, c + ux * 104 - vx * 6, c + uy * 104 - vy * 6);
        cairo_close_path(cr);
        setGrey(cr, 0.8);
        cairo_fill(cr);
    }
}

// Glyph sheet: A..Z eight a row from the top, then 0..7 in the fifth row.
void drawGlyphs(Canvas& canvas, const Typefaces& type) {
    cairo_t* cr = canvas.context();
    fillBlack(cr);
    cairo_set_source_rgb(cr, 1, 1, 1);
    auto cell = [&](int index, char glyph) {
        const double x = 48.0 * (index % 8), y = 48.0 * (index / 8);
        // All letters share one height; wide ones narrow to the 40 px inside the margin.
        textInBox(cr, type.bold, std::string(1, glyph), {x + 6, y + 7, 36, 34}, Align::Centre, 0.6);
    };
    for (int i = 0; i < 26; ++i)
        cell(i, static_cast<char>('A' + i));
    for (int i = 0; i < 8; ++i)
        cell(32 + i, static_cast<char>('0' + i));
}

// A hex dump in dim greys, black in the top and bottom six rows so that it tiles every 506.
void drawCode(Canvas& canvas, const Typefaces& type) {
    cairo_t* cr = canvas.context();
    fillBlack(cr);
    cairo_save(cr);
    cairo_rectangle(cr, 0, 6, 512, 500);
    cairo_clip(cr);
    Scramble random(0x1F0C0DE);
    for (int line = 0; line < 50; ++line) {
        char text[160];
        int n = std::snprintf(text, sizeof text, "%06X ", 0x4C4600 + line * 16);
        for (int i = 0; i < 16 && n < 150; ++i)
            n += std::snprintf(text + n, sizeof text - static_cast<std::size_t>(n), "%02X%s",
                               random.below(256), i % 4 == 3 ? "  " : " ");
        const double level = (80 + random.below(81)) / 255.0;
        setGrey(cr, level);
        textAt(cr, type.mono, text, 6, 15.5 + line * 10, 9.4);
    }
    cairo_restore(cr);
}

// A system-error dialog in the top-left 320 x 155, around grey 50: five copies add.
void drawError(Canvas& canvas, const Typefaces& type) {
    cairo_t* cr = canvas.context();
    fillBlack(cr);
    const double level = 0.2;
    cairo_rectangle(cr, 3, 3, 314, 149);
    cairo_set_line_width(cr, 2);
    setGrey(cr, level);
    cairo_stroke(cr);
    cairo_rectangle(cr, 6, 6, 308, 20);
    setGrey(cr, level * 0.8);
    cairo_fill(cr);
    cairo_set_source_rgb(cr, 0, 0, 0);
    textInBox(cr, type.bold, "SYSTEM ERROR", {12, 10, 120, 12}, Align::Left);
    // Icon: a disc with a cross cut out.
    cairo_arc(cr, 34, 64, 17, 0, 2 * std::numbers::pi);
    setGrey(cr, level * 1.2);
    cairo_fill(cr);
    line(cr, 27, 57, 41, 71, 4, 0);
    line(cr, 41, 57, 27, 71, 4, 0);
    setGrey(cr, level);
    textInBox(cr, type.sans, "A fatal exception 0E has occurred at 0028:C0DE1F0C.",
              {62, 50, 244, 11}, Align::Left);
    textInBox(cr, type.sans, "The current application will be terminated.", {62, 70, 244, 11},
              Align::Left);
    cairo_rectangle(cr, 128.5, 112.5, 64, 26);
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);
    textInBox(cr, type.bold, "OK", {150, 120, 20, 10});
}

// Flash: a bright ring fading to black inwards and outwards.
void drawFlash(Canvas& canvas, const Typefaces&) {
    const double c = canvas.width() / 2.0;
    canvas.shade([c](double x, double y) {
        const double r = std::hypot(x - c, y - c) / c;
        const double ringLevel = std::exp(-std::pow((r - 0.72) / 0.11, 2));
        const double inner = 0.18 * (1 - smooth(0.0, 0.72, r));
        const double v = std::min(1.0, (ringLevel + inner) * (1 - smooth(0.9, 1.0, r)));
        return Rgba{v, v, v, 1};
    });
}

// Narrow enough to be read whole in a flash: the first name is still flashed at x 361 and the
// second at x 454, and the screen ends at x 720.
void drawName(Canvas& canvas, const Typefaces& type, const char* text) {
    cairo_t* cr = canvas.context();
    fillBlack(cr);
    cairo_set_source_rgb(cr, 1, 1, 1);
    textInBox(cr, type.bold, text, {4, 8, 340, 72}, Align::Left, 0.36);
}

void drawFirstName(Canvas& canvas, const Typefaces& type) {
    drawName(canvas, type, "A QUILLON PRODUCTION");
}

void drawSecondName(Canvas& canvas, const Typefaces& type) {
    drawName(canvas, type, "RELEASED AT ZEPHYRAL");
}

// The group's logo round image point (256, 192): an emblem of nested rings over the name.
void drawLogo(Canvas& canvas, const Typefaces& type) {
    cairo_t* cr = canvas.context();
    fillBlack(cr);
    const double cx = 256, cy = 150;
    ring(cr, cx, cy, 46, 7, 0.95);
    ring(cr, cx, cy, 30, 2, 0.6);
    ticks(cr, cx, cy, 54, 62, 24, 2, 0.5);
    line(cr, cx + 22, cy + 22, cx + 50, cy + 50, 8, 0.95); // the tail that makes it a Q
    cairo_set_source_rgb(cr, 0.95, 0.95, 0.95);
    textInBox(cr, type.bold, "QUILLON", {136, 216, 240, 44});
    line(cr, 136, 272.5, 376, 272.5, 1, 0.4);
}

// Panel texture for the core: a fine grid, heavier every fourth line, with glowing traces.
void drawPanel(Canvas& canvas, const Typefaces&) {
    cairo_t* cr = canvas.context();
    fillBlack(cr);
    cairo_rectangle(cr, 0, 0, 256, 256);
    setGrey(cr, 0.1);
    cairo_fill(cr);
    for (int i = 0; i <= 16; ++i) {
        const double at = i * 16 + 0.5, level = i % 4 == 0 ? 0.45 : 0.22;
        line(cr, at, 0, at, 256, 1, level);
        line(cr, 0, at, 256, at, 1, level);
    }
    Canvas traces(canvas.width(), canvas.height());
    cairo_t* t = traces.context();
    Scramble random(0xC0E);
    for (int i = 0; i < 12; ++i) {
        double x = 16.0 * random.below(16) + 8, y = 16.0 * random.below(16) + 8;
        cairo_new_path(t);
        cairo_move_to(t, x, y);
        for (int leg = 0; leg < 4; ++leg) {
            const double length = 16.0 * (1 + random.below(4));
            (leg % 2 ? y : x) += random.below(2) ? length : -length;
            cairo_line_to(t, x, y);
        }
        cairo_set_line_width(t, 2);
        cairo_set_source_rgb(t, 1, 1, 1);
        cairo_stroke(t);
    }
    Canvas glow(canvas.width(), canvas.height());
    glow.add(traces, 1.0);
    glow.blur(3);
    canvas.add(glow, 0.8);
    canvas.add(traces, 0.6);
}

} // namespace

const std::vector<ImageSpec>& imageSpecs() {
    using enum Canvas::Alpha;
    static const std::vector<ImageSpec> specs = {
        {"lf.png", 512, Premultiplied, drawTitle},
        {"warning.png", 512, Premultiplied, drawWarning},
        {"particle.png", 64, Straight, drawParticle},
        {"particle2.png", 64, Premultiplied, drawGlow},
        {"target1.png", 256, Premultiplied, drawInnerReticle},
        {"target2.png", 256, Premultiplied, drawOuterReticle},
        {"abc.png", 512, Premultiplied, drawGlyphs},
        {"code.png", 512, Premultiplied, drawCode},
        {"error.png", 512, Premultiplied, drawError},
        {"flash.png", 256, Premultiplied, drawFlash},
        {"name1.png", 512, Premultiplied, drawFirstName},
        {"name2.png", 512, Premultiplied, drawSecondName},
        {"qln.png", 512, Premultiplied, drawLogo},
        {"core.png", 256, Premultiplied, drawPanel},
    };
    return specs;
}

std::unique_ptr<Canvas> render(const ImageSpec& spec, const Typefaces& type) {
    auto canvas = std::make_unique<Canvas>(spec.size, spec.size);
    spec.draw(*canvas, type);
    return canvas;
}

} // namespace artgen
