#pragma once
#include "windows.h"

// The demo's one window. It is never destroyed by the program; the process end takes it.
class MainWindow {
  public:
    virtual HWND create(int x, int y, int width_, int height_, HINSTANCE instance_,
                        const char* className, const char* title, WNDPROC procedure);
    virtual int isQuitRequested();
    virtual int runMessageLoop();
    virtual HWND getHandle();
    virtual ~MainWindow() = default;

  private:
    int width = 0;
    int height = 0;
    HINSTANCE instance = nullptr;
    HWND window = nullptr;
};

// Ends the show: WM_CLOSE destroys the window, WM_DESTROY raises the quit flag.
LRESULT CALLBACK windowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
