#pragma once
#include <cairo.h>

#include <filesystem>

namespace artgen {

// The program's icon: the target scene's reticles in the show's red round its glowing centre,
// on a dark rounded tile. Drawn on a 256-unit square (scale the context first); strokes are
// thickened by weight so that they still read at small sizes.
void drawIcon(cairo_t* cr, double weight);

// lumiflux-48.png, -128.png, -256.png and lumiflux.svg in folder; false when one fails.
bool writeIcons(const std::filesystem::path& folder);

} // namespace artgen
