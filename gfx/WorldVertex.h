#pragma once
#include "d3d9.h"

// An untransformed, coloured, textured vertex in world space.
struct WorldVertex {
    float x, y, z;
    D3DCOLOR color;
    float u, v;

    static constexpr DWORD format = D3DFVF_XYZ | D3DFVF_DIFFUSE | D3DFVF_TEX1;
};
static_assert(sizeof(WorldVertex) == 24);
