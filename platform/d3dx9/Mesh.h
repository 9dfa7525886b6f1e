#pragma once
// A triangle mesh in the device's buffers, with one attribute id per face. DrawSubset draws the
// faces of one id as runs of indexed triangle lists.
#include "ComObject.h"
#include "d3dx9.h"

#include <vector>

namespace d3dx9 {

class Mesh final : public platform::ComObject<ID3DXMesh> {
  public:
    // Makes the buffers; false (with nothing made) when the device refuses them.
    static HRESULT create(IDirect3DDevice9* device, DWORD faces, DWORD vertices, DWORD options,
                          DWORD fvf, Mesh** mesh);

    HRESULT DrawSubset(DWORD attributeId) override;
    DWORD GetNumFaces() override { return faces_; }
    DWORD GetNumVertices() override { return vertices_; }
    DWORD GetFVF() override { return fvf_; }
    DWORD GetNumBytesPerVertex() override { return stride_; }
    DWORD GetOptions() override { return options_; }
    HRESULT CloneMeshFVF(DWORD options, DWORD fvf, IDirect3DDevice9* device,
                         ID3DXMesh** clone) override;
    HRESULT LockVertexBuffer(DWORD flags, LPVOID* data) override;
    HRESULT UnlockVertexBuffer() override;
    HRESULT LockIndexBuffer(DWORD flags, LPVOID* data) override;
    HRESULT UnlockIndexBuffer() override;
    HRESULT LockAttributeBuffer(DWORD flags, DWORD** data) override;
    HRESULT UnlockAttributeBuffer() override { return D3D_OK; }

    bool wideIndices() const { return (options_ & D3DXMESH_32BIT) != 0; }
    // Index i of the index buffer while it is locked at data.
    static DWORD indexAt(const void* data, bool wide, std::size_t i);

  private:
    Mesh(IDirect3DDevice9* device, DWORD faces, DWORD vertices, DWORD options, DWORD fvf);
    ~Mesh() override;

    IDirect3DDevice9* device_;
    IDirect3DVertexBuffer9* vertexBuffer_ = nullptr;
    IDirect3DIndexBuffer9* indexBuffer_ = nullptr;
    std::vector<DWORD> attributes_;
    DWORD faces_, vertices_, options_, fvf_, stride_;
};

// The byte offset of the normal inside a vertex of this format, or -1.
int normalOffset(DWORD fvf);

} // namespace d3dx9
