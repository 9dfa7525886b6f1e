#include "scenes/LogoScene.h"

#include "app/GraphicsDevice.h"
#include "app/Random.h"
#include "crt.h"
#include "scenes/Glow.h"
#include "scenes/ViewSetup.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>

namespace {
constexpr int noiseSize = 1024;
constexpr D3DCOLOR columnColour = 0xFFFF8020;
constexpr double spinSlowing = static_cast<double>(3e-05f);
constexpr double rise = static_cast<double>(0.1f);
constexpr float fullTurn = 6.2831855f;
constexpr float quarterTurn = 1.5707964f;

double widened(float value) {
    return static_cast<double>(value);
}
} // namespace

int LogoScene::init(GraphicsDevice* device_) {
    Scene::init(device_);
    IDirect3DDevice9* d = device->getDevice();
    setUpCamera(camera, *device);
    setUpWhiteLight(light, d, -1, -0.7f, 0.5f);
    fillNoise();
    screen.init(d);
    blade.setDevice(d);
    blade.createBox(0.5, 3.0, 1.0);
    bladeMaterial.setDiffuse(1.0, 0.1, 0.1);
    bladeMaterial.setSpecular(1.0, 0.1, 0.1);
    bladeMaterial.setEmissive(0.6, 0.1, 0.1);
    bladeMaterial.setAmbient(1.0, 0.1, 0.1);
    bladeMaterial.setPower(40.0);
    glowA.create(device, 800, 600);
    glowB.create(device, 800, 600);
    sceneTarget.create(device, 800, 600);
    fillColumn();
    for (Ring& ring : course.rings) {
        ring.radius = randomRange(10, 30);
        ring.direction = crt::rand() % 2;
    }
    logo.load(d, "data\\qln.png");
    logo.setTextureSize(512, 512);
    return 0;
}

// Colour noise from the Mersenne Twister seeded with 0: one output skipped, then red, green
// and blue for each texel.
void LogoScene::fillNoise() {
    noise.create(device->getDevice(), noiseSize, noiseSize);
    noise.setTextureSize(noiseSize, noiseSize);
    seedRandom(0);
    noise.fill(noiseSize, noiseSize, [](int, int) {
        nextRandom();
        const std::uint32_t r = nextRandom() & 0xFF;
        const std::uint32_t g = nextRandom() & 0xFF;
        const std::uint32_t b = nextRandom() & 0xFF;
        return 0xFF000000u + (r << 16) + (g << 8) + b;
    });
}

// A thin column up the tower's axis, from 150 below to 100 above.
void LogoScene::fillColumn() {
    column.init(device->getDevice(), columnPoints, "data\\particle2.png");
    for (int i = 0; i < columnPoints; ++i) {
        const double y = randomRange(-150, 100);
        const double x = randomRange(-1, 1);
        const double z = randomRange(-1, 1);
        column.setPoint(
            D3DXVECTOR3(static_cast<float>(x), static_cast<float>(y), static_cast<float>(z)),
            D3DXVECTOR3(0, 0, 0), columnColour, i);
    }
}

int LogoScene::start() {
    setStartStates(D3DCULL_NONE);
    stepCount = 0;
    return 0;
}

int LogoScene::update() {
    showBar();
    course.spinAngle += course.spinSpeed;
    course.spinSpeed -= spinSlowing;
    if (course.spinSpeed <= 0) course.spinSpeed = 0;
    course.cameraHeight += rise;
    colourBlades();
    ++stepCount;
    return Stay;
}

// The bar number as the window title; the buffer holds any int.
void LogoScene::showBar() {
    char text[12];
    std::snprintf(text, sizeof text, "%d", device->getMusicBar());
    SetWindowTextA(device->getWindow(), text);
}

// Red while turning fast, grey once still.
void LogoScene::colourBlades() {
    const double s = course.spinSpeed;
    const double g = (widened(0.2f) - widened(6.6666667f) * s) + widened(0.1f);
    const double red = 1.0 - (widened(0.7f) - widened(23.333333f) * s);
    const double glow = widened(0.6f) - (widened(0.1f) - widened(3.3333333f) * s);
    bladeMaterial.setDiffuse(red, g, g);
    bladeMaterial.setSpecular(red, g, g);
    bladeMaterial.setEmissive(glow, g, g);
    bladeMaterial.setAmbient(red, g, g);
    bladeMaterial.setPower(40.0);
}

