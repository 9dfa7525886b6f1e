#pragma once
// The windows and classes the windowing stand-in has made, shared by its own sources.
#include "windows.h"

#include <cstdint>
#include <string>

struct SDL_Window;

namespace platform {

struct WindowRecord {
    SDL_Window* sdl = nullptr;
    WNDPROC procedure = nullptr;
    DWORD style = 0;
    bool destroyed = false;
};

WindowRecord* findWindow(HWND window);
HWND windowForSdlId(std::uint32_t sdlId);
HWND firstLiveWindow();

} // namespace platform
