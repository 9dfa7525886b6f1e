#pragma once
#include "d3dx9.h"

#include <vector>

// Points with position, velocity and colour, moved by a small physics step (gravity, a floor
// with bounce and friction) and drawn in one call as textured point sprites.
class PointSpriteCloud {
  public:
    struct Point {
        D3DXVECTOR3 position, velocity;
        D3DCOLOR color;
        int life;
        DWORD spare[2]; // the owning scene's
    };

    PointSpriteCloud() = default;
    PointSpriteCloud(const PointSpriteCloud&) = delete;
    PointSpriteCloud& operator=(const PointSpriteCloud&) = delete;

    // Null for an index outside the cloud.
    virtual Point* getPoint(int index);
    virtual void setPoint(D3DXVECTOR3 position, D3DXVECTOR3 velocity, D3DCOLOR color, int index);
    virtual void setPointColor(D3DCOLOR color, int index);
    virtual void setCommonColor(D3DCOLOR color, bool enabled);
    virtual void init(IDirect3DDevice9* device_, int count_, const char* textureFile);
    virtual void setLifeDefault(float life);
    virtual void setFriction(float value);
    virtual void setTimeStep(float value);
    virtual void setPointSize(float value);
    virtual void setBounce(float value);
    virtual void setGravity(float value);
    virtual void setFloor(float y);
    virtual ~PointSpriteCloud();
    virtual void draw();
    virtual void update();

    int getCount() const { return count; }
    // Gives the texture and buffer back now, while the device is there.
    void release();

  private:
    bool contains(int index) const { return index >= 0 && index < count; }

    IDirect3DDevice9* device = nullptr;
    IDirect3DVertexBuffer9* vertexBuffer = nullptr;
    IDirect3DTexture9* texture = nullptr;
    std::vector<Point> points;
    int count = 0;
    D3DCOLOR commonColor = 0;
    bool useCommonColor = false;
    float pointSize = 1.0f;
    float bounce = 0.5f;
    float gravity = 0.02f;
    float floorY = -1.0f;
    float timeStep = 0.005f;
    float friction = 0.005f;
    float lifeDefault = 256.0f;
};
