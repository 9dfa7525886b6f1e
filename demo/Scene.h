#pragma once

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
    GraphicsDevice* device = nullptr;
};
