#pragma once
#include "gfx/PointSpriteCloud.h"

#include <vector>

class GraphicsDevice;

// Glowing embers born on a sphere, rising at their own speed while their orange fades to
// black over their own life, and born again elsewhere once dark.
class EmberFountain {
  public:
    struct ParticlePoint {
        double x, y, z;
        double vx, vy, vz; // never read
    };
    struct EmberState {
        double red, green, blue;
        double riseSpeed;
        double fadeRed, fadeGreen, fadeBlue;
        int life;
        double spare;
    };

    virtual ~EmberFountain() = default;
    virtual void respawn(int i);
    virtual void step(int i);
    virtual void init(GraphicsDevice* device, int count_);
    virtual void stepAll();
    virtual void draw();
    // Gives the cloud's texture and buffer back while the device exists.
    void release() { cloud.release(); }

    const ParticlePoint& point(int i) const { return points[static_cast<std::size_t>(i)]; }
    const EmberState& state(int i) const { return states[static_cast<std::size_t>(i)]; }
    int getCount() const { return count; }

  private:
    bool contains(int i) const { return i >= 0 && i < count; }

    PointSpriteCloud cloud;
    std::vector<ParticlePoint> points;
    std::vector<EmberState> states;
    int count = 0;
};
