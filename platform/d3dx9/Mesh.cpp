#include "Mesh.h"

#include <algorithm>
#include <cstring>

namespace d3dx9 {

int normalOffset(DWORD fvf) {
    if (!(fvf & D3DFVF_NORMAL)) return -1;
    return (fvf & D3DFVF_POSITION_MASK) == D3DFVF_XYZRHW ? 16 : 12;
}

Mesh::Mesh(IDirect3DDevice9* device, DWORD faces, DWORD vertices, DWORD options, DWORD fvf)
    : device_(device), attributes_(faces, 0), faces_(faces), vertices_(vertices), options_(options),
      fvf_(fvf), stride_(D3DXGetFVFVertexSize(fvf)) {
    device_->AddRef();
}

Mesh::~Mesh() {
    if (vertexBuffer_) vertexBuffer_->Release();
    if (indexBuffer_) indexBuffer_->Release();
    device_->Release();
}

HRESULT Mesh::create(IDirect3DDevice9* device, DWORD faces, DWORD vertices, DWORD options,
                     DWORD fvf, Mesh** mesh) {
    *mesh = nullptr;
    if (!device || faces == 0 || vertices == 0 || D3DXGetFVFVertexSize(fvf) == 0 ||
        (!(options & D3DXMESH_32BIT) && vertices > 0x10000) || faces > (1u << 26) ||
        vertices > (1u << 26))
        return D3DERR_INVALIDCALL;
    auto* made = new Mesh(device, faces, vertices, options, fvf);
    const D3DPOOL pool =
        (options & D3DXMESH_SYSTEMMEM) == D3DXMESH_SYSTEMMEM ? D3DPOOL_SYSTEMMEM : D3DPOOL_MANAGED;
    const UINT indexSize = made->wideIndices() ? 4 : 2;
    HRESULT result = device->CreateVertexBuffer(vertices * made->stride_, 0, fvf, pool,
                                                &made->vertexBuffer_, nullptr);
    if (SUCCEEDED(result))
        result = device->CreateIndexBuffer(faces * 3 * indexSize, 0,
                                           indexSize == 4 ? D3DFMT_INDEX32 : D3DFMT_INDEX16, pool,
                                           &made->indexBuffer_, nullptr);
    if (FAILED(result)) {
        made->Release();
        return result;
    }
    *mesh = made;
    return D3D_OK;
}

DWORD Mesh::indexAt(const void* data, bool wide, std::size_t i) {
    return wide ? static_cast<const DWORD*>(data)[i] : static_cast<const WORD*>(data)[i];
}

HRESULT Mesh::DrawSubset(DWORD attributeId) {
    device_->SetFVF(fvf_);
    device_->SetStreamSource(0, vertexBuffer_, 0, stride_);
    device_->SetIndices(indexBuffer_);
    // One draw for each run of faces that carry the id.
    for (DWORD face = 0; face < faces_;) {
        if (attributes_[face] != attributeId) {
            ++face;
            continue;
        }
        DWORD end = face;
        while (end < faces_ && attributes_[end] == attributeId)
            ++end;
        device_->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 0, vertices_, face * 3, end - face);
        face = end;
    }
    return D3D_OK;
}

HRESULT Mesh::LockVertexBuffer(DWORD flags, LPVOID* data) {
    return data ? vertexBuffer_->Lock(0, 0, data, flags) : D3DERR_INVALIDCALL;
}

HRESULT Mesh::UnlockVertexBuffer() {
    return vertexBuffer_->Unlock();
}

HRESULT Mesh::LockIndexBuffer(DWORD flags, LPVOID* data) {
    return data ? indexBuffer_->Lock(0, 0, data, flags) : D3DERR_INVALIDCALL;
}

HRESULT Mesh::UnlockIndexBuffer() {
    return indexBuffer_->Unlock();
}

HRESULT Mesh::LockAttributeBuffer(DWORD, DWORD** data) {
    if (!data) return D3DERR_INVALIDCALL;
    *data = attributes_.data();
    return D3D_OK;
}

