#pragma once
#include "d3d9.h"
#include "support/Image.h"
#include "support/PlatformProbe.h"

namespace test {

// Keeps the last presented frame while it catches the run's frames.
struct FrameCatcher {
    Image last;
    int frames = 0;
    double milliseconds = 0.0; // a frame's time on the clock: tests move the clock themselves
};
// Presented frames go to this catcher from now on (none: nowhere); the one that caught before.
FrameCatcher* catchFrames(FrameCatcher* catcher);

// A real device on an offscreen window of 800 x 600, presenting into a FrameCatcher; with a
// scale, its frames are that many times larger, as a capture with --size draws them.
class OffscreenDevice {
  public:
    explicit OffscreenDevice(int scale = 1);
    ~OffscreenDevice();
    OffscreenDevice(const OffscreenDevice&) = delete;
    OffscreenDevice& operator=(const OffscreenDevice&) = delete;

    IDirect3DDevice9* device() const { return device_; }
    FrameCatcher& catcher() { return catcher_; }
    HWND window() const { return window_; }
    // Presents and returns the frame.
    const Image& present();

  private:
    HWND window_ = nullptr;
    IDirect3D9* direct3d_ = nullptr;
    IDirect3DDevice9* device_ = nullptr;
    FrameCatcher catcher_;
    FrameCatcher* previousCatcher_ = nullptr;
};

// A window of the demo's style whose client area is 800 x 600.
HWND createTestWindow(WNDPROC procedure = nullptr);
D3DPRESENT_PARAMETERS demoPresentParameters();

} // namespace test
