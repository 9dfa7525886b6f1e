#pragma once
#include "d3d9.h"

// A textured card in the world's XY plane, with a draw that turns it about its vertical axis
// like a flipping playing card.
class Billboard {
  public:
    Billboard() = default;
    Billboard(const Billboard&) = delete;
    Billboard& operator=(const Billboard&) = delete;

    virtual HRESULT loadWithColorKey(IDirect3DDevice9* device_, const char* fileName,
                                     D3DCOLOR colorKey);
    virtual HRESULT load(IDirect3DDevice9* device_, const char* fileName);
    virtual int attach(IDirect3DDevice9* device_, IDirect3DTexture9* texture_);
    virtual void draw(float x, float y, float z, float width, float height);
    virtual void drawTextured(float x, float y, float z, float width, float height);
    virtual void drawFlipping(float x, float y, float z, float width, float height, float angle);
    virtual void reset();
    virtual IDirect3DTexture9* getTexture();
    virtual void setColor(int red_, int green_, int blue_);
    virtual void setAlpha(int alpha_);
    virtual ~Billboard();

  private:
    void releaseTexture();
    void drawQuad(const float (&corners)[4][3]);

    IDirect3DDevice9* device = nullptr;
    IDirect3DTexture9* texture = nullptr;
    IDirect3DSurface9* surface = nullptr;
    unsigned char red = 255, green = 255, blue = 255, alpha = 255;
};
