#include "gfx/CanvasSprite.h"

#include "d3dx9.h"

// A canvas is made, not loaded: these only say so.
HRESULT CanvasSprite::loadWithColorKey(IDirect3DDevice9* device_, const char* fileName, D3DCOLOR) {
    return load(device_, fileName);
}

HRESULT CanvasSprite::load(IDirect3DDevice9* device_, const char* fileName) {
    device = device_;
    MessageBoxA(nullptr, fileName, "失敗", MB_OK);
    reset();
    return 0;
}

int CanvasSprite::attach(IDirect3DDevice9* device_, IDirect3DTexture9*) {
    device = device_;
    MessageBoxA(nullptr, "", "失敗", MB_OK);
    reset();
    return 0;
}

IDirect3DSurface9* CanvasSprite::getSurface() {
    return surface;
}

int CanvasSprite::create(IDirect3DDevice9* device_, int width, int height) {
    device = device_;
    releaseTexture();
    const HRESULT result =
        width > 0 && height > 0
            ? D3DXCreateTexture(device, static_cast<UINT>(width), static_cast<UINT>(height), 0, 0,
                                D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture)
            : D3DERR_INVALIDCALL;
    reset();
    return FAILED(result) || !texture ? 1 : 0;
}
