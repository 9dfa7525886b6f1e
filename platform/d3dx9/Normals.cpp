#include "Mesh.h"

#include <cmath>
#include <vector>

namespace {

D3DXVECTOR3 sub(const D3DXVECTOR3& a, const D3DXVECTOR3& b) {
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}

float dot(const D3DXVECTOR3& a, const D3DXVECTOR3& b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}

// The interior angle between two edges; a zero-length edge weighs nothing.
float angleBetween(D3DXVECTOR3 a, D3DXVECTOR3 b) {
    D3DXVec3Normalize(&a, &a);
    D3DXVec3Normalize(&b, &b);
    if (dot(a, a) == 0 || dot(b, b) == 0) return 0;
    return std::acos(std::fmax(-1.0f, std::fmin(1.0f, dot(a, b))));
}

} // namespace

// Smooth normals weighted by each corner's angle; without adjacency a vertex averages only the
// faces that name it.
HRESULT D3DXComputeNormals(ID3DXMesh* mesh, const DWORD*) {
    if (!mesh) return D3DERR_INVALIDCALL;
    const DWORD fvf = mesh->GetFVF();
    const int normal = d3dx9::normalOffset(fvf);
    if (normal < 0 || (fvf & D3DFVF_POSITION_MASK) != D3DFVF_XYZ) return D3DERR_INVALIDCALL;
    const DWORD stride = mesh->GetNumBytesPerVertex(), vertices = mesh->GetNumVertices();
    void *vertexData = nullptr, *indexData = nullptr;
    if (FAILED(mesh->LockVertexBuffer(0, &vertexData))) return D3DERR_INVALIDCALL;
    if (FAILED(mesh->LockIndexBuffer(D3DLOCK_READONLY, &indexData))) {
        mesh->UnlockVertexBuffer();
        return D3DERR_INVALIDCALL;
    }
    auto* bytes = static_cast<unsigned char*>(vertexData);
    auto position = [&](DWORD v) {
        return *reinterpret_cast<const D3DXVECTOR3*>(bytes + v * stride);
    };
    const bool wide = (mesh->GetOptions() & D3DXMESH_32BIT) != 0;
    std::vector<D3DXVECTOR3> sums(vertices, D3DXVECTOR3{0, 0, 0});
    for (DWORD f = 0; f < mesh->GetNumFaces(); ++f) {
        DWORD corner[3];
        for (int c = 0; c < 3; ++c)
            corner[c] = d3dx9::Mesh::indexAt(indexData, wide, 3 * f + c);
        if (corner[0] >= vertices || corner[1] >= vertices || corner[2] >= vertices) continue;
        const D3DXVECTOR3 p[3] = {position(corner[0]), position(corner[1]), position(corner[2])};
        const D3DXVECTOR3 e1 = sub(p[1], p[0]), e2 = sub(p[2], p[0]);
        D3DXVECTOR3 n{e1.y * e2.z - e1.z * e2.y, e1.z * e2.x - e1.x * e2.z,
                      e1.x * e2.y - e1.y * e2.x};
        D3DXVec3Normalize(&n, &n);
        for (int c = 0; c < 3; ++c) {
            const float weight = angleBetween(sub(p[(c + 1) % 3], p[c]), sub(p[(c + 2) % 3], p[c]));
            D3DXVECTOR3& sum = sums[corner[c]];
            sum = {sum.x + n.x * weight, sum.y + n.y * weight, sum.z + n.z * weight};
        }
    }
    for (DWORD v = 0; v < vertices; ++v) {
        D3DXVECTOR3 n;
        D3DXVec3Normalize(&n, &sums[v]);
        *reinterpret_cast<D3DXVECTOR3*>(bytes + v * stride + normal) = n;
    }
    mesh->UnlockIndexBuffer();
    mesh->UnlockVertexBuffer();
    return D3D_OK;
}
