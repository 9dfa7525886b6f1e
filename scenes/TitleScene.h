#pragma once
#include "demo/ColorRect.h"
#include "demo/Scene.h"
#include "gfx/CanvasSprite.h"
#include "gfx/Sprite.h"

// The opening: the shaking additive title over scrolling static, the doors sliding apart and
// the pillars fading in from bar 4.
class TitleScene : public Scene {
  public:
    int init(GraphicsDevice* device_) override;
    int start() override;
    int update() override;
    int draw() override;
    ~TitleScene() override = default;

  protected:
    static constexpr int copies = 16;

    // Never reset by start: the manager keeps one scene for the whole show, so a second turn
    // as current scene goes on from here.
    struct Course {
        double jitter = 60.0;
        int offsetX[copies] = {};
        int offsetY[copies] = {};
        int doorCounter = 0;
        double pillarAlpha = 0.0;
    };
    Course course;

    Sprite title;
    ColorRect veil;
    CanvasSprite noise;
    int stepCount = 0;

  private:
    void fillNoise();
    void drawTitle();
    void drawNoise();
    void drawVeil();
};
