#pragma once
#include "d3dx9.h"
#include "gfx/Material.h"
#include "gfx/ShapeKind.h"

// A stock shape from the utility library, drawn with its own material or one handed in.
class ShapeMesh {
  public:
    ShapeMesh() = default;
    ShapeMesh(const ShapeMesh&) = delete;
    ShapeMesh& operator=(const ShapeMesh&) = delete;

    virtual void setDevice(IDirect3DDevice9* device_);
    virtual void cloneWithNormals(DWORD fvf);
    virtual HRESULT createShape(ShapeKind kind, double size);
    virtual HRESULT createBox(double width, double height, double depth);
    virtual void placeAt(float x, float y, float z);
    virtual void setColor(double r, double g, double b);
    virtual void draw();
    virtual void drawWithMaterial(const Material& with);
    virtual ~ShapeMesh();

    ID3DXMesh* getMesh() const { return mesh; }

  private:
    void release();

    IDirect3DDevice9* device = nullptr;
    ID3DXMesh* mesh = nullptr;
    Material material;
};
