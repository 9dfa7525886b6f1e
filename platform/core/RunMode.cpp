#include "core/RunMode.h"

namespace platform {

RunMode& runMode() {
    static RunMode mode;
    return mode;
}

} // namespace platform
