#include "Progress.h"

#include <cstdio>
#include <unistd.h>

namespace host {

Progress::Progress(int total, int fps, bool shown)
    : total_(total), fps_(fps), shown_(shown), terminal_(isatty(2) != 0), start_(Clock::now()),
      lastPrint_(start_) {}

void Progress::frameDone() {
    ++done_;
    if (!shown_) return;
    const auto now = Clock::now();
    if (now - lastPrint_ >=
        (terminal_ ? std::chrono::milliseconds(250) : std::chrono::seconds(5))) {
        lastPrint_ = now;
        print(false);
    }
}

void Progress::finish() {
    if (done_ > 0 && shown_ && terminal_) print(true);
}

void Progress::print(bool last) {
    const double seconds = std::chrono::duration<double>(Clock::now() - start_).count();
    const double speed = seconds > 0 ? done_ / seconds : 0.0;
    char line[160];
    int n = std::snprintf(line, sizeof line, "capture: %d", done_);
    if (total_ > 0)
        n += std::snprintf(line + n, sizeof line - static_cast<std::size_t>(n), "/%d", total_);
    n += std::snprintf(line + n, sizeof line - static_cast<std::size_t>(n),
                       " frames, %.1f frames/s (%.2fx real time)", speed, speed / fps_);
    if (total_ > 0 && speed > 0 && !last) {
        const int left = static_cast<int>((total_ - done_) / speed);
        std::snprintf(line + n, sizeof line - static_cast<std::size_t>(n), ", %d:%02d left",
                      left / 60, left % 60);
    }
    std::fprintf(stderr, terminal_ ? "\r%s\033[K%s" : "%s%s\n", line,
                 terminal_ && last ? "\n" : "");
    std::fflush(stderr);
}

} // namespace host
