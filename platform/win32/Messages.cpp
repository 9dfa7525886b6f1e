#include "Win32Internal.h"
#include "WindowTable.h"
#include "core/Clock.h"

#include <SDL2/SDL.h>
#include <array>
#include <atomic>
#include <csignal>
#include <deque>
#include <unistd.h>

namespace platform {
namespace {

struct Queue {
    std::deque<MSG> messages;
    // The thread's key state as of the last key message taken from the queue, as Windows keeps it.
    std::array<bool, 256> down{};
    std::array<bool, 256> toggled{};
};

Queue& queue() {
    static Queue* q = new Queue; // outlives the demo's globals, like the windows
    return *q;
}

int virtualKeyOf(SDL_Keycode key) {
    if (key >= SDLK_a && key <= SDLK_z) return 'A' + (key - SDLK_a);
    if (key >= SDLK_0 && key <= SDLK_9) return '0' + (key - SDLK_0);
    if (key >= SDLK_F1 && key <= SDLK_F12) return 0x70 + (key - SDLK_F1);
    switch (key) {
    case SDLK_ESCAPE:
        return VK_ESCAPE;
    case SDLK_RETURN:
        return 0x0D;
    case SDLK_SPACE:
        return 0x20;
    case SDLK_TAB:
        return 0x09;
    case SDLK_BACKSPACE:
        return 0x08;
    case SDLK_LEFT:
        return 0x25;
    case SDLK_UP:
        return 0x26;
    case SDLK_RIGHT:
        return 0x27;
    case SDLK_DOWN:
        return 0x28;
    default:
        return 0;
    }
}

void post(HWND window, UINT message, WPARAM wParam) {
    MSG msg{};
    msg.hwnd = window;
    msg.message = message;
    msg.wParam = wParam;
    msg.time = Clock::instance().now();
    queue().messages.push_back(msg);
}

volatile std::sig_atomic_t interrupted = 0;
volatile std::sig_atomic_t modal = 0;

void onInterrupt(int signal) {
    if (modal) _exit(128 + signal);
    interrupted = 1;
}

void translate(const SDL_Event& event) {
    switch (event.type) {
    case SDL_WINDOWEVENT:
        if (event.window.event == SDL_WINDOWEVENT_CLOSE)
            if (HWND window = windowForSdlId(event.window.windowID)) post(window, WM_CLOSE, 0);
        break;
    case SDL_KEYDOWN:
    case SDL_KEYUP:
        if (int vk = virtualKeyOf(event.key.keysym.sym)) {
            HWND window = windowForSdlId(event.key.windowID);
            post(window ? window : firstLiveWindow(),
                 event.type == SDL_KEYDOWN ? WM_KEYDOWN : WM_KEYUP, static_cast<WPARAM>(vk));
        }
        break;
    default:
        break;
    }
}

void pump() {
    if (interrupted) {
        interrupted = 0;
        closeAllWindows();
    }
    if (!SDL_WasInit(SDL_INIT_EVENTS)) return;
    SDL_Event event;
    while (SDL_PollEvent(&event))
        translate(event);
}

bool matches(const MSG& msg, HWND window, UINT filterMin, UINT filterMax) {
    if (window && msg.hwnd != window && msg.message != WM_QUIT) return false;
    if (filterMin == 0 && filterMax == 0) return true;
    return msg.message >= filterMin && msg.message <= filterMax;
}

void noteKey(const MSG& msg) {
    Queue& q = queue();
    const auto vk = static_cast<std::size_t>(msg.wParam & 0xFF);
    if (msg.message == WM_KEYDOWN) {
        if (!q.down[vk]) q.toggled[vk] = !q.toggled[vk];
        q.down[vk] = true;
    } else if (msg.message == WM_KEYUP) {
        q.down[vk] = false;
    }
}

bool take(LPMSG out, HWND window, UINT filterMin, UINT filterMax, bool remove) {
    auto& messages = queue().messages;
    for (auto it = messages.begin(); it != messages.end(); ++it) {
        if (!matches(*it, window, filterMin, filterMax)) continue;
        if (out) *out = *it;
        if (remove) {
            noteKey(*it);
            messages.erase(it);
        }
        return true;
    }
    return false;
}

} // namespace

void installInterruptHandlers() {
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    struct sigaction action {};
    action.sa_handler = onInterrupt;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

void setModal(bool isModal) {
    modal = isModal ? 1 : 0;
}

void closeAllWindows() {
    if (HWND window = firstLiveWindow())
        post(window, WM_CLOSE, 0); // the demo has one window; its procedure ends the show
}

void postMessage(HWND window, UINT message, WPARAM wParam) {
    post(window, message, wParam);
}

void resetMessages() {
    queue() = Queue{};
}

} // namespace platform

void PostQuitMessage(int exitCode) {
    platform::post(nullptr, WM_QUIT, static_cast<WPARAM>(exitCode));
}

BOOL PeekMessageA(LPMSG msg, HWND window, UINT filterMin, UINT filterMax, UINT removeFlags) {
    platform::pump();
    return platform::take(msg, window, filterMin, filterMax, (removeFlags & PM_REMOVE) != 0)
               ? TRUE
               : FALSE;
}

BOOL GetMessageA(LPMSG msg, HWND window, UINT filterMin, UINT filterMax) {
    for (;;) {
        platform::pump();
        if (platform::take(msg, window, filterMin, filterMax, true))
            return msg && msg->message == WM_QUIT ? FALSE : TRUE;
        if (!SDL_WasInit(SDL_INIT_EVENTS)) return -1; // nothing could ever arrive
        SDL_WaitEventTimeout(nullptr, 10);
    }
}

BOOL TranslateMessage(const MSG* msg) {
    return msg && (msg->message == WM_KEYDOWN || msg->message == WM_KEYUP) ? TRUE : FALSE;
}

LRESULT DispatchMessageA(const MSG* msg) {
    if (!msg) return 0;
    platform::WindowRecord* record = platform::findWindow(msg->hwnd);
    if (!record || record->destroyed) return 0;
    return record->procedure(msg->hwnd, msg->message, msg->wParam, msg->lParam);
}

SHORT GetKeyState(int virtualKey) {
    if (virtualKey < 0 || virtualKey > 255) return 0;
    auto& q = platform::queue();
    const auto vk = static_cast<std::size_t>(virtualKey);
    // Windows sign-extends its state byte: a held key reads 0xFF80, plus 1 while toggled.
    int value = (q.down[vk] ? 0xFF80 : 0) | (q.toggled[vk] ? 1 : 0);
    return static_cast<SHORT>(value);
}
