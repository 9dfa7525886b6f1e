#pragma once
#include <cstdint>

namespace platform {

// The millisecond clock behind timeGetTime and Sleep. Real time while playing; virtual while
// capturing or testing, where only Sleep and presented frames move it, so runs are repeatable.
class Clock {
  public:
    static Clock& instance();

    void useVirtual(double startMilliseconds);
    void useReal();
    bool isVirtual() const { return virtual_; }

    std::uint32_t now() const;
    void sleep(std::uint32_t milliseconds);
    void advance(double milliseconds);

  private:
    bool virtual_ = false;
    double virtualMs_ = 0.0;
};

} // namespace platform
