#include "app/MainLoop.h"

#include "app/Application.h"
#include "app/MainWindow.h"
#include "mmsystem.h"

#include <algorithm>

namespace {

// Steps due now; moves last on by what they consume. A clock far from where the loop began, or
// one that stepped back, never makes the loop sleep longer than a step.
int dueSteps(DWORD& last) {
    const DWORD now = timeGetTime();
    const int elapsed = std::max(0, static_cast<int>(static_cast<std::int32_t>(now - last)));
    int steps = elapsed / stepMilliseconds;
    if (steps <= 0) {
        Sleep(static_cast<DWORD>(std::clamp(stepMilliseconds - elapsed, 0, stepMilliseconds)));
        last = timeGetTime();
        steps = 1;
    } else if (steps > maxStepsPerFrame) {
        steps = maxStepsPerFrame;
        last = now; // the backlog beyond five steps is dropped
    } else {
        last += static_cast<DWORD>(stepMilliseconds * steps);
    }
    return steps;
}

} // namespace

void runMainLoop(Application& application, MainWindow& window) {
    int running = 1;
    timeBeginPeriod(1);
    // As if the loop had waited five steps: the first frame runs five (ignored) updates.
    DWORD last = timeGetTime() - static_cast<DWORD>(stepMilliseconds * 6);
    while (!window.isQuitRequested() && running) {
        MSG msg;
        if (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        } else {
            const int steps = dueSteps(last);
            for (int i = 0; i < steps && running; ++i)
                if (application.update() != 0) running = 0;
            if (running) application.draw();
        }
        if (GetKeyState(VK_ESCAPE) < 0) // the high bit: held
            running = 0;
    }
    timeEndPeriod(1);
}
