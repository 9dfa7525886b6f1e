#pragma once
#include "demo/ColorRect.h"
#include "demo/Scene.h"
#include "gfx/Camera.h"
#include "gfx/FeedbackBuffer.h"
#include "gfx/Light.h"
#include "gfx/PointSpriteCloud.h"
#include "gfx/Sprite.h"

// A rolling flight along a ring of glowing points in slowly changing tints, shown as its
// negative with half-and-half trails; every 120 steps a white flash, the true picture for a
// moment and the group's names sliding past.
class RingScene : public Scene {
  public:
    int init(GraphicsDevice* device_) override;
    int start() override;
    int update() override;
    int draw() override;
    ~RingScene() override = default;

    // The name script: waiting, in and out at the top, moved down, in and out at the bottom.
    enum NamePhase { Waiting = -1, FirstIn, FirstOut, Move, SecondIn, SecondOut, Done };

    // The ring's colour script: up from black to grey, then toward each tint in turn, then out.
    enum RingPhase { Brighten, ToTeal, ToMagenta, ToOlive, BackToTeal, ToDimTeal, FadeOut };

  protected:
    static constexpr int pointCount = 10240;
    static constexpr int flashPeriod = 120;

    // Never reset by start: the manager keeps one scene for the whole show, so a second turn
    // as current scene goes on from here.
    struct Course {
        int flightCount = 0;
        int namePhase = Waiting;
        int nameTint = 0; // red, green and blue always move together
        int nameX = 0, nameY = 100;
        int ringPhase = Brighten;
        double ringRed = 0, ringGreen = 0, ringBlue = 0;
    };
    Course course;

    Camera camera;
    Light light;
    ColorRect screen;
    FeedbackBuffer trail;
    PointSpriteCloud ring;
    Sprite firstName;
    Sprite secondName;
    int stepCount = 0;

  private:
    void fillRing();
    void runNameScript();
    void runRingScript();
    void paintRing();
    void drawName();
    void drawNegative(int r);
};
