#pragma once
#include "d3d9.h"

// A flat tinted rectangle in world space: the world's twin of the screen's ColorRect.
class WorldRect {
  public:
    virtual int init(IDirect3DDevice9* device_);
    virtual void drawRect(float x, float y, float z, float width, float height);
    virtual void setColor(int red_, int green_, int blue_);
    virtual void setAlpha(unsigned char alpha_);

  private:
    IDirect3DDevice9* device = nullptr;
    int red = 255, green = 255, blue = 255;
    unsigned char alpha = 255;
};
