// The stock shapes, laid out vertex for vertex and face for face as the platform's library
// lays them out: position and normal per vertex, 16-bit indices, every attribute id 0.
#include "Mesh.h"

#include <array>
#include <cmath>
#include <cstring>
#include <vector>

namespace {

constexpr float pi = 3.14159265358979f;

struct Vertex {
    D3DXVECTOR3 position, normal;
};
using Face = std::array<WORD, 3>;

HRESULT build(IDirect3DDevice9* device, const std::vector<Vertex>& vertices,
              const std::vector<Face>& faces, ID3DXMesh** mesh) {
    d3dx9::Mesh* made = nullptr;
    const HRESULT result = d3dx9::Mesh::create(device, static_cast<DWORD>(faces.size()),
                                               static_cast<DWORD>(vertices.size()),
                                               D3DXMESH_MANAGED, D3DFVF_XYZ | D3DFVF_NORMAL, &made);
    if (FAILED(result)) return result;
    void* data = nullptr;
    made->LockVertexBuffer(0, &data);
    std::memcpy(data, vertices.data(), vertices.size() * sizeof(Vertex));
    made->UnlockVertexBuffer();
    made->LockIndexBuffer(0, &data);
    std::memcpy(data, faces.data(), faces.size() * sizeof(Face));
    made->UnlockIndexBuffer();
    *mesh = made;
    return D3D_OK;
}

bool badArguments(IDirect3DDevice9* device, ID3DXMesh** mesh, ID3DXBuffer** adjacency) {
    if (mesh) *mesh = nullptr;
    if (adjacency) *adjacency = nullptr; // adjacency is not produced; the demo never asks for it
    return !device || !mesh;
}

WORD w(UINT i) {
    return static_cast<WORD>(i);
}

} // namespace

HRESULT D3DXCreateBox(IDirect3DDevice9* device, float width, float height, float depth,
                      ID3DXMesh** mesh, ID3DXBuffer** adjacency) {
    if (badArguments(device, mesh, adjacency) || width < 0 || height < 0 || depth < 0)
        return D3DERR_INVALIDCALL;
    // Faces -X, +Y, +X, -Y, +Z, -Z, four corners each.
    static const float unit[24][3] = {
        {-1, -1, -1}, {-1, -1, 1},  {-1, 1, 1},   {-1, 1, -1}, {-1, 1, -1}, {-1, 1, 1},
        {1, 1, 1},    {1, 1, -1},   {1, 1, -1},   {1, 1, 1},   {1, -1, 1},  {1, -1, -1},
        {-1, -1, 1},  {-1, -1, -1}, {1, -1, -1},  {1, -1, 1},  {-1, -1, 1}, {1, -1, 1},
        {1, 1, 1},    {-1, 1, 1},   {-1, -1, -1}, {-1, 1, -1}, {1, 1, -1},  {1, -1, -1}};
    static const float normals[6][3] = {{-1, 0, 0}, {0, 1, 0}, {1, 0, 0},
                                        {0, -1, 0}, {0, 0, 1}, {0, 0, -1}};
    std::vector<Vertex> vertices;
    for (int i = 0; i < 24; ++i) {
        const float* n = normals[i / 4];
        vertices.push_back(
            {{unit[i][0] * width / 2, unit[i][1] * height / 2, unit[i][2] * depth / 2},
             {n[0], n[1], n[2]}});
    }
    std::vector<Face> faces;
    for (UINT k = 0; k < 6; ++k) {
        faces.push_back({w(4 * k), w(4 * k + 1), w(4 * k + 2)});
        faces.push_back({w(4 * k + 2), w(4 * k + 3), w(4 * k)});
    }
    return build(device, vertices, faces, mesh);
}

HRESULT D3DXCreateSphere(IDirect3DDevice9* device, float radius, UINT slices, UINT stacks,
                         ID3DXMesh** mesh, ID3DXBuffer** adjacency) {
    if (badArguments(device, mesh, adjacency) || radius < 0 || slices < 2 || stacks < 2 ||
        2 + slices * (stacks - 1) > 0x10000)
        return D3DERR_INVALIDCALL;
    // Poles on z; ring s at polar angle (s + 1) pi / stacks; slice k at pi/2 - k 2pi / slices.
    std::vector<Vertex> vertices{{{0, 0, radius}, {0, 0, 1}}};
    for (UINT s = 0; s + 1 < stacks; ++s) {
        const float theta = static_cast<float>(s + 1) * pi / static_cast<float>(stacks);
        for (UINT k = 0; k < slices; ++k) {
            const float phi = pi / 2 - static_cast<float>(k) * 2 * pi / static_cast<float>(slices);
            const D3DXVECTOR3 n{std::sin(theta) * std::cos(phi), std::sin(theta) * std::sin(phi),
                                std::cos(theta)};
            vertices.push_back({{radius * n.x, radius * n.y, radius * n.z}, n});
        }
    }
    vertices.push_back({{0, 0, -radius}, {0, 0, -1}});
    const UINT south = static_cast<UINT>(vertices.size()) - 1;
    auto idx = [slices](UINT s, UINT k) { return w(1 + s * slices + k); };
    std::vector<Face> faces;
    for (UINT k = 1; k <= slices; ++k)
        faces.push_back({0, idx(0, k % slices), idx(0, k - 1)});
    for (UINT s = 1; s + 1 < stacks; ++s)
        for (UINT k = 1; k <= slices; ++k) {
            faces.push_back({idx(s - 1, k - 1), idx(s - 1, k % slices), idx(s, k - 1)});
            faces.push_back({idx(s - 1, k % slices), idx(s, k % slices), idx(s, k - 1)});
        }
    for (UINT k = 1; k <= slices; ++k)
        faces.push_back({idx(stacks - 2, k - 1), idx(stacks - 2, k % slices), w(south)});
    return build(device, vertices, faces, mesh);
}

