#include "core/Paths.h"

#include <algorithm>

namespace platform {

std::string nativePath(const std::string& path) {
    std::string native = path;
    std::replace(native.begin(), native.end(), '\\', '/');
    return native;
}

} // namespace platform
