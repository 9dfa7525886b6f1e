#include "support/PlatformProbe.h"

#include "Device.h"
#include "Texture.h"
#include "Win32Internal.h"
#include "core/Clock.h"

namespace test {

DrawCounts lastFrameCounts(IDirect3DDevice9* device) {
    const d3d9::FrameStats& stats = static_cast<d3d9::Device*>(device)->lastFrameStats();
    DrawCounts counts;
    counts.drawCalls = stats.drawCalls;
    std::copy(std::begin(stats.drawsByType), std::end(stats.drawsByType), counts.drawsByType);
    counts.clears = stats.clears;
    counts.drawsWithoutCulling = stats.drawsWithoutCulling;
    counts.drawsWithoutDepthWrites = stats.drawsWithoutDepthWrites;
    return counts;
}

HRESULT readSurface(IDirect3DDevice9* device, IDirect3DSurface9* surface,
                    std::vector<unsigned char>& bgra) {
    return static_cast<d3d9::Device*>(device)->readSurface(surface, bgra);
}

int liveResources() {
    return d3d9::liveResources();
}

void setLockPitchPadding(UINT bytes) {
    d3d9::setLockPitchPadding(bytes);
}

void flushFrames(IDirect3DDevice9* device) {
    static_cast<d3d9::Device*>(device)->flushFrames();
}

void setClock(double milliseconds) {
    platform::Clock::instance().useVirtual(milliseconds);
}

void advanceClock(double milliseconds) {
    platform::Clock::instance().advance(milliseconds);
}

DWORD clockNow() {
    return platform::Clock::instance().now();
}

void postMessage(HWND window, UINT message, WPARAM wParam) {
    platform::postMessage(window, message, wParam);
}

void resetMessages() {
    platform::resetMessages();
}

} // namespace test
