#pragma once
#include "d3dx9.h"

// The view and projection of a 3D scene, handed to the device by apply.
class Camera {
  public:
    virtual int init(IDirect3DDevice9* device_, int width_, int height_);
    virtual void setPosition(float x, float y, float z);
    virtual D3DXMATRIX* getView(D3DXMATRIX* out);
    virtual D3DXMATRIX* getProjection(D3DXMATRIX* out);
    virtual void setPerspective(float fovY, float zNear, float zFar);
    virtual void lookAt(D3DXVECTOR3 eye, D3DXVECTOR3 at, D3DXVECTOR3 up);
    virtual void apply();
    virtual float getX();
    virtual float getY();
    virtual float getZ();

  private:
    // Identity until set, so an early apply gives a finite, harmless transform.
    D3DXMATRIX view = identity();
    D3DXMATRIX projection = identity();
    IDirect3DDevice9* device = nullptr;
    int width = 0, height = 0;
    D3DXVECTOR3 position{0, 0, 0};

    static D3DXMATRIX identity();
};
