#pragma once
#include "Canvas.h"
#include "Typeface.h"

#include <memory>
#include <vector>

namespace artgen {

// The DejaVu faces of Debian's fonts-dejavu-core that the art uses.
struct Typefaces {
    Typeface sans{"DejaVu Sans", "Book"};
    Typeface bold{"DejaVu Sans", "Bold"};
    Typeface mono{"DejaVu Sans Mono", "Book"};
    Typeface monoBold{"DejaVu Sans Mono", "Bold"};
};

// One image the show loads: its file under the output folder, its size and how it is stored.
struct ImageSpec {
    const char* file;
    int size;
    Canvas::Alpha form;
    void (*draw)(Canvas& canvas, const Typefaces& type);
};

const std::vector<ImageSpec>& imageSpecs();

// Draws one image on a fresh canvas of its size.
std::unique_ptr<Canvas> render(const ImageSpec& spec, const Typefaces& type);

} // namespace artgen
