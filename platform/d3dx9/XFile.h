#pragma once
// The text .x format read into plain geometry: every mesh of the file merged, frames' matrices
// applied, materials in order. Every count and index is checked against the file, so a damaged
// file fails cleanly.
#include "d3dx9.h"

#include <cstddef>
#include <string>
#include <vector>

namespace d3dx9 {

struct XVertex {
    D3DXVECTOR3 position{}, normal{};
    D3DCOLOR colour = 0x00FFFFFF;
    float u = 0, v = 0;
};

struct XMaterial {
    D3DMATERIAL9 material{};
    std::string textureName; // exactly as the file has it
    bool hasTexture = false;
};

struct XScene {
    std::vector<XVertex> vertices;
    std::vector<DWORD> indices;    // triangles
    std::vector<DWORD> attributes; // one per triangle: an index into materials
    std::vector<XMaterial> materials;
    bool hasNormals = false, hasColours = false, hasTexCoords = false;
};

// S_OK with the scene, or a failure code and an empty scene.
HRESULT parseXFile(const char* data, std::size_t size, XScene& scene);

} // namespace d3dx9
