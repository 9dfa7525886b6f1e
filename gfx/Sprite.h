#pragma once
#include "d3d9.h"

// A texture, or a rectangle of it, drawn as a screen quad in pixels, with a tint, a size factor
// about its centre and a rotation in whole degrees (225 is upright).
class Sprite {
  public:
    Sprite() = default;
    Sprite(const Sprite&) = delete;
    Sprite& operator=(const Sprite&) = delete;

    virtual HRESULT loadWithColorKey(IDirect3DDevice9* device_, const char* fileName,
                                     D3DCOLOR colorKey);
    virtual HRESULT load(IDirect3DDevice9* device_, const char* fileName);
    virtual int attach(IDirect3DDevice9* device_, IDirect3DTexture9* texture_);
    virtual void draw(float x, float y, float z, float width, float height, float srcX, float srcY,
                      float srcWidth, float srcHeight);
    virtual void drawWhole(float x, float y, float z, float width, float height);
    virtual void reset();
    virtual IDirect3DTexture9* getTexture();
    virtual void setColor(int red_, int green_, int blue_);
    virtual void setAlpha(int alpha_);
    virtual void setAngle(float degrees);
    virtual void setScale(float factor);
    virtual void setTextureSize(int width, int height);
    virtual ~Sprite();

  protected:
    void releaseTexture();

    IDirect3DDevice9* device = nullptr;
    IDirect3DTexture9* texture = nullptr;
    IDirect3DSurface9* surface = nullptr;
    unsigned char red = 255, green = 255, blue = 255, alpha = 255;
    float scale = 1.0f;
    int angle = 225;
    int textureWidth = 0, textureHeight = 0;
};
