#pragma once
#include "d3d9.h"

// What the sprite and the card share: a texture loaded, made or attached (one reference of
// its own), its level-0 surface, and a tint drawn as the vertex colour.
class TexturedDrawer {
  public:
    TexturedDrawer() = default;
    TexturedDrawer(const TexturedDrawer&) = delete;
    TexturedDrawer& operator=(const TexturedDrawer&) = delete;

    virtual HRESULT loadWithColorKey(IDirect3DDevice9* device_, const char* fileName,
                                     D3DCOLOR colorKey);
    virtual HRESULT load(IDirect3DDevice9* device_, const char* fileName);
    virtual int attach(IDirect3DDevice9* device_, IDirect3DTexture9* texture_);
    // Fetches the level-0 surface again and sets the tint to opaque white.
    virtual void reset();
    virtual IDirect3DTexture9* getTexture();
    virtual void setColor(int red_, int green_, int blue_);
    virtual void setAlpha(int alpha_);
    virtual ~TexturedDrawer();

  protected:
    void releaseTexture();
    D3DCOLOR tint() const { return D3DCOLOR_ARGB(alpha, red, green, blue); }

    IDirect3DDevice9* device = nullptr;
    IDirect3DTexture9* texture = nullptr;
    IDirect3DSurface9* surface = nullptr;
    unsigned char red = 255, green = 255, blue = 255, alpha = 255;
};