HRESULT D3DXCreateCylinder(IDirect3DDevice9* device, float radius1, float radius2, float length,
                           UINT slices, UINT stacks, ID3DXMesh** mesh, ID3DXBuffer** adjacency) {
    if (badArguments(device, mesh, adjacency) || radius1 < 0 || radius2 < 0 || length < 0 ||
        slices < 2 || stacks < 1 || 2 + slices * (stacks + 3) > 0x10000)
        return D3DERR_INVALIDCALL;
    // Axis z from -length/2 (radius1) to +length/2 (radius2); caps are separate vertices.
    std::vector<float> cosines, sines;
    for (UINT k = 0; k < slices; ++k) {
        const float theta = pi / 2 - static_cast<float>(k) * 2 * pi / static_cast<float>(slices);
        cosines.push_back(std::cos(theta));
        sines.push_back(std::sin(theta));
    }
    const float bottom = -length / 2;
    // A zero length with different radii would tilt the side normals by an infinite slope.
    const float slope = length > 0 ? (radius1 - radius2) / length : 0.0f;
    std::vector<Vertex> vertices{{{0, 0, bottom}, {0, 0, -1}}};
    for (UINT k = 0; k < slices; ++k)
        vertices.push_back({{radius1 * cosines[k], radius1 * sines[k], bottom}, {0, 0, -1}});
    for (UINT s = 1; s <= stacks + 1; ++s) {
        const float r =
            radius1 - static_cast<float>(s - 1) * (radius1 - radius2) / static_cast<float>(stacks);
        const float z = bottom + static_cast<float>(s - 1) * length / static_cast<float>(stacks);
        for (UINT k = 0; k < slices; ++k) {
            D3DXVECTOR3 n{cosines[k], sines[k], slope};
            D3DXVec3Normalize(&n, &n);
            vertices.push_back({{r * cosines[k], r * sines[k], z}, n});
        }
    }
    for (UINT k = 0; k < slices; ++k)
        vertices.push_back({{radius2 * cosines[k], radius2 * sines[k], -bottom}, {0, 0, 1}});
    vertices.push_back({{0, 0, -bottom}, {0, 0, 1}});
    const UINT top = static_cast<UINT>(vertices.size()) - 1;
    auto v = [slices](UINT s, UINT k) { return w(s * slices + k + 1); };
    std::vector<Face> faces;
    for (UINT k = 1; k <= slices; ++k)
        faces.push_back({0, v(0, k - 1), v(0, k % slices)});
    for (UINT s = 2; s <= stacks + 1; ++s)
        for (UINT k = 1; k <= slices; ++k) {
            faces.push_back({v(s - 1, k - 1), v(s, k - 1), v(s - 1, k % slices)});
            faces.push_back({v(s - 1, k % slices), v(s, k - 1), v(s, k % slices)});
        }
    for (UINT k = 1; k <= slices; ++k)
        faces.push_back({v(stacks + 2, k - 1), w(top), v(stacks + 2, k % slices)});
    return build(device, vertices, faces, mesh);
}

HRESULT D3DXCreateTorus(IDirect3DDevice9* device, float innerRadius, float outerRadius, UINT sides,
                        UINT rings, ID3DXMesh** mesh, ID3DXBuffer** adjacency) {
    if (badArguments(device, mesh, adjacency) || innerRadius < 0 || outerRadius < 0 || sides < 3 ||
        rings < 3 || sides * rings > 0x10000)
        return D3DERR_INVALIDCALL;
    // innerRadius is the tube's radius, outerRadius the distance to the tube's centre line.
    std::vector<Vertex> vertices;
    for (UINT i = 0; i < rings; ++i) {
        const float theta = -static_cast<float>(i) * 2 * pi / static_cast<float>(rings);
        for (UINT j = 0; j < sides; ++j) {
            const float phi = static_cast<float>(j) * 2 * pi / static_cast<float>(sides);
            const float r = outerRadius + innerRadius * std::cos(phi);
            vertices.push_back(
                {{r * std::cos(theta), r * std::sin(theta), innerRadius * std::sin(phi)},
                 {std::cos(phi) * std::cos(theta), std::cos(phi) * std::sin(theta),
                  std::sin(phi)}});
        }
    }
    const UINT count = sides * rings;
    std::vector<Face> faces;
    for (UINT k = 0; k < count; ++k) {
        const UINT next = (k / sides) * sides + (k % sides + 1) % sides;
        const UINT across = (k + sides) % count, nextAcross = (next + sides) % count;
        faces.push_back({w(k), w(next), w(across)});
        faces.push_back({w(across), w(next), w(nextAcross)});
    }
    return build(device, vertices, faces, mesh);
}
