#pragma once
#include "gfx/RenderTarget.h"

class GraphicsDevice;

// Two render targets used in turn: each frame's content is drawn over the frame before (zoomed,
// inset, turned or stretched, and a little transparent), giving echo trails.
class FeedbackBuffer {
  public:
    virtual ~FeedbackBuffer() = default;
    virtual void create(GraphicsDevice* graphics_, int width_, int height_);
    virtual void setFeedbackAlpha(unsigned char alpha);
    virtual void begin();
    // 0 unchanged, 1 inset by amount, 2 turned by amount degrees, 3 stretched and shifted.
    virtual void drawAndSwap(int mode, double amount);

    int currentTarget() const { return current; }

  private:
    RenderTarget targets[2];
    GraphicsDevice* graphics = nullptr;
    int width = 0, height = 0;
    unsigned char feedbackAlpha = 216;
    int current = 0;
};
