#include "core/PresentLog.h"

#include "core/Clock.h"
#include "core/RunMode.h"

#include <chrono>
#include <cstdlib>

namespace platform {

PresentLog& PresentLog::instance() {
    static PresentLog log;
    return log;
}

PresentLog::PresentLog() {
    const char* path = std::getenv("LUMIFLUX_PRESENT_LOG");
    if (!path || !*path) return;
    file_ = std::fopen(path, "w");
    if (!file_) std::fprintf(stderr, "LUMIFLUX_PRESENT_LOG: cannot write %s\n", path);
}

PresentLog::~PresentLog() {
    if (file_) std::fclose(file_);
}

void PresentLog::record() {
    if (!file_) return;
    using namespace std::chrono;
    const double wall =
        duration<double, std::milli>(steady_clock::now().time_since_epoch()).count();
    const auto& start = runMode().musicStartMs;
    const double music = start ? Clock::instance().now() - *start : -1.0;
    std::fprintf(file_, "%.3f %.0f\n", wall, music);
}

} // namespace platform
