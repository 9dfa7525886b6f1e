#pragma once
#include <cairo.h>

#include <string>

namespace artgen {

// One face of an installed font family, found through fontconfig and opened with FreeType.
// Refuses a substitute: the art must look the same wherever it is generated.
class Typeface {
  public:
    Typeface(const std::string& family, const std::string& style);
    ~Typeface();
    Typeface(const Typeface&) = delete;
    Typeface& operator=(const Typeface&) = delete;

    cairo_font_face_t* face() const { return face_; }

  private:
    cairo_font_face_t* face_ = nullptr;
};

} // namespace artgen