int LogoScene::draw() {
    IDirect3DDevice9* d = device->getDevice();
    const auto h = static_cast<float>(course.cameraHeight);
    sceneTarget.begin();
    d->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 1.0f, 0);
    device->resetTextureStages();
    device->setBlendMode(BlendMode::Off);
    camera.lookAt(D3DXVECTOR3(10, h, 10), D3DXVECTOR3(0, 0.5f * h, 0), D3DXVECTOR3(0, 1, 0));
    camera.apply();
    light.enable();
    d->SetRenderState(D3DRS_CULLMODE, D3DCULL_CCW);
    drawNoise();
    drawRings();
    drawColumn();
    drawGlow(*device, sceneTarget, glowA, glowB, course.glowDivisor);
    drawLogo();
    drawWhite();
    device->setBlendMode(BlendMode::Off);
    screen.setColor(0, 0, 0);
    screen.drawRect(-10, -10, 0, 85, 720);
    screen.drawRect(720, -10, 0, 85, 720);
    setFilter(D3DTEXF_POINT);
    return 0;
}

// Shifted anew every frame through wrapping.
void LogoScene::drawNoise() {
    setAddress(D3DTADDRESS_WRAP);
    device->setBlendMode(BlendMode::Alpha);
    noise.setAlpha(64);
    const auto sy = static_cast<float>(randomRange(0, noiseSize));
    const auto sx = static_cast<float>(randomRange(0, noiseSize));
    noise.draw(0, 0, 0, noiseSize, noiseSize, sx, sy, noiseSize, noiseSize);
    setAddress(D3DTADDRESS_BORDER);
}

void LogoScene::drawRings() {
    IDirect3DDevice9* d = device->getDevice();
    for (int i = 0; i < ringCount; ++i) {
        device->setBlendMode(BlendMode::Additive);
        d->SetRenderState(D3DRS_ZWRITEENABLE, FALSE);
        drawRing(course.rings[i], static_cast<float>(100 - 10 * i));
        d->SetRenderState(D3DRS_ZWRITEENABLE, TRUE);
        device->setBlendMode(BlendMode::Off);
    }
}

// One blade for every whole number below the radius, standing round the ring and turning
// with the spin one way or the other.
void LogoScene::drawRing(const Ring& ring, float y) {
    IDirect3DDevice9* d = device->getDevice();
    const double radius = ring.radius;
    D3DXMATRIX upright;
    D3DXMatrixRotationX(&upright, quarterTurn);
    for (int j = 0; j < radius; ++j) {
        const double t = j / radius * widened(fullTurn);
        const double p = t + course.spinAngle;
        const bool forward = ring.direction == 1;
        const auto x = static_cast<float>(radius * std::cos(p));
        const auto z = static_cast<float>(forward ? radius * std::sin(p) : -radius * std::sin(p));
        D3DXMATRIX turn, place, world;
        D3DXMatrixRotationY(&turn, static_cast<float>(forward ? -p : p));
        D3DXMatrixTranslation(&place, x, y, z);
        D3DXMatrixMultiply(&world, &upright, &turn);
        D3DXMatrixMultiply(&world, &world, &place);
        d->SetTransform(D3DTS_WORLD, &world);
        blade.drawWithMaterial(bladeMaterial);
    }
}

void LogoScene::drawColumn() {
    light.disable();
    D3DXMATRIX origin;
    D3DXMatrixTranslation(&origin, 0, 0, 0);
    device->getDevice()->SetTransform(D3DTS_WORLD, &origin);
    device->setBlendMode(BlendMode::Additive);
    column.draw();
    device->setBlendMode(BlendMode::Off);
}

// Shaking slightly, its brightness pulsing 96..159 over 64 steps.
void LogoScene::drawLogo() {
    const int c = stepCount % 64 + 96;
    logo.setColor(c, c, c);
    const double r1 = randomRange(-2, 2);
    const double r2 = randomRange(-2, 2);
    logo.drawWhole(static_cast<float>(144 + r2), static_cast<float>(108 + r1), 0, 512, 512);
    device->setBlendMode(BlendMode::Alpha);
}

// From bar 81, counted in drawn frames: alpha 0, 2, ..., 254, then opaque white.
void LogoScene::drawWhite() {
    if (device->getMusicBar() < whiteBar) return;
    screen.setColor(255, 255, 255);
    screen.setAlpha(static_cast<unsigned char>(course.whiteLevel));
    course.whiteLevel = std::min(255, course.whiteLevel + 2);
    screen.drawRect(0, 0, 0, 800, 600);
}
