#pragma once
#include "Images.h"

#include <string>

namespace artgen {

// Every image at half size or less on one PNG, each over mid grey (so clear parts show) with
// its file name and size under it.
bool writeContactSheet(const std::string& path, const Typefaces& type);

} // namespace artgen
