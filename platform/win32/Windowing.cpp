#include "Win32Internal.h"
#include "WindowTable.h"
#include "core/RunMode.h"

#include <SDL2/SDL.h>
#ifndef __EMSCRIPTEN__
#include <X11/Xlib.h>
#endif
#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <string>

namespace platform {
namespace {

// Frame sizes of a dialog-framed captioned window; the client area is what SDL is given.
constexpr int dialogFrame = 3;
constexpr int captionHeight = 23;

struct Windowing {
    std::map<std::string, WNDCLASSEXA> classes;
    std::map<HWND, std::unique_ptr<WindowRecord>> windows;
    bool videoTried = false;
    bool videoReady = false;
    std::string videoError;
    int cursorCount = 0;
};

// Never destroyed: the demo's globals release their windows and devices after main returns.
Windowing& state() {
    static Windowing* w = new Windowing;
    return *w;
}

#ifndef __EMSCRIPTEN__
// The X server went away under the window: nothing more can be shown or asked, so the show ends
// with a line that says so, instead of Xlib's own.
int displayLost(Display*) {
    std::fprintf(stderr, "lumiflux: lost the display (the X server closed the connection)\n");
    std::_Exit(1);
}
#endif

HWND handleOf(const WindowRecord* record) {
    return reinterpret_cast<HWND>(const_cast<WindowRecord*>(record));
}

} // namespace

bool ensureVideo() {
    Windowing& w = state();
    if (w.videoTried) return w.videoReady;
    w.videoTried = true;
#ifndef __EMSCRIPTEN__ // a browser page draws into its canvas whatever it does
    if (runMode().capture) setenv("SDL_VIDEODRIVER", "offscreen", 1);
#endif
    SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
    if (SDL_InitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS) != 0) {
        w.videoError = SDL_GetError();
        return false;
    }
    // SDL falls back to its offscreen driver when nothing else opens; playing needs a screen.
    const std::string driver = SDL_GetCurrentVideoDriver();
    if (!runMode().capture && (driver == "offscreen" || driver == "dummy")) {
        SDL_QuitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS);
        w.videoError = "no X11 or Wayland display could be opened";
        return false;
    }
#ifndef __EMSCRIPTEN__
    if (driver == "x11") XSetIOErrorHandler(displayLost);
#endif
    w.videoReady = true;
    return true;
}

const char* videoError() {
    return state().videoError.c_str();
}

WindowRecord* findWindow(HWND window) {
    auto& windows = state().windows;
    auto it = windows.find(window);
    return it == windows.end() ? nullptr : it->second.get();
}

HWND windowForSdlId(std::uint32_t sdlId) {
    for (auto& [handle, record] : state().windows)
        if (!record->destroyed && record->sdl && SDL_GetWindowID(record->sdl) == sdlId)
            return handle;
    return nullptr;
}

HWND firstLiveWindow() {
    for (auto& [handle, record] : state().windows)
        if (!record->destroyed) return handle;
    return nullptr;
}

SDL_Window* sdlWindowOf(HWND window) {
    WindowRecord* record = findWindow(window);
    return record && !record->destroyed ? record->sdl : nullptr;
}

DWORD windowStyleOf(HWND window) {
    WindowRecord* record = findWindow(window);
    return record ? record->style : 0;
}

void resetWindowing() {
    Windowing& w = state();
    for (auto& [handle, record] : w.windows)
        if (record->sdl) SDL_DestroyWindow(record->sdl);
    w.windows.clear();
    w.classes.clear();
}

} // namespace platform

using platform::findWindow;
using platform::state;

ATOM RegisterClassExA(const WNDCLASSEXA* windowClass) {
    if (!windowClass || windowClass->cbSize != sizeof(WNDCLASSEXA) || !windowClass->lpszClassName ||
        !windowClass->lpfnWndProc)
        return 0;
    auto& classes = state().classes;
    if (classes.count(windowClass->lpszClassName))
        return 0; // already registered, as the platform reports it
    classes[windowClass->lpszClassName] = *windowClass;
    return static_cast<ATOM>(classes.size());
}

