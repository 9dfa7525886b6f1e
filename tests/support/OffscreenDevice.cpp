#include "support/OffscreenDevice.h"
#include "core/RunMode.h"

#include <gtest/gtest.h>

namespace test {
namespace {

// The run's frame sink while a catcher listens.
class CatcherSink final : public platform::FrameSink {
  public:
    bool frame(const unsigned char* rgb, int width, int height) override {
        catcher->last.width = width;
        catcher->last.height = height;
        catcher->last.pixels.assign(rgb, rgb + static_cast<std::size_t>(width) * height * 3);
        ++catcher->frames;
        return true;
    }
    double frameMilliseconds() const override { return catcher->milliseconds; }

    FrameCatcher* catcher = nullptr;
};

CatcherSink sink;

} // namespace

FrameCatcher* catchFrames(FrameCatcher* catcher) {
    FrameCatcher* previous = sink.catcher;
    sink.catcher = catcher;
    platform::runMode().sink = catcher ? &sink : nullptr;
    return previous;
}

HWND createTestWindow(WNDPROC procedure) {
    WNDCLASSEXA windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = procedure ? procedure : DefWindowProcA;
    windowClass.lpszClassName = procedure ? "test-custom" : "test";
    RegisterClassExA(&windowClass); // a second registration fails, and that is fine
    const int width = 800 + 2 * GetSystemMetrics(SM_CXDLGFRAME);
    const int height = 600 + 2 * GetSystemMetrics(SM_CYDLGFRAME) + GetSystemMetrics(SM_CYCAPTION);
    return CreateWindowExA(0, windowClass.lpszClassName, "test", WS_CAPTION | WS_SYSMENU, 0, 0,
                           width, height, nullptr, nullptr, nullptr, nullptr);
}

D3DPRESENT_PARAMETERS demoPresentParameters() {
    D3DPRESENT_PARAMETERS p{};
    p.BackBufferFormat = D3DFMT_X8R8G8B8;
    p.SwapEffect = D3DSWAPEFFECT_DISCARD;
    p.Windowed = TRUE;
    p.EnableAutoDepthStencil = TRUE;
    p.AutoDepthStencilFormat = D3DFMT_D24S8;
    p.PresentationInterval = D3DPRESENT_INTERVAL_IMMEDIATE;
    return p;
}

OffscreenDevice::OffscreenDevice(int scale) {
    auto& mode = platform::runMode();
    previousCatcher_ = catchFrames(&catcher_);
    window_ = createTestWindow();
    direct3d_ = Direct3DCreate9(D3D_SDK_VERSION);
    D3DPRESENT_PARAMETERS p = demoPresentParameters();
    const int width = mode.frameWidth, height = mode.frameHeight;
    if (scale != 1) mode.frameWidth = 800 * scale, mode.frameHeight = 600 * scale;
    if (!window_ || !direct3d_ ||
        FAILED(direct3d_->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, window_,
                                       D3DCREATE_HARDWARE_VERTEXPROCESSING, &p, &device_)))
        ADD_FAILURE() << "no offscreen Direct3D device";
    mode.frameWidth = width, mode.frameHeight = height; // the device keeps its scale
}

OffscreenDevice::~OffscreenDevice() {
    if (device_) device_->Release();
    if (direct3d_) direct3d_->Release();
    if (window_) DestroyWindow(window_);
    catchFrames(previousCatcher_);
}

const Image& OffscreenDevice::present() {
    device_->Present(nullptr, nullptr, nullptr, nullptr);
    flushFrames(device_);
    return catcher_.last;
}

} // namespace test
