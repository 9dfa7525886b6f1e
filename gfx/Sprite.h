#pragma once
#include "gfx/TexturedDrawer.h"

// A texture, or a rectangle of it, drawn as a screen quad in pixels, with a tint, a size factor
// about its centre and a rotation in whole degrees (225 is upright).
class Sprite : public TexturedDrawer {
  public:
    virtual void draw(float x, float y, float z, float width, float height, float srcX, float srcY,
                      float srcWidth, float srcHeight);
    virtual void drawWhole(float x, float y, float z, float width, float height);
    // The tint, and scale 1 and angle 225 too.
    void reset() override;
    virtual void setAngle(float degrees);
    virtual void setScale(float factor);
    virtual void setTextureSize(int width, int height);
    ~Sprite() override = default;

    // The angle that draws axis-aligned, without turning.
    static constexpr int uprightAngle = 225;

  protected:
    float scale = 1.0f;
    int angle = uprightAngle;
    int textureWidth = 0, textureHeight = 0;
};