HWND CreateWindowExA(DWORD, LPCSTR className, LPCSTR windowName, DWORD style, int x, int y,
                     int width, int height, HWND, HMENU, HINSTANCE, LPVOID) {
    auto& classes = state().classes;
    auto found = className ? classes.find(className) : classes.end();
    if (found == classes.end() || !platform::ensureVideo()) return nullptr;

    int frameX = 0, frameTop = 0, frameBottom = 0;
    if (style & WS_CAPTION) {
        frameX = platform::dialogFrame;
        frameTop = platform::dialogFrame + platform::captionHeight;
        frameBottom = platform::dialogFrame;
    }
    const int clientWidth = width - 2 * frameX;
    const int clientHeight = height - frameTop - frameBottom;
    if (clientWidth <= 0 || clientHeight <= 0) return nullptr;

#ifdef __EMSCRIPTEN__
    constexpr Uint32 pixels = SDL_WINDOW_ALLOW_HIGHDPI; // the canvas at the display's own pixels
#else
    constexpr Uint32 pixels = 0;
#endif
    SDL_Window* sdl =
        SDL_CreateWindow(windowName ? windowName : "", x + frameX, y + frameTop, clientWidth,
                         clientHeight, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN | pixels);
    if (!sdl) return nullptr;
    auto record = std::make_unique<platform::WindowRecord>();
    record->sdl = sdl;
    record->procedure = found->second.lpfnWndProc;
    record->style = style;
    HWND handle = platform::handleOf(record.get());
    state().windows[handle] = std::move(record);
    return handle;
}

BOOL ShowWindow(HWND window, int) {
    platform::WindowRecord* record = findWindow(window);
    if (!record || record->destroyed) return FALSE;
    SDL_ShowWindow(record->sdl);
    return TRUE;
}

BOOL UpdateWindow(HWND window) {
    return findWindow(window) ? TRUE : FALSE;
}

BOOL DestroyWindow(HWND window) {
    platform::WindowRecord* record = findWindow(window);
    if (!record || record->destroyed) return FALSE;
    record->destroyed = true;
    record->procedure(window, WM_DESTROY, 0, 0);
    // The SDL window stays (hidden) until exit: a GL context may still be made on it.
    SDL_HideWindow(record->sdl);
    return TRUE;
}

LRESULT DefWindowProcA(HWND window, UINT message, WPARAM, LPARAM) {
    if (message == WM_CLOSE) DestroyWindow(window);
    return 0;
}

int GetSystemMetrics(int index) {
    switch (index) {
    case SM_CXDLGFRAME:
    case SM_CYDLGFRAME:
        return platform::dialogFrame;
    case SM_CYCAPTION:
        return platform::captionHeight;
    case SM_CXSCREEN:
    case SM_CYSCREEN: {
        SDL_DisplayMode mode;
        if (!platform::ensureVideo() || SDL_GetDesktopDisplayMode(0, &mode) != 0) return 0;
        return index == SM_CXSCREEN ? mode.w : mode.h;
    }
    default:
        return 0;
    }
}

LONG SetWindowLongA(HWND window, int index, LONG newLong) {
    platform::WindowRecord* record = findWindow(window);
    if (!record || index != GWL_STYLE) return 0;
    const LONG previous = static_cast<LONG>(record->style);
    record->style = static_cast<DWORD>(newLong);
    return previous;
}

BOOL SetWindowPos(HWND window, HWND, int x, int y, int cx, int cy, UINT flags) {
    platform::WindowRecord* record = findWindow(window);
    if (!record || record->destroyed) return FALSE;
    // A pop-up window is the full-screen picture; the device stand-in sizes it with the display.
    if (record->style & WS_POPUP) return TRUE;
    if (!(flags & SWP_NOMOVE)) SDL_SetWindowPosition(record->sdl, x, y);
    if (cx > 0 && cy > 0) SDL_SetWindowSize(record->sdl, cx, cy);
    return TRUE;
}

BOOL SetWindowTextA(HWND window, LPCSTR text) {
    platform::WindowRecord* record = findWindow(window);
    if (!record || record->destroyed) return FALSE;
    SDL_SetWindowTitle(record->sdl, text ? text : "");
    return TRUE;
}

int ShowCursor(BOOL show) {
    auto& w = state();
    w.cursorCount += show ? 1 : -1;
    if (w.videoReady) SDL_ShowCursor(w.cursorCount >= 0 ? SDL_ENABLE : SDL_DISABLE);
    return w.cursorCount;
}

HGDIOBJ GetStockObject(int object) {
    // Only a handle is needed: the black background is what every window shows anyway.
    static int stockObjects[32];
    return object >= 0 && object < 32 ? &stockObjects[object] : nullptr;
}
