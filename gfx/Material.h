#pragma once
#include "d3d9.h"

// One fixed-function material; colours arrive as doubles and are kept as floats.
class Material {
  public:
    virtual void setPower(double power);
    virtual void setDiffuse(double r, double g, double b);
    virtual void setSpecular(double r, double g, double b);
    virtual void setAmbient(double r, double g, double b);
    virtual void setEmissive(double r, double g, double b);
    virtual void setAlpha(double a);
    virtual ~Material() = default;

    const D3DMATERIAL9& record() const { return material; }

  private:
    D3DMATERIAL9 material{};
};
