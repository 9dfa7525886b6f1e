#pragma once
#include "d3d9.h"

// A filled screen rectangle in one colour and alpha: letterbox bars, pillars, fades, doors.
class ColorRect {
  public:
    virtual int init(IDirect3DDevice9* device_);
    virtual void drawRect(float x, float y, float z, float width, float height);
    virtual void setColor(int red_, int green_, int blue_);
    virtual void setAlpha(unsigned char alpha_);
    virtual ~ColorRect() = default;

  private:
    IDirect3DDevice9* device = nullptr;
    int red = 255;
    int green = 255;
    int blue = 255;
    unsigned char alpha = 255;
};
