#pragma once
#include "demo/ColorRect.h"
#include "demo/Scene.h"
#include "gfx/Camera.h"
#include "gfx/CanvasSprite.h"
#include "gfx/Light.h"
#include "gfx/Material.h"
#include "gfx/PointSpriteCloud.h"
#include "gfx/RenderTarget.h"
#include "gfx/ShapeMesh.h"
#include "gfx/Sprite.h"

// The last scene: a tower of rings of red blades slowing to a stop and fading to grey round a
// column of orange points, over colour noise, with a glow, the group's pulsing logo and the
// fade to white; the window title counts the bars.
class LogoScene : public Scene {
  public:
    int init(GraphicsDevice* device_) override;
    int start() override;
    int update() override;
    int draw() override;
    ~LogoScene() override = default;

  protected:
    static constexpr int ringCount = 30;
    static constexpr int columnPoints = 1000;
    static constexpr int whiteBar = 81;

    struct Ring {
        double radius;
        int direction; // 1 turns one way, 0 the other
    };
    // Never reset by start: the manager keeps one scene for the whole show, so a second turn
    // as current scene goes on from here.
    struct Course {
        double spinAngle = 0;
        double spinSpeed = static_cast<double>(0.03f);
        double cameraHeight = 0;
        Ring rings[ringCount] = {};
        int whiteLevel = 0;
        float glowDivisor = 10.0f;
    };
    Course course;

    Camera camera;
    Light light;
    ColorRect screen;
    RenderTarget glowA, glowB, sceneTarget;
    ShapeMesh blade;
    Material bladeMaterial;
    CanvasSprite noise;
    PointSpriteCloud column;
    Sprite logo;
    int stepCount = 0;

  private:
    void fillNoise();
    void fillColumn();
    void showBar();
    void colourBlades();
    void drawNoise();
    void drawRings();
    void drawRing(const Ring& ring, float y);
    void drawColumn();
    void drawLogo();
    void drawWhite();
};
