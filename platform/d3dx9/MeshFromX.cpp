#include "ComObject.h"
#include "Mesh.h"
#include "XFile.h"

#include "core/Paths.h"

#include <algorithm>
#include <cstring>
#include <numeric>

namespace {

// Mesh files larger than this are refused unread.
constexpr std::size_t maxFileBytes = 256u << 20;

class Buffer final : public platform::ComObject<ID3DXBuffer> {
  public:
    explicit Buffer(std::size_t size) : bytes_(size, 0) {}
    LPVOID GetBufferPointer() override { return bytes_.data(); }
    DWORD GetBufferSize() override { return static_cast<DWORD>(bytes_.size()); }

  private:
    ~Buffer() override = default;
    std::vector<unsigned char> bytes_;
};

// The materials array, then the texture names it points at, in one buffer.
ID3DXBuffer* materialBuffer(const std::vector<d3dx9::XMaterial>& materials) {
    std::size_t size = materials.size() * sizeof(D3DXMATERIAL);
    for (const auto& m : materials)
        size += m.hasTexture ? m.textureName.size() + 1 : 0;
    auto* buffer = new Buffer(size);
    auto* out = static_cast<D3DXMATERIAL*>(buffer->GetBufferPointer());
    char* text = reinterpret_cast<char*>(out + materials.size());
    for (std::size_t i = 0; i < materials.size(); ++i) {
        out[i].MatD3D = materials[i].material;
        out[i].pTextureFilename = nullptr;
        if (materials[i].hasTexture) {
            std::memcpy(text, materials[i].textureName.c_str(),
                        materials[i].textureName.size() + 1);
            out[i].pTextureFilename = text;
            text += materials[i].textureName.size() + 1;
        }
    }
    return buffer;
}

DWORD formatOf(const d3dx9::XScene& scene) {
    return D3DFVF_XYZ | (scene.hasNormals ? D3DFVF_NORMAL : 0) |
           (scene.hasColours ? D3DFVF_DIFFUSE : 0) | (scene.hasTexCoords ? D3DFVF_TEX1 : 0);
}

void writeVertices(d3dx9::Mesh* mesh, const d3dx9::XScene& scene, DWORD fvf) {
    void* data = nullptr;
    mesh->LockVertexBuffer(0, &data);
    auto* out = static_cast<unsigned char*>(data);
    for (const d3dx9::XVertex& v : scene.vertices) {
        auto put = [&out](const void* p, std::size_t n) {
            std::memcpy(out, p, n);
            out += n;
        };
        put(&v.position, 12);
        if (fvf & D3DFVF_NORMAL) put(&v.normal, 12);
        if (fvf & D3DFVF_DIFFUSE) put(&v.colour, 4);
        if (fvf & D3DFVF_TEX1) {
            put(&v.u, 4);
            put(&v.v, 4);
        }
    }
    mesh->UnlockVertexBuffer();
}

// Faces sorted by material (stably), so each subset draws as one run.
void writeFaces(d3dx9::Mesh* mesh, const d3dx9::XScene& scene) {
    std::vector<std::size_t> order(scene.attributes.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&scene](std::size_t a, std::size_t b) {
        return scene.attributes[a] < scene.attributes[b];
    });
    void* data = nullptr;
    DWORD* attributes = nullptr;
    mesh->LockIndexBuffer(0, &data);
    mesh->LockAttributeBuffer(0, &attributes);
    for (std::size_t f = 0; f < order.size(); ++f) {
        for (std::size_t c = 0; c < 3; ++c) {
            const DWORD index = scene.indices[order[f] * 3 + c];
            if (mesh->wideIndices())
                static_cast<DWORD*>(data)[f * 3 + c] = index;
            else
                static_cast<WORD*>(data)[f * 3 + c] = static_cast<WORD>(index);
        }
        attributes[f] = scene.attributes[order[f]];
    }
    mesh->UnlockAttributeBuffer();
    mesh->UnlockIndexBuffer();
}

} // namespace

HRESULT D3DXLoadMeshFromXInMemory(LPCVOID memory, DWORD size, DWORD options,
                                  IDirect3DDevice9* device, ID3DXBuffer** adjacency,
                                  ID3DXBuffer** materials, ID3DXBuffer** effectInstances,
                                  DWORD* materialCount, ID3DXMesh** mesh) {
    if (adjacency) *adjacency = nullptr;
    if (effectInstances) *effectInstances = nullptr;
    if (!memory || size == 0 || !device || !mesh) return D3DERR_INVALIDCALL;
    d3dx9::XScene scene;
    HRESULT result = d3dx9::parseXFile(static_cast<const char*>(memory), size, scene);
    if (FAILED(result)) return result;
    const DWORD fvf = formatOf(scene);
    if (scene.vertices.size() > 0xFFFF) options |= D3DXMESH_32BIT;
    d3dx9::Mesh* made = nullptr;
    result = d3dx9::Mesh::create(device, static_cast<DWORD>(scene.attributes.size()),
                                 static_cast<DWORD>(scene.vertices.size()), options, fvf, &made);
    if (FAILED(result)) return result;
    writeVertices(made, scene, fvf);
    writeFaces(made, scene);
    if (materials) *materials = materialBuffer(scene.materials);
    if (materialCount) *materialCount = static_cast<DWORD>(scene.materials.size());
    *mesh = made;
    return D3D_OK;
}

HRESULT D3DXLoadMeshFromXA(LPCSTR fileName, DWORD options, IDirect3DDevice9* device,
                           ID3DXBuffer** adjacency, ID3DXBuffer** materials,
                           ID3DXBuffer** effectInstances, DWORD* materialCount, ID3DXMesh** mesh) {
    if (!fileName || !device || !mesh) return D3DERR_INVALIDCALL;
    std::vector<unsigned char> bytes;
    if (!platform::readWholeFile(platform::nativePath(fileName), bytes, maxFileBytes))
        return D3DXERR_INVALIDDATA;
    if (bytes.empty()) return E_FAIL;
    return D3DXLoadMeshFromXInMemory(bytes.data(), static_cast<DWORD>(bytes.size()), options,
                                     device, adjacency, materials, effectInstances, materialCount,
                                     mesh);
}
