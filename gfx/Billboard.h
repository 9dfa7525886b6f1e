#pragma once
#include "gfx/TexturedDrawer.h"

// A textured card in the world's XY plane, with a draw that turns it about its vertical axis
// like a flipping playing card.
class Billboard : public TexturedDrawer {
  public:
    virtual void draw(float x, float y, float z, float width, float height);
    virtual void drawTextured(float x, float y, float z, float width, float height);
    virtual void drawFlipping(float x, float y, float z, float width, float height, float angle);
    ~Billboard() override = default;

  private:
    void drawQuad(const float (&corners)[4][3]);
};
