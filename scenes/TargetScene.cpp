#include "scenes/TargetScene.h"

#include "app/GraphicsDevice.h"
#include "app/Random.h"
#include "crt.h"
#include "scenes/ViewSetup.h"

#include <algorithm>
#include <cmath>

namespace {
constexpr int washSteps = 512;
constexpr int flashFrames = 60;
constexpr int redLevelLimit = 192;
constexpr int blurSize = 128;
constexpr int blurRounds = 4;
constexpr float screenW = 800, screenH = 600;

// Turns a reticle image to the angle given and draws it whole, square, at (x, y).
void drawTurned(Sprite& sprite, int angle, double x, double y, float size) {
    sprite.setAngle(static_cast<float>(angle));
    sprite.drawWhole(static_cast<float>(x), static_cast<float>(y), 0, size, size);
}

// The whole screen and a little beyond, for washes and flashes.
void fillScreen(ColorRect& rect, int red, int green, int blue) {
    rect.setColor(red, green, blue);
    rect.drawRect(-10, -10, 0, 810, 610);
}
} // namespace

int TargetScene::init(GraphicsDevice* device_) {
    Scene::init(device_);
    IDirect3DDevice9* d = device->getDevice();
    setUpCamera(camera, *device);
    setUpWhiteLight(light, d, 0.7f, -0.5f, 0);
    for (RenderTarget& target : targets)
        target.create(device, 800, 600);
    screen.init(d);
    panel.init(d);
    innerTarget.load(d, "data\\target1.png");
    innerTarget.setTextureSize(256, 256);
    outerTarget.load(d, "data\\target2.png");
    outerTarget.setTextureSize(256, 256);
    fillPanels();
    return 0;
}

// Dim grey panels in a slab along x, then orange ones around it, never within 50 of x = 0.
void TargetScene::fillPanels() {
    crt::srand(1);
    for (int i = 0; i < greyPanels; ++i) {
        Panel& p = course.panels[i];
        p.red = p.green = p.blue = randomRange(0, 0.2f);
        p.x = randomRange(-350, 350);
        p.y = randomRange(-50, 50);
        p.z = randomRange(-50, 50);
        p.width = randomRange(2, 30);
        p.height = randomRange(2, 30);
        p.speed = randomRange(0.1f, 1.0f);
    }
    for (int i = greyPanels; i < panelCount; ++i) {
        Panel& p = course.panels[i];
        p.red = randomRange(0.7f, 1.0f);
        p.green = randomRange(0.3f, 0.5f);
        p.blue = static_cast<double>(0.1f);
        do {
            p.x = randomRange(-500, 500);
            p.y = randomRange(-350, 350);
            p.z = randomRange(-350, 350);
        } while (p.x >= -50 && p.x <= 50);
        p.width = randomRange(2, 30);
        p.height = randomRange(2, 30);
        p.speed = 0;
    }
}

int TargetScene::start() {
    setStartStates(D3DCULL_CCW);
    setFilter(D3DTEXF_GAUSSIANQUAD);
    stepCount = 0;
    return 0;
}

int TargetScene::update() {
    if (device->getMusicBar() >= swingBar) {
        course.redLevel += 4;
        if (course.redLevel >= redLevelLimit) course.redLevel = 0;
        for (Panel& p : course.panels)
            p.x += p.speed;
    }
    ++stepCount;
    return Stay;
}

D3DXVECTOR3 TargetScene::eyeAt(int f, int bar) {
    if (bar < swingBar) return {static_cast<float>(0.2 * f), 0, 0};
    return {static_cast<float>(100 * std::cos(f * static_cast<double>(1.0f / 140.0f))),
            static_cast<float>(100 * std::sin(0.01 * f)),
            static_cast<float>(150 * std::sin(0.005 * f))};
}

int TargetScene::draw() {
    const int bar = device->getMusicBar();
    targets[SceneTarget].begin();
    device->getDevice()->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 1.0f, 0);
    device->resetTextureStages();
    // At step 0 the eye sits on the point looked at: the view is flat and nothing 3D shows.
    camera.lookAt(eyeAt(stepCount, bar), D3DXVECTOR3(0, 0, 0), D3DXVECTOR3(0, 1, 0));
    camera.apply();
    light.enable();
    drawPanels();
    drawReticles(bar);
    drawBlur();
    if (stepCount <= washSteps) drawWash();
    if (bar >= swingBar) drawFlash();
    drawPillars();
    return 0;
}

