// The teapot: Newell's 32 Bezier patches, each tessellated into 6 x 6 quads, copies welded,
// the degenerate triangles at the lid top and bottom centre dropped: 2,256 faces in the
// platform's group order (body, handle, spout, lid).
#include "Mesh.h"
#include "TeapotData.h"

#include <array>
#include <cmath>
#include <cstring>
#include <map>
#include <tuple>
#include <vector>

namespace {

constexpr int steps = 6;
constexpr float size = 2.0f; // body radius 1 (the data's body radius is 0.5)

using Vec = D3DXVECTOR3;

Vec add(Vec a, Vec b) {
    return {a.x + b.x, a.y + b.y, a.z + b.z};
}
Vec sub(Vec a, Vec b) {
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}
Vec scale(Vec a, float s) {
    return {a.x * s, a.y * s, a.z * s};
}
Vec cross(Vec a, Vec b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
float dot(Vec a, Vec b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}

void bernstein(float t, float b[4], float d[4]) {
    const float s = 1 - t;
    b[0] = s * s * s, b[1] = 3 * t * s * s, b[2] = 3 * t * t * s, b[3] = t * t * t;
    d[0] = -3 * s * s, d[1] = 3 * s * s - 6 * t * s, d[2] = 6 * t * s - 3 * t * t, d[3] = 3 * t * t;
}

struct Patch {
    Vec control[4][4];
    // Position and the (unnormalised) cross of its tangents at (u, v).
    void evaluate(float u, float v, Vec& position, Vec& normal) const {
        float bu[4], du[4], bv[4], dv[4];
        bernstein(u, bu, du);
        bernstein(v, bv, dv);
        Vec p{0, 0, 0}, tu{0, 0, 0}, tv{0, 0, 0};
        for (int i = 0; i < 4; ++i)
            for (int j = 0; j < 4; ++j) {
                p = add(p, scale(control[i][j], bu[i] * bv[j]));
                tu = add(tu, scale(control[i][j], du[i] * bv[j]));
                tv = add(tv, scale(control[i][j], bu[i] * dv[j]));
            }
        position = p;
        normal = cross(tu, tv);
    }
};

Patch patchCopy(const d3dx9::teapot::Patch& data, Vec mirror) {
    Patch patch;
    for (int i = 0; i < 16; ++i) {
        const float* p = d3dx9::teapot::points[data.points[i]];
        patch.control[i / 4][i % 4] = {p[0] * mirror.x * size, p[1] * size, p[2] * mirror.z * size};
    }
    return patch;
}

// The tangents vanish along a collapsed edge; a point just inside gives the direction there.
Vec normalAt(const Patch& patch, float u, float v) {
    Vec position, normal;
    patch.evaluate(u, v, position, normal);
    if (dot(normal, normal) < 1e-12f) {
        const float inset = 1e-3f;
        patch.evaluate(u < 0.5f ? inset : 1 - inset,
                       v < 0.5f ? std::fmax(v, inset) : std::fmin(v, 1 - inset), position, normal);
    }
    D3DXVec3Normalize(&normal, &normal);
    return normal;
}

struct Builder {
    std::vector<Vec> positions, normals;
    std::vector<std::array<WORD, 3>> faces;
    std::map<std::tuple<long, long, long>, WORD> welded;

    WORD vertex(Vec p, Vec n) {
        const auto key = std::make_tuple(std::lround(p.x * 1e5f), std::lround(p.y * 1e5f),
                                         std::lround(p.z * 1e5f));
        auto found = welded.find(key);
        if (found != welded.end()) {
            normals[found->second] = add(normals[found->second], n);
            return found->second;
        }
        const auto index = static_cast<WORD>(positions.size());
        positions.push_back(p);
        normals.push_back(n);
        welded.emplace(key, index);
        return index;
    }

    // Wound so that the face's cross product agrees with its corners' outward normals.
    void triangle(WORD a, WORD b, WORD c, Vec na, Vec nb, Vec nc) {
        if (a == b || b == c || a == c) return;
        const Vec n = cross(sub(positions[b], positions[a]), sub(positions[c], positions[a]));
        if (dot(n, add(add(na, nb), nc)) >= 0)
            faces.push_back({a, b, c});
        else
            faces.push_back({a, c, b});
    }

    void tessellate(const Patch& patch, float orientation) {
        WORD index[steps + 1][steps + 1];
        Vec normal[steps + 1][steps + 1];
        for (int i = 0; i <= steps; ++i)
            for (int j = 0; j <= steps; ++j) {
                const float u = static_cast<float>(i) / steps, v = static_cast<float>(j) / steps;
                Vec p, ignored;
                patch.evaluate(u, v, p, ignored);
                normal[i][j] = scale(normalAt(patch, u, v), orientation);
                index[i][j] = vertex(p, normal[i][j]);
            }
        for (int i = 0; i < steps; ++i)
            for (int j = 0; j < steps; ++j) {
                triangle(index[i][j], index[i][j + 1], index[i + 1][j + 1], normal[i][j],
                         normal[i][j + 1], normal[i + 1][j + 1]);
                triangle(index[i + 1][j + 1], index[i + 1][j], index[i][j], normal[i + 1][j + 1],
                         normal[i + 1][j], normal[i][j]);
            }
    }
};

// The data's patches share one orientation; the body's side says which way is out.
float dataOrientation() {
    const Patch body = patchCopy(d3dx9::teapot::patches[1], {1, 1, 1});
    Vec p, n;
    body.evaluate(0.5f, 0.5f, p, n);
    return dot(n, Vec{p.x, 0, p.z}) >= 0 ? 1.0f : -1.0f;
}

} // namespace

HRESULT D3DXCreateTeapot(IDirect3DDevice9* device, ID3DXMesh** mesh, ID3DXBuffer** adjacency) {
    if (mesh) *mesh = nullptr;
    if (adjacency) *adjacency = nullptr;
    if (!device || !mesh) return D3DERR_INVALIDCALL;
    const float orientation = dataOrientation();
    Builder builder;
    // Body (rim, body, bottom), handle, spout, lid.
    for (int p : {0, 1, 2, 9, 5, 6, 7, 8, 3, 4}) {
        const auto& data = d3dx9::teapot::patches[p];
        std::vector<Vec> mirrors{{1, 1, 1}, {-1, 1, 1}};
        if (data.mirrorZ) mirrors.insert(mirrors.end(), {Vec{1, 1, -1}, Vec{-1, 1, -1}});
        for (const Vec& m : mirrors) // a mirror turns the tangents' cross product inside out
            builder.tessellate(patchCopy(data, m), orientation * m.x * m.z);
    }
    for (Vec& n : builder.normals)
        D3DXVec3Normalize(&n, &n);

    d3dx9::Mesh* made = nullptr;
    const HRESULT result = d3dx9::Mesh::create(device, static_cast<DWORD>(builder.faces.size()),
                                               static_cast<DWORD>(builder.positions.size()),
                                               D3DXMESH_MANAGED, D3DFVF_XYZ | D3DFVF_NORMAL, &made);
    if (FAILED(result)) return result;
    void* data = nullptr;
    made->LockVertexBuffer(0, &data);
    auto* out = static_cast<Vec*>(data);
    for (std::size_t i = 0; i < builder.positions.size(); ++i)
        out[2 * i] = builder.positions[i], out[2 * i + 1] = builder.normals[i];
    made->UnlockVertexBuffer();
    made->LockIndexBuffer(0, &data);
    std::memcpy(data, builder.faces.data(), builder.faces.size() * sizeof(builder.faces[0]));
    made->UnlockIndexBuffer();
    *mesh = made;
    return D3D_OK;
}
