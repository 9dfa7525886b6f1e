#pragma once
#include "demo/ColorRect.h"
#include "demo/Scene.h"
#include "gfx/Billboard.h"
#include "gfx/Camera.h"
#include "gfx/CanvasSprite.h"
#include "gfx/EmberFountain.h"
#include "gfx/FeedbackBuffer.h"
#include "gfx/Light.h"
#include "gfx/Material.h"
#include "gfx/ShapeMesh.h"
#include "gfx/Sprite.h"
#include "gfx/XFileMesh.h"

// The core: scrolling red code, a trembling room of lit boxes, rising embers, the eight-fold
// crystal, a column of flashes and an error dialog, all with long trails; over them grain,
// scanlines and a field of flickering glyphs in which the event's name is decoded.
class CoreScene : public Scene {
  public:
    int init(GraphicsDevice* device_) override;
    int start() override;
    int update() override;
    int draw() override;
    ~CoreScene() override = default;

    // The sheet's cell of a capital letter or digit, 24 x 24 at (x, y), in the sheet's colour.
    virtual void drawGlyph(double x, double y, char code);
    virtual void drawColoredGlyph(double x, double y, char code, int red, int green, int blue);

    // The grain's glide: a step spent choosing a target, then thirty steps toward it.
    enum GlidePhase { Choose, Glide };

  protected:
    static constexpr int flashCount = 30;
    static constexpr int emberCount = 128;

    // Never reset by start: the manager keeps one scene for the whole show, so a second turn
    // as current scene goes on from here.
    struct Course {
        EmberFountain embers;
        int scrollOffset = 0;
        int glidePhase = Choose;
        int glideCounter = 0;
        double grainAlpha = 64.0;
        double grainTarget = 127.0;
        double grainStep = 0.0;
        double flashAges[flashCount] = {};
        double glyphBrightness = 0.0;
        int revealTimer = 60;
        int revealCount = 0;
    };
    Course course;

    Camera camera;
    ShapeMesh box;
    Material boxMaterial;
    Light light;
    Sprite glyphs;
    Sprite codeImage;
    Sprite errorImage;
    Billboard flash;
    CanvasSprite grainTexture;
    CanvasSprite scanlineTexture;
    FeedbackBuffer feedback;
    ColorRect bars;
    // Both meshes are the scene's data and loaded (a missing one is reported like any other
    // file), but only core2 is drawn: the plain crystal core1 never shows.
    XFileMesh core1;
    XFileMesh core2;
    // Update steps since start, as stepCount is in the other scenes.
    int frameCount = 0;

  private:
    void loadImages();
    void fillGrain();
    void fillScanlines();
    void makeBox();
    void glideGrain();
    void brightenGlyphs();
    void drawCode();
    void drawRoom();
    void drawEmbers();
    void drawCore();
    void drawFlashes();
    void drawError();
    void drawGrain();
    void drawGlyphField();
    void drawRandomGlyph(double x, double y);
    void drawBars();
};
