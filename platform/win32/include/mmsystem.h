#pragma once
// The multimedia timer of the original platform.
#include "windows.h"

using MMRESULT = UINT;
constexpr MMRESULT TIMERR_NOERROR = 0;

DWORD timeGetTime();
MMRESULT timeBeginPeriod(UINT period);
MMRESULT timeEndPeriod(UINT period);
