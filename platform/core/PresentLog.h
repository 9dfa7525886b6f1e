#pragma once
#include <cstdio>

namespace platform {

// When LUMIFLUX_PRESENT_LOG names a file, every frame shown in the window writes a line to it:
// the wall-clock milliseconds at the end of the swap and the milliseconds since the music began
// (negative before), so a run's pacing can be read scene by scene afterwards. In the browser
// the page keeps them instead (window.lumiflux.presents).
class PresentLog {
  public:
    static PresentLog& instance();
    ~PresentLog();
    PresentLog(const PresentLog&) = delete;
    PresentLog& operator=(const PresentLog&) = delete;

    void record();

  private:
    PresentLog();
    std::FILE* file_ = nullptr;
};

} // namespace platform
