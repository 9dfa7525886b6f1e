#pragma once
// Drawing helpers the images share. Levels are greys 0..1; angles in degrees, clockwise
// from the top, as a designer reads a dial.
#include "Typeface.h"

#include <cairo.h>
#include <string>

namespace artgen {

struct Box {
    double x, y, width, height;
};

enum class Align { Left, Centre };

void fillBlack(cairo_t* cr);
void setGrey(cairo_t* cr, double level, double alpha = 1.0);
void ring(cairo_t* cr, double cx, double cy, double radius, double lineWidth, double level);
void arc(cairo_t* cr, double cx, double cy, double radius, double fromDegrees, double toDegrees,
         double lineWidth, double level);
// count radial strokes from inner to outer radius, evenly round the circle.
void ticks(cairo_t* cr, double cx, double cy, double inner, double outer, int count,
           double lineWidth, double level);
void line(cairo_t* cr, double x0, double y0, double x1, double y1, double lineWidth, double level);
// Text filling the box's height with its ink, narrowed down to squeeze (a horizontal scale
// floor) when too wide, then shrunk as a whole if it still does not fit.
void textInBox(cairo_t* cr, const Typeface& type, const std::string& text, Box box,
               Align align = Align::Centre, double squeeze = 1.0);
// Text at a font size with its baseline at (x, y), in the current source.
void textAt(cairo_t* cr, const Typeface& type, const std::string& text, double x, double y,
            double size);

} // namespace artgen
