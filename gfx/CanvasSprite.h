#pragma once
#include "gfx/Sprite.h"

// A sprite over a blank texture made at a chosen size, which its owner fills.
class CanvasSprite : public Sprite {
  public:
    HRESULT loadWithColorKey(IDirect3DDevice9* device_, const char* fileName,
                             D3DCOLOR colorKey) override;
    HRESULT load(IDirect3DDevice9* device_, const char* fileName) override;
    int attach(IDirect3DDevice9* device_, IDirect3DTexture9* texture_) override;
    ~CanvasSprite() override = default;
    virtual IDirect3DSurface9* getSurface();
    // 0, or 1 when no texture could be made (the owner must then not fill it).
    virtual int create(IDirect3DDevice9* device_, int width, int height);
};
