#pragma once
#include "d3d9.h"
#include "gfx/Sprite.h"

class GraphicsDevice;

// An off-screen colour texture with its own depth buffer, drawn into between begin and end and
// shown through its sprite.
class RenderTarget {
  public:
    RenderTarget() = default;
    RenderTarget(const RenderTarget&) = delete;
    RenderTarget& operator=(const RenderTarget&) = delete;

    // 0, or 1 at the first step that fails (what was made by then is kept and released later).
    virtual int create(GraphicsDevice* graphics_, int width, int height);
    virtual int begin();
    virtual int end();
    virtual Sprite* getSprite();
    virtual IDirect3DTexture9* getTexture();
    virtual ~RenderTarget();

  private:
    IDirect3DSurface9* savedColorSurface = nullptr;
    IDirect3DSurface9* savedDepthSurface = nullptr;
    IDirect3DSurface9* depthSurface = nullptr;
    IDirect3DSurface9* colorSurface = nullptr;
    IDirect3DTexture9* texture = nullptr;
    D3DVIEWPORT9 viewport{0, 0, 0, 0, 0.0f, 1.0f};
    GraphicsDevice* graphics = nullptr;
    Sprite sprite;
};
