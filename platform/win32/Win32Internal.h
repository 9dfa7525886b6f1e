#pragma once
// What the other stand-ins need from the windowing one; not part of the Win32 subset.
#include "windows.h"

struct SDL_Window;

namespace platform {

// Starts SDL's video (offscreen while capturing) once; false when there is no display.
bool ensureVideo();
const char* videoError();

SDL_Window* sdlWindowOf(HWND window);
DWORD windowStyleOf(HWND window);

// Puts WM_CLOSE on the queue for the demo's window, as if the user had closed it.
void closeAllWindows();

// Ctrl-C and SIGTERM close the window like a user would, so the show ends cleanly; while a
// message box waits for an answer they end the process at once.
void installInterruptHandlers();
void setModal(bool modal);

// For tests: forget every window, or every queued message and key state.
void resetWindowing();
void resetMessages();

// Queues a message as the window system would (tests use it for keys).
void postMessage(HWND window, UINT message, WPARAM wParam);

} // namespace platform