// Added in any order: no depth writes, both faces.
void TargetScene::drawPanels() {
    IDirect3DDevice9* d = device->getDevice();
    device->setBlendMode(BlendMode::Additive);
    d->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    d->SetRenderState(D3DRS_ZWRITEENABLE, FALSE);
    for (const Panel& p : course.panels) {
        const D3DCOLORVALUE colour{static_cast<float>(p.red), static_cast<float>(p.green),
                                   static_cast<float>(p.blue), 0.0f};
        const D3DMATERIAL9 material{colour, colour, colour, colour, 0.0f};
        d->SetMaterial(&material);
        panel.drawRect(static_cast<float>(p.x), static_cast<float>(p.y), static_cast<float>(p.z),
                       static_cast<float>(p.width), static_cast<float>(p.height));
    }
    d->SetRenderState(D3DRS_ZWRITEENABLE, TRUE);
    d->SetRenderState(D3DRS_CULLMODE, D3DCULL_CCW);
}

// All three centred on (400, 300) before their shake; each shake draws its y offset first.
void TargetScene::drawReticles(int bar) {
    device->setBlendMode(BlendMode::Additive);
    const int f = stepCount;
    if (bar >= swingBar) {
        double r1 = randomRange(-5, 5), r2 = randomRange(-5, 5);
        drawTurned(innerTarget, f % 360 * 6, 336 + r2, 236 + r1, 128);
        r1 = randomRange(-15, 15);
        r2 = randomRange(-5, 5);
        drawTurned(outerTarget, -f % 360 * 4, 320 + r2, 220 + r1, 160);
        r1 = randomRange(-5, 5);
        r2 = randomRange(-15, 15);
        drawTurned(outerTarget, -f % 360 * 5, 320 + r2, 220 + r1, 160);
        return;
    }
    drawTurned(innerTarget, f % 360, 336, 236, 128);
    for (int copy = 0; copy < 2; ++copy) {
        const double r1 = randomRange(-5, 5), r2 = randomRange(-5, 5);
        drawTurned(outerTarget, -f % 360, 320 + r2, 220 + r1, 160);
    }
}

// Shrunk to 128 x 128 and stretched back four times, shifted to centre the smear, then the
// sharp picture added over it.
void TargetScene::drawBlur() {
    Sprite& sharp = *targets[SceneTarget].getSprite();
    Sprite& wide = *targets[BlurA].getSprite();
    Sprite& small = *targets[BlurB].getSprite();
    targets[BlurA].begin();
    device->setBlendMode(BlendMode::Off);
    sharp.drawWhole(0, 0, 0, screenW, screenH);
    for (int round = 0; round < blurRounds; ++round) {
        targets[BlurB].begin();
        wide.drawWhole(0, 0, 0, blurSize, blurSize);
        targets[BlurA].begin();
        small.draw(0, 0, 0, screenW, screenH, 0, 0, blurSize, blurSize);
    }
    targets[BlurA].end();
    wide.drawWhole(-14, -12, 0, screenW, screenH);
    device->setBlendMode(BlendMode::Additive);
    sharp.drawWhole(0, 0, 0, screenW, screenH);
    device->setBlendMode(BlendMode::Additive);
}

// A bright additive wash over the first 512 steps, red fading at half the speed of the rest.
void TargetScene::drawWash() {
    device->setBlendMode(BlendMode::Additive);
    const int red = std::max(0, static_cast<int>(255 - 0.5 * stepCount));
    const int rest = std::max(0, 255 - stepCount);
    fillScreen(screen, red, rest, rest);
}

// Counted in drawn frames: the red pulse on the first frame, then 59 white frames falling
// from 240 to 8, then the red pulse for good.
void TargetScene::drawFlash() {
    device->setBlendMode(BlendMode::Additive);
    int& countdown = course.flashCountdown;
    if (countdown > 1) {
        fillScreen(screen, 4 * countdown, 4 * countdown, 4 * countdown);
        --countdown;
    } else {
        fillScreen(screen, course.redLevel, 0, 0);
    }
    if (countdown == 0) countdown = flashFrames;
}

void TargetScene::drawPillars() {
    device->setBlendMode(BlendMode::Off);
    screen.setColor(0, 0, 0);
    screen.drawRect(-10, -10, 0, 85, 720);
    screen.drawRect(720, -10, 0, 85, 720);
}
