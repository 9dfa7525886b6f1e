#include "ContactSheet.h"

#include "Paint.h"

#include <algorithm>
#include <string>

namespace artgen {

bool writeContactSheet(const std::string& path, const Typefaces& type) {
    constexpr int tile = 256, label = 24, columns = 5;
    const auto& specs = imageSpecs();
    const int rows = static_cast<int>((specs.size() + columns - 1) / columns);
    Canvas sheet(columns * tile, rows * (tile + label));
    cairo_t* cr = sheet.context();
    fillBlack(cr);
    for (std::size_t i = 0; i < specs.size(); ++i) {
        const double x = static_cast<double>(i % columns) * tile,
                     y = static_cast<double>(i / columns) * (tile + label);
        const auto image = render(specs[i], type);
        cairo_rectangle(cr, x + 2, y + 2, tile - 4, tile - 4);
        setGrey(cr, 0.25);
        cairo_fill(cr);
        const double scale = std::min(1.0, (tile - 8.0) / specs[i].size);
        cairo_save(cr);
        cairo_translate(cr, x + 4, y + 4);
        cairo_scale(cr, scale, scale);
        cairo_set_source_surface(cr, image->surface(), 0, 0);
        cairo_paint(cr);
        cairo_restore(cr);
        setGrey(cr, 0.85);
        const std::string caption = std::string(specs[i].file) + "  " +
                                    std::to_string(specs[i].size) + " x " +
                                    std::to_string(specs[i].size);
        textAt(cr, type.mono, caption, x + 6, y + tile + 16, 12);
    }
    return sheet.savePng(path, Canvas::Alpha::Straight);
}

} // namespace artgen
