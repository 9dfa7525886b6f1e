#pragma once
#include "gfx/RenderTarget.h"

class GraphicsDevice;

// Two render targets used in turn: each frame's content is drawn over the frame before (zoomed,
// inset, turned or stretched, and a little transparent), giving echo trails.
class FeedbackBuffer {
  public:
    // How the previous frame is laid over this one: unchanged, inset by amount on every side,
    // turned by amount degrees, or stretched 30 pixels and shifted left by 15 x amount.
    enum EchoMode { Plain = 0, Inset = 1, Turned = 2, Stretched = 3 };

    virtual ~FeedbackBuffer() = default;
    virtual void create(GraphicsDevice* graphics_, int width_, int height_);
    virtual void setFeedbackAlpha(unsigned char alpha);
    virtual void begin();
    virtual void drawAndSwap(int mode, double amount);

    int currentTarget() const { return current; }

  private:
    RenderTarget targets[2];
    GraphicsDevice* graphics = nullptr;
    int width = 0, height = 0;
    unsigned char feedbackAlpha = 216;
    int current = 0;
};
