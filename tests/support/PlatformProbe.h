#pragma once
#include "d3d9.h"
#include "windows.h"

#include <cstdint>
#include <vector>

// What tests of the show may ask of the stand-ins beyond the platform's own interfaces: the
// device's counters, the virtual clock and the message queue. Only the test support sees the
// stand-ins' inside; the show's tests see this.
namespace test {

// Counters of the last presented frame.
struct DrawCounts {
    std::uint32_t drawCalls = 0;
    std::uint32_t drawsByType[7] = {}; // indexed by D3DPRIMITIVETYPE
    std::uint32_t clears = 0;
    std::uint32_t drawsWithoutCulling = 0;
    std::uint32_t drawsWithoutDepthWrites = 0;
};
DrawCounts lastFrameCounts(IDirect3DDevice9* device);

// A colour surface's pixels as B, G, R, A bytes, top row first.
HRESULT readSurface(IDirect3DDevice9* device, IDirect3DSurface9* surface,
                    std::vector<unsigned char>& bgra);
// Textures, surfaces and buffers alive on every device.
int liveResources();
// Rows of locked textures padded by this many bytes, as some drivers do.
void setLockPitchPadding(UINT bytes);
// Captured frames arrive a present late; this hands over the one on its way.
void flushFrames(IDirect3DDevice9* device);

// The virtual clock tests run on, in milliseconds.
void setClock(double milliseconds);
void advanceClock(double milliseconds);
DWORD clockNow();

// Queues a message as the window system would (keys), or forgets every queued one.
void postMessage(HWND window, UINT message, WPARAM wParam);
void resetMessages();

} // namespace test
