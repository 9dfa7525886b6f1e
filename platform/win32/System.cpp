#include "core/Clock.h"
#include "mmsystem.h"

DWORD timeGetTime() {
    return platform::Clock::instance().now();
}

// Both clocks already resolve milliseconds.
MMRESULT timeBeginPeriod(UINT) {
    return TIMERR_NOERROR;
}
MMRESULT timeEndPeriod(UINT) {
    return TIMERR_NOERROR;
}

void Sleep(DWORD milliseconds) {
    platform::Clock::instance().sleep(milliseconds);
}
