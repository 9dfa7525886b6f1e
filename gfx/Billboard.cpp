#include "gfx/Billboard.h"

#include "gfx/TextureFile.h"
#include "gfx/WorldVertex.h"

#include <cmath>

HRESULT Billboard::loadWithColorKey(IDirect3DDevice9* device_, const char* fileName,
                                    D3DCOLOR colorKey) {
    device = device_;
    releaseTexture();
    const HRESULT result = loadTextureFileKeyed(device, fileName, colorKey, &texture);
    reset();
    return result;
}

HRESULT Billboard::load(IDirect3DDevice9* device_, const char* fileName) {
    device = device_;
    releaseTexture();
    const HRESULT result = loadTextureFile(device, fileName, &texture);
    reset();
    return result;
}

// Like a sprite, the card keeps a reference of its own on an attached texture.
int Billboard::attach(IDirect3DDevice9* device_, IDirect3DTexture9* texture_) {
    device = device_;
    if (texture_) texture_->AddRef();
    releaseTexture();
    texture = texture_;
    reset();
    return 0;
}

void Billboard::reset() {
    if (surface) {
        surface->Release();
        surface = nullptr;
    }
    if (texture) texture->GetSurfaceLevel(0, &surface);
    red = green = blue = alpha = 255;
}

void Billboard::drawQuad(const float (&corners)[4][3]) {
    static const float uv[4][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
    const D3DCOLOR colour = D3DCOLOR_ARGB(alpha, red, green, blue);
    WorldVertex quad[4];
    for (int i = 0; i < 4; ++i)
        quad[i] = {corners[i][0], corners[i][1], corners[i][2], colour, uv[i][0], uv[i][1]};
    device->SetFVF(WorldVertex::format);
    device->DrawPrimitiveUP(D3DPT_TRIANGLEFAN, 2, quad, sizeof(WorldVertex));
    device->SetTexture(0, nullptr);
}

// Draws with whatever texture stage 0 holds, and empties it.
void Billboard::draw(float x, float y, float z, float w, float h) {
    if (!device) return;
    const float corners[4][3] = {{x, y, z}, {x + w, y, z}, {x + w, y + h, z}, {x, y + h, z}};
    drawQuad(corners);
}

void Billboard::drawTextured(float x, float y, float z, float w, float h) {
    if (!device) return;
    device->SetTexture(0, texture);
    draw(x, y, z, w, h);
}

// One world unit wide at its widest; a line at angle 0; mirrored when sin(angle) changes sign.
void Billboard::drawFlipping(float x, float y, float z, float, float h, float angle) {
    if (!device) return;
    const float s = 0.5f * std::sin(angle), c = 0.5f * std::cos(angle);
    const float corners[4][3] = {
        {x + s, y, z + c}, {x - s, y, z + c}, {x - s, y + h, z + c}, {x + s, y + h, z + c}};
    device->SetTexture(0, texture);
    drawQuad(corners);
}

IDirect3DTexture9* Billboard::getTexture() {
    return texture;
}

void Billboard::setColor(int red_, int green_, int blue_) {
    red = static_cast<unsigned char>(red_);
    green = static_cast<unsigned char>(green_);
    blue = static_cast<unsigned char>(blue_);
}

void Billboard::setAlpha(int alpha_) {
    alpha = static_cast<unsigned char>(alpha_);
}

void Billboard::releaseTexture() {
    if (surface) {
        surface->Release();
        surface = nullptr;
    }
    if (texture) {
        texture->Release();
        texture = nullptr;
    }
}

Billboard::~Billboard() {
    releaseTexture();
}
