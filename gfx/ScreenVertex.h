#pragma once
#include "d3d9.h"

// A pre-transformed, coloured, textured vertex: x, y in target pixels.
struct ScreenVertex {
    float x, y, z, rhw;
    D3DCOLOR color;
    float u, v;

    static constexpr DWORD format = D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_TEX1;
};
static_assert(sizeof(ScreenVertex) == 28);
