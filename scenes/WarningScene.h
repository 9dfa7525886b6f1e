#pragma once
#include "demo/ColorRect.h"
#include "demo/Scene.h"
#include "gfx/Camera.h"
#include "gfx/Light.h"
#include "gfx/Material.h"
#include "gfx/PointSpriteCloud.h"
#include "gfx/RenderTarget.h"
#include "gfx/ShapeMesh.h"
#include "gfx/Sprite.h"

// The white lattice of red cubes and orange struts with travelling sparks, its fade to black
// in bar 15, then the field of turning cubes with the flickering warning sign; all glowing.
class WarningScene : public Scene {
  public:
    int init(GraphicsDevice* device_) override;
    int start() override;
    int update() override;
    int draw() override;
    ~WarningScene() override = default;

  protected:
    static constexpr int sparkSide = 5;
    static constexpr int sparkCount = sparkSide * sparkSide * sparkSide;

    struct Spark {
        double x, y, z, vx, vy, vz;
    };
    // Never reset by start: the manager keeps one scene for the whole show, so a second turn
    // as current scene goes on from here.
    struct Course {
        int flicker = 0;
        double pulse = static_cast<double>(0.7f);
        int strutOpacity = 255;
        int backgroundGrey = 255;
        Spark sparks[sparkCount] = {};
        float glowDivisor = 5.0f;
    };
    Course course;

    // Where the camera stands at step f below bar 16 (and on the orbit from bar 16).
    static D3DXVECTOR3 eyeAt(int f, int bar);

    Camera camera;
    ShapeMesh nodeCube;
    Material nodeMaterial;
    ShapeMesh verticalStrut;
    Material verticalMaterial;
    ShapeMesh horizontalStrut;
    Material horizontalMaterial;
    Light light;
    RenderTarget glowA, glowB, sceneTarget;
    ColorRect screen;
    Sprite warningSign;
    PointSpriteCloud sparks;
    int stepCount = 0;

  private:
    void fillSparks();
    void moveSparks();
    void setNodeColour();
    void clearBackground(int bar);
    void drawSign();
    void drawLattice(int bar);
    void drawSparks();
    void drawFrame();
};
