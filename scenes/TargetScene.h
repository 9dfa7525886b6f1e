#pragma once
#include "demo/ColorRect.h"
#include "demo/Scene.h"
#include "gfx/Camera.h"
#include "gfx/Light.h"
#include "gfx/RenderTarget.h"
#include "gfx/Sprite.h"
#include "gfx/WorldRect.h"

// A field of glowing panels added onto black, with turning, shaking reticles in the middle and
// a soft blur under the sharp picture; from bar 32 the camera swings, a white flash and a red
// pulse.
class TargetScene : public Scene {
  public:
    int init(GraphicsDevice* device_) override;
    int start() override;
    int update() override;
    int draw() override;
    ~TargetScene() override = default;

  protected:
    static constexpr int greyPanels = 1000;
    static constexpr int panelCount = 1500;
    static constexpr int swingBar = 32;

    struct Panel {
        double x, y, z, speed, red, green, blue, width, height;
    };
    // Never reset by start: the manager keeps one scene for the whole show, so a second turn
    // as current scene goes on from here.
    struct Course {
        Panel panels[panelCount] = {};
        int redLevel = 0;
        int flashCountdown = 0; // frames of white flash left
    };
    Course course;

    // Where the camera stands at step f.
    static D3DXVECTOR3 eyeAt(int f, int bar);

    enum Target { SceneTarget, BlurA, BlurB, targetCount };

    Camera camera;
    Light light;
    RenderTarget targets[targetCount];
    ColorRect screen;
    WorldRect panel;
    Sprite innerTarget;
    Sprite outerTarget;
    int stepCount = 0;

  private:
    void fillPanels();
    void drawPanels();
    void drawReticles(int bar);
    void drawBlur();
    void drawWash();
    void drawFlash();
    void drawPillars();
};
