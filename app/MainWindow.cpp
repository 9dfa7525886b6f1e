#include "app/MainWindow.h"

namespace {
int quitFlag = 0; // any window made with this procedure raises the same flag
}

LRESULT CALLBACK windowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_DESTROY:
        PostQuitMessage(0);
        quitFlag = 1;
        return 0;
    case WM_CLOSE:
        DestroyWindow(window);
        return 0;
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

HWND MainWindow::create(int x, int y, int width_, int height_, HINSTANCE instance_,
                        const char* className, const char* title, WNDPROC procedure) {
    WNDCLASSEXA windowClass{};
    windowClass.cbSize = sizeof(WNDCLASSEXA);
    windowClass.style = 0;
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = instance_;
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    windowClass.lpszClassName = className;
    if (!RegisterClassExA(&windowClass)) return nullptr;
    HWND created = CreateWindowExA(0, className, title, WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, x,
                                   y, width_, height_, nullptr, nullptr, instance_, nullptr);
    if (!created) return nullptr;
    width = width_;
    height = height_;
    instance = instance_;
    window = created;
    ShowWindow(window, SW_SHOW);
    UpdateWindow(window);
    return window;
}

int MainWindow::isQuitRequested() {
    return quitFlag;
}

int MainWindow::runMessageLoop() {
    if (!window) return 1;
    MSG msg;
    for (;;) {
        if (!PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE)) continue;
        if (GetMessageA(&msg, nullptr, 0, 0) <= 0) return 0;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

HWND MainWindow::getHandle() {
    return window;
}
