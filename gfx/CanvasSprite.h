#pragma once
#include "gfx/Sprite.h"

#include <cstddef>
#include <cstdint>

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

    // Writes level 0 texel by texel in row order, texel(x, y) giving 0xAARRGGBB, each row at
    // the pitch the lock gives; false, leaving the texture as it was, when it cannot be locked.
    template <class Texel> bool fill(int width, int height, Texel texel);
};

template <class Texel> bool CanvasSprite::fill(int width, int height, Texel texel) {
    D3DLOCKED_RECT locked{};
    if (!texture || FAILED(texture->LockRect(0, &locked, nullptr, 0))) return false;
    auto* bits = static_cast<unsigned char*>(locked.pBits);
    for (int y = 0; y < height; ++y) {
        auto* row =
            reinterpret_cast<std::uint32_t*>(bits + static_cast<std::ptrdiff_t>(y) * locked.Pitch);
        for (int x = 0; x < width; ++x)
            row[x] = texel(x, y);
    }
    texture->UnlockRect(0);
    return true;
}