namespace {

// Byte offsets of each element a format has, in the platform's order; -1 where absent.
struct Elements {
    int position, normal, diffuse, specular, texCoords;
    int texCount;
};

Elements elementsOf(DWORD fvf) {
    Elements e{-1, -1, -1, -1, -1, 0};
    int at = 0;
    if ((fvf & D3DFVF_POSITION_MASK) == D3DFVF_XYZ)
        e.position = at, at += 12;
    else if ((fvf & D3DFVF_POSITION_MASK) == D3DFVF_XYZRHW)
        e.position = at, at += 16;
    if (fvf & D3DFVF_NORMAL) e.normal = at, at += 12;
    if (fvf & D3DFVF_PSIZE) at += 4;
    if (fvf & D3DFVF_DIFFUSE) e.diffuse = at, at += 4;
    if (fvf & D3DFVF_SPECULAR) e.specular = at, at += 4;
    e.texCount = static_cast<int>((fvf & D3DFVF_TEXCOUNT_MASK) >> D3DFVF_TEXCOUNT_SHIFT);
    if (e.texCount > 0) e.texCoords = at;
    return e;
}

void copyElement(unsigned char* to, int toOffset, const unsigned char* from, int fromOffset,
                 int bytes) {
    if (toOffset >= 0 && fromOffset >= 0)
        std::memcpy(to + toOffset, from + fromOffset, static_cast<std::size_t>(bytes));
}

} // namespace

// Elements both formats have are copied; the new ones start at zero.
HRESULT Mesh::CloneMeshFVF(DWORD options, DWORD fvf, IDirect3DDevice9* device, ID3DXMesh** clone) {
    if (!clone) return D3DERR_INVALIDCALL;
    *clone = nullptr;
    Mesh* made = nullptr;
    HRESULT result = create(device ? device : device_, faces_, vertices_, options, fvf, &made);
    if (FAILED(result)) return result;
    void *from = nullptr, *to = nullptr;
    vertexBuffer_->Lock(0, 0, &from, D3DLOCK_READONLY);
    made->vertexBuffer_->Lock(0, 0, &to, 0);
    std::memset(to, 0, static_cast<std::size_t>(vertices_) * made->stride_);
    const Elements a = elementsOf(fvf_), b = elementsOf(fvf);
    const int positionBytes = (fvf_ & D3DFVF_POSITION_MASK) == (fvf & D3DFVF_POSITION_MASK)
                                  ? ((fvf & D3DFVF_POSITION_MASK) == D3DFVF_XYZRHW ? 16 : 12)
                                  : 12;
    for (DWORD v = 0; v < vertices_; ++v) {
        const auto* src = static_cast<const unsigned char*>(from) + v * stride_;
        auto* dst = static_cast<unsigned char*>(to) + v * made->stride_;
        copyElement(dst, b.position, src, a.position, positionBytes);
        copyElement(dst, b.normal, src, a.normal, 12);
        copyElement(dst, b.diffuse, src, a.diffuse, 4);
        copyElement(dst, b.specular, src, a.specular, 4);
        copyElement(dst, b.texCoords, src, a.texCoords, 8 * std::min(a.texCount, b.texCount));
    }
    made->vertexBuffer_->Unlock();
    vertexBuffer_->Unlock();

    indexBuffer_->Lock(0, 0, &from, D3DLOCK_READONLY);
    made->indexBuffer_->Lock(0, 0, &to, 0);
    for (std::size_t i = 0; i < static_cast<std::size_t>(faces_) * 3; ++i) {
        const DWORD index = indexAt(from, wideIndices(), i);
        if (made->wideIndices())
            static_cast<DWORD*>(to)[i] = index;
        else
            static_cast<WORD*>(to)[i] = static_cast<WORD>(index);
    }
    made->indexBuffer_->Unlock();
    indexBuffer_->Unlock();
    made->attributes_ = attributes_;
    *clone = made;
    return D3D_OK;
}

} // namespace d3dx9
