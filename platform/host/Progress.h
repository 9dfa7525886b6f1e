#pragma once
#include <chrono>

namespace host {

// Tells how a long capture goes: a line rewritten in place on a terminal, otherwise a line
// every few seconds. A capture beside another one keeps quiet (shown false): one line is told.
class Progress {
  public:
    Progress(int total, int fps, bool shown = true); // total -1: not known in advance
    void frameDone();
    void finish();

  private:
    void print(bool last);

    using Clock = std::chrono::steady_clock;
    int total_, fps_;
    int done_ = 0;
    bool shown_, terminal_;
    Clock::time_point start_, lastPrint_;
};

} // namespace host
