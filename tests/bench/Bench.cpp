// Prints the device stand-in's figures: the cost of the draws the scenes make most, and the
// whole program's start-up and capture speed. Figures, not pass or fail.
#include "core/Clock.h"
#include "core/RunMode.h"
#include "demo/ColorRect.h"
#include "support/OffscreenDevice.h"
#include "support/Process.h"

#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>

namespace {

using Clock = std::chrono::steady_clock;

double millisecondsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// Small quads by the thousand, as the cube fields and particle drawers will issue them.
void drawQuads(test::OffscreenDevice& offscreen, int quads, int frames) {
    IDirect3DDevice9* d = offscreen.device();
    ColorRect rect;
    rect.init(d);
    const auto start = Clock::now();
    for (int f = 0; f < frames; ++f) {
        d->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 1.0f, 0);
        for (int i = 0; i < quads; ++i) {
            rect.setColor(i & 255, (i * 7) & 255, 128);
            rect.drawRect(static_cast<float>(i % 780), static_cast<float>((i / 780) * 8 % 590), 0,
                          12, 8);
        }
        offscreen.present();
    }
    const double ms = millisecondsSince(start) / frames;
    std::printf("%6d quads a frame: %8.2f ms a frame, %6.2f us a draw\n", quads, ms,
                1000.0 * ms / quads);
}

void fullScreenPasses(test::OffscreenDevice& offscreen, int passes, int frames) {
    IDirect3DDevice9* d = offscreen.device();
    ColorRect rect;
    rect.init(d);
    d->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    d->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_ONE);
    d->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_ONE);
    const auto start = Clock::now();
    for (int f = 0; f < frames; ++f) {
        for (int i = 0; i < passes; ++i)
            rect.drawRect(0, 0, 0, 800, 600);
        offscreen.present();
    }
    d->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
    std::printf("%6d blended full-screen passes: %8.2f ms a frame\n", passes,
                millisecondsSince(start) / frames);
}

long peakResidentKilobytes(const std::string& statusText) {
    const auto at = statusText.find("VmHWM:");
    return at == std::string::npos ? -1 : std::atol(statusText.c_str() + at + 6);
}

void captureProgram() {
    const std::string work = test::makeTempFolder();
    const auto start = Clock::now();
    const auto first = test::runProcess({LUMIFLUX_EXE, "--capture", "f/", "--frames", "0-0"},
                                        work, {"DISPLAY=", "WAYLAND_DISPLAY="}, 120);
    std::printf("start-up to the first captured frame: %8.1f ms (exit %d)\n",
                millisecondsSince(start), first.exitCode);
    const int frames = 600;
    const auto begin = Clock::now();
    test::runProcess({LUMIFLUX_EXE, "--capture", "g/", "--frames", "0-599"}, work,
                     {"DISPLAY=", "WAYLAND_DISPLAY="}, 600);
    std::printf("capture of ten seconds of the show: %8.1f frames a second\n",
                frames * 1000.0 / millisecondsSince(begin));
}

} // namespace

int main() {
    platform::runMode().capture = true;
    platform::Clock::instance().useVirtual(0.0);
    {
        test::OffscreenDevice offscreen;
        if (!offscreen.device())
            return 1;
        drawQuads(offscreen, 100, 20);
        drawQuads(offscreen, 3375, 5);
        fullScreenPasses(offscreen, 13, 10);
    }
    captureProgram();
    std::printf("peak memory of this process: %ld KiB\n",
                peakResidentKilobytes(test::readFile("/proc/self/status")));
    return 0;
}
