#include "gfx/XFileMesh.h"

#include <cstring>

std::string textureFailureMessage(const char* textureName, std::size_t size) {
    static const std::string suffix = "の読み込みに失敗しました。";
    std::string name = textureName ? textureName : "";
    const std::size_t room = size > suffix.size() + 1 ? size - 1 - suffix.size() : 0;
    if (name.size() > room) {
        std::size_t cut = room;
        while (cut > 0 && (static_cast<unsigned char>(name[cut]) & 0xC0) == 0x80)
            --cut; // never inside a UTF-8 character
        name.resize(cut);
    }
    return name + suffix;
}

void XFileMesh::release() {
    for (IDirect3DTexture9* texture : textures)
        if (texture) texture->Release();
    textures.clear();
    materials.clear();
    subsetCount = 0;
    if (mesh) {
        mesh->Release();
        mesh = nullptr;
    }
}

int XFileMesh::load(IDirect3DDevice9* device_, const char* fileName) {
    device = device_;
    release(); // loading again replaces what was held
    ID3DXBuffer* buffer = nullptr;
    DWORD count = 0;
    if (FAILED(D3DXLoadMeshFromXA(fileName, D3DXMESH_MANAGED, device, nullptr, &buffer, nullptr,
                                  &count, &mesh))) {
        MessageBoxA(nullptr, fileName, "読み込み失敗", MB_OK);
        return 1;
    }
    // Every material first, so each subset draws even when a texture below fails.
    subsetCount = count;
    const auto* loaded = static_cast<const D3DXMATERIAL*>(buffer->GetBufferPointer());
    materials.resize(count);
    textures.assign(count, nullptr);
    for (DWORD i = 0; i < count; ++i)
        materials[i] = loaded[i].MatD3D;
    int result = 0;
    for (DWORD i = 0; i < count && result == 0; ++i) {
        const char* name = loaded[i].pTextureFilename;
        if (!name || SUCCEEDED(D3DXCreateTextureFromFileA(device, name, &textures[i]))) continue;
        textures[i] = nullptr;
        const std::string message = textureFailureMessage(name, 100);
        MessageBoxA(nullptr, message.c_str(), "Error", MB_OK);
        result = 1; // the textures after it stay unloaded, as before
    }
    buffer->Release();
    return result;
}

void XFileMesh::drawSubset(DWORD i, const D3DMATERIAL9& with) {
    device->SetMaterial(&with);
    device->SetTexture(0, textures[i]);
    mesh->DrawSubset(i);
}

void XFileMesh::draw() {
    if (!mesh) return;
    for (DWORD i = 0; i < subsetCount; ++i)
        drawSubset(i, materials[i]);
    device->SetTexture(0, nullptr);
}

void XFileMesh::drawUntextured() {
    if (!mesh) return;
    for (DWORD i = 0; i < subsetCount; ++i) {
        device->SetMaterial(&materials[i]);
        mesh->DrawSubset(i);
    }
}

void XFileMesh::drawWithOwnMaterial() {
    drawWithMaterial(material.record());
}

void XFileMesh::drawWithMaterial(const D3DMATERIAL9& with) {
    if (!mesh) return;
    for (DWORD i = 0; i < subsetCount; ++i)
        drawSubset(i, with);
    device->SetTexture(0, nullptr);
}

// The stored materials stay as loaded: each draw uses a changed copy.
void XFileMesh::drawWithAlpha(unsigned char alpha) {
    if (!mesh) return;
    const float a = static_cast<float>(alpha) * 0.003921569f;
    for (DWORD i = 0; i < subsetCount; ++i) {
        D3DMATERIAL9 m = materials[i];
        m.Diffuse.a = m.Ambient.a = m.Specular.a = m.Emissive.a = a;
        drawSubset(i, m);
    }
    device->SetTexture(0, nullptr);
}

void XFileMesh::drawWithColor(unsigned char red, unsigned char green, unsigned char blue) {
    if (!mesh) return;
    const float r = red / 255.0f, g = green / 255.0f, b = blue / 255.0f;
    for (DWORD i = 0; i < subsetCount; ++i) {
        D3DMATERIAL9 m = materials[i];
        for (D3DCOLORVALUE* c : {&m.Diffuse, &m.Ambient, &m.Specular, &m.Emissive})
            c->r = r, c->g = g, c->b = b;
        drawSubset(i, m);
    }
    device->SetTexture(0, nullptr);
}

XFileMesh::~XFileMesh() {
    release();
}
