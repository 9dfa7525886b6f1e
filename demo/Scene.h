#pragma once
#include "d3d9.h"

class GraphicsDevice;

// One scene of the show. The sequencer calls init once at start-up, start each time the scene
// becomes current, then update every 16 ms step and draw every frame.
class Scene {
  public:
    enum UpdateResult { Stay = 0, Next = 1, Previous = 2, End = 3 };

    virtual int init(GraphicsDevice* device_);
    virtual int start() = 0;
    virtual int update() = 0;
    virtual int draw() = 0;
    virtual ~Scene() = default;

  protected:
    // What every start sets, so no scene relies on the one before: black-bordered sampling,
    // depth test, lighting with specular, Gouraud shading, the given culling, and the random
    // sequence from its start.
    void setStartStates(D3DCULL cullMode);
    // Minification and magnification filters of sampler 0 together.
    void setFilter(D3DTEXTUREFILTERTYPE filter);
    void setAddress(D3DTEXTUREADDRESS address);

    GraphicsDevice* device = nullptr;
};
