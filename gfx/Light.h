#pragma once
#include "d3d9.h"

// Light 0 of the device, with setters for its fields; enable also turns lighting on.
class Light {
  public:
    virtual int init(IDirect3DDevice9* device_);
    virtual void enable();
    virtual void disable();
    virtual D3DVECTOR* getDirection(D3DVECTOR* out);
    virtual void setType(D3DLIGHTTYPE type);
    virtual void setDirection(float x, float y, float z);
    virtual void setPosition(float x, float y, float z);
    virtual void setRangeAndCone(float range, float falloff, float attenuation0, float attenuation1,
                                 float attenuation2, float theta, float phi);
    virtual void setDiffuse(double r, double g, double b);
    virtual void setSpecular(double r, double g, double b);
    virtual void setAmbient(double r, double g, double b);

  private:
    D3DLIGHT9 light{};
    IDirect3DDevice9* device = nullptr;
};
