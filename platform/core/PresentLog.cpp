#include "core/PresentLog.h"

#include "core/Clock.h"
#include "core/RunMode.h"

#include <chrono>
#include <cstdlib>
#ifdef __EMSCRIPTEN__
#include <emscripten.h>
#endif

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
#ifndef __EMSCRIPTEN__
    if (!file_) return;
#endif
    using namespace std::chrono;
    const double wall =
        duration<double, std::milli>(steady_clock::now().time_since_epoch()).count();
    const auto& start = runMode().musicStartMs;
    const double music = start ? Clock::instance().now() - *start : -1.0;
#ifdef __EMSCRIPTEN__
    // The page has no files to give a reader: it keeps the same two times for every frame in
    // window.lumiflux.presents.
    EM_ASM({ lumiflux.presents.push([ $0, $1 ]); }, wall, music);
#else
    std::fprintf(file_, "%.3f %.0f\n", wall, music);
#endif
}

} // namespace platform
