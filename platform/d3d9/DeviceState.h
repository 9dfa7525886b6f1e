#pragma once
// Direct3D 9 state mirrored in Direct3D's own units. Setters compare, store and mark a dirty
// group; nothing here touches OpenGL.
#include "d3d9.h"

#include <array>
#include <cstdint>
#include <cstring>
#include <map>

namespace d3d9 {

enum Dirty : std::uint32_t {
    DirtyOutput = 1u << 0,  // blend, depth, cull, write masks
    DirtyProgram = 1u << 1, // anything that selects the fixed-function program
    DirtyViewport = 1u << 2,
    DirtyTransforms = 1u << 3,
    DirtyTextures = 1u << 4,
    DirtySamplers = 1u << 5,
    DirtyTarget = 1u << 6,    // render target or depth-stencil surface
    DirtyConstants = 1u << 7, // lights, material, ambient, point size: uniforms only
    DirtyStream = 1u << 8,    // vertex buffer, offset, stride or index buffer
    DirtyAll = 0xFFFFFFFFu,
};

constexpr int renderStateCount = 256;
constexpr int samplerCount = 16;
constexpr int samplerStateCount = 14;
constexpr int stageCount = 8;
constexpr int stageStateCount = 33;

struct DeviceState {
    std::array<DWORD, renderStateCount> renderStates{};
    std::array<std::array<DWORD, samplerStateCount>, samplerCount> samplerStates{};
    std::array<std::array<DWORD, stageStateCount>, stageCount> stageStates{};
    D3DMATRIX world{}, view{}, projection{};
    DWORD fvf = 0;
    std::array<IDirect3DBaseTexture9*, stageCount> textures{};
    D3DVIEWPORT9 viewport{};

    struct LightSlot {
        D3DLIGHT9 light;
        bool enabled;
    };
    std::map<DWORD, LightSlot> lights; // by index; the first 8 enabled ones light
    D3DMATERIAL9 material{};
    IDirect3DVertexBuffer9* stream = nullptr;
    UINT streamOffset = 0, streamStride = 0;
    IDirect3DIndexBuffer9* indices = nullptr;
    std::uint32_t dirty = DirtyAll;

    // Direct3D 9's state after CreateDevice and after Reset.
    void setDefaults(bool autoDepthStencil, DWORD targetWidth, DWORD targetHeight);
};

D3DMATRIX identityMatrix();
D3DLIGHT9 defaultLight();
std::uint32_t dirtyGroupOfRenderState(D3DRENDERSTATETYPE state);

inline DWORD floatBits(float value) {
    DWORD bits;
    static_assert(sizeof bits == sizeof value);
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

} // namespace d3d9
