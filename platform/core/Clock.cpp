#include "core/Clock.h"

#include <SDL2/SDL.h>
#include <cmath>

namespace platform {

Clock& Clock::instance() {
    static Clock clock;
    return clock;
}

void Clock::useVirtual(double startMilliseconds) {
    virtual_ = true;
    virtualMs_ = startMilliseconds;
}

void Clock::useReal() {
    virtual_ = false;
}

std::uint32_t Clock::now() const {
    if (virtual_)
        return static_cast<std::uint32_t>(static_cast<std::uint64_t>(std::floor(virtualMs_)));
    return static_cast<std::uint32_t>(SDL_GetTicks64());
}

void Clock::sleep(std::uint32_t milliseconds) {
    if (virtual_)
        virtualMs_ += milliseconds;
    else
        SDL_Delay(milliseconds);
}

void Clock::advance(double milliseconds) {
    if (virtual_) virtualMs_ += milliseconds;
}

} // namespace platform
