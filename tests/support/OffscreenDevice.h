#pragma once
#include "core/RunMode.h"
#include "d3d9.h"
#include "support/Image.h"

namespace test {

// Keeps the last presented frame.
class FrameCatcher final : public platform::FrameSink {
  public:
    bool frame(const unsigned char* rgb, int width, int height) override;
    double frameMilliseconds() const override { return milliseconds; }
    double milliseconds = 0.0; // tests move the clock themselves
    Image last;
    int frames = 0;
};

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
    platform::FrameSink* previousSink_ = nullptr;
};

// A window of the demo's style whose client area is 800 x 600.
HWND createTestWindow(WNDPROC procedure = nullptr);
D3DPRESENT_PARAMETERS demoPresentParameters();
// Captured frames arrive a present late; this hands over the one on its way.
void flushFrames();

} // namespace test
