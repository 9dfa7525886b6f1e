#include "gfx/TexturedDrawer.h"

#include "gfx/TextureFile.h"

HRESULT TexturedDrawer::loadWithColorKey(IDirect3DDevice9* device_, const char* fileName,
                                         D3DCOLOR colorKey) {
    device = device_;
    releaseTexture(); // a second load replaces the first rather than leaking it
    const HRESULT result = loadTextureFileKeyed(device, fileName, colorKey, &texture);
    reset();
    return result;
}

HRESULT TexturedDrawer::load(IDirect3DDevice9* device_, const char* fileName) {
    device = device_;
    releaseTexture();
    const HRESULT result = loadTextureFile(device, fileName, &texture);
    reset();
    return result;
}

// The drawer holds its own reference, so an owner that keeps the texture releases its own.
int TexturedDrawer::attach(IDirect3DDevice9* device_, IDirect3DTexture9* texture_) {
    device = device_;
    if (texture_) texture_->AddRef();
    releaseTexture();
    texture = texture_;
    reset();
    return 0;
}

void TexturedDrawer::reset() {
    if (surface) { // the surface fetched before goes back first
        surface->Release();
        surface = nullptr;
    }
    if (texture) texture->GetSurfaceLevel(0, &surface);
    red = green = blue = alpha = 255;
}

IDirect3DTexture9* TexturedDrawer::getTexture() {
    return texture;
}

void TexturedDrawer::setColor(int red_, int green_, int blue_) {
    red = static_cast<unsigned char>(red_);
    green = static_cast<unsigned char>(green_);
    blue = static_cast<unsigned char>(blue_);
}

void TexturedDrawer::setAlpha(int alpha_) {
    alpha = static_cast<unsigned char>(alpha_);
}

void TexturedDrawer::releaseTexture() {
    if (surface) {
        surface->Release();
        surface = nullptr;
    }
    if (texture) {
        texture->Release();
        texture = nullptr;
    }
}

TexturedDrawer::~TexturedDrawer() {
    releaseTexture();
}
