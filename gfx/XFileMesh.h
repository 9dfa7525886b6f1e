#pragma once
#include "d3dx9.h"
#include "gfx/Material.h"

#include <string>
#include <vector>

// A model from a .x file with its per-subset materials and textures, drawn subset by subset,
// or with the materials replaced for one draw (own, given, one alpha, one colour).
class XFileMesh {
  public:
    XFileMesh() = default;
    XFileMesh(const XFileMesh&) = delete;
    XFileMesh& operator=(const XFileMesh&) = delete;

    // 0, or 1 when the file or one of its textures could not be read.
    virtual int load(IDirect3DDevice9* device_, const char* fileName);
    virtual void draw();
    virtual void drawUntextured();
    virtual void drawWithOwnMaterial();
    virtual void drawWithMaterial(const D3DMATERIAL9& with);
    virtual void drawWithAlpha(unsigned char alpha);
    virtual void drawWithColor(unsigned char red, unsigned char green, unsigned char blue);
    virtual ~XFileMesh();

    Material& getMaterial() { return material; }
    DWORD getSubsetCount() const { return subsetCount; }
    const std::vector<IDirect3DTexture9*>& getTextures() const { return textures; }
    const std::vector<D3DMATERIAL9>& getMaterials() const { return materials; }

  private:
    void release();
    void drawSubset(DWORD i, const D3DMATERIAL9& with);

    ID3DXMesh* mesh = nullptr;
    std::vector<IDirect3DTexture9*> textures;
    std::vector<D3DMATERIAL9> materials;
    IDirect3DDevice9* device = nullptr;
    DWORD subsetCount = 0;
    Material material;
};

// "%sの読み込みに失敗しました。" in at most size - 1 bytes: a long name is shortened, at a
// character boundary, so the message's end survives.
std::string textureFailureMessage(const char* textureName, std::size_t size);
