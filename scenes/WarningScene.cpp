#include "scenes/WarningScene.h"

#include "app/GraphicsDevice.h"
#include "app/Random.h"
#include "crt.h"
#include "scenes/Glow.h"
#include "scenes/ViewSetup.h"

#include <cmath>

namespace {
constexpr double degrees = static_cast<double>(0.017453292f);
constexpr double pulseStep = 0.003921568685886907;
constexpr double strutAlphaStep = static_cast<double>(1.0f / 255.0f);
constexpr D3DCOLOR sparkColour = 0xFFFF4008;
constexpr int cubeSpacing = 30;
constexpr int fadeSteps = 90;

void setColours(Material& material, double r, double g, double b) {
    material.setDiffuse(r, g, b);
    material.setSpecular(r, g, b);
    material.setDiffuse(r, g, b);
    material.setAmbient(r, g, b);
}

// 300 or more comes back in at 0, below 0 at 300.
double wrap(double v) {
    if (v >= 300.0) return 0.0;
    if (v < 0.0) return 300.0;
    return v;
}

D3DXMATRIX translation(float x, float y, float z) {
    D3DXMATRIX m;
    D3DXMatrixTranslation(&m, x, y, z);
    return m;
}
} // namespace

int WarningScene::init(GraphicsDevice* device_) {
    Scene::init(device_);
    IDirect3DDevice9* d = device->getDevice();
    setUpCamera(camera, *device);
    setUpWhiteLight(light, d, -1, -2, 2);
    light.setAmbient(0.2, 0.2, 0.2);
    nodeCube.setDevice(d);
    nodeCube.createShape(ShapeKind::Cube, 3.0);
    setColours(nodeMaterial, 0.7, 0.1, 0.3);
    verticalStrut.setDevice(d);
    verticalStrut.createBox(0.5, 40.0, 0.5);
    setColours(verticalMaterial, 0.7, 0.3, 0.1);
    horizontalStrut.setDevice(d);
    horizontalStrut.createBox(50.0, 0.5, 0.5);
    setColours(horizontalMaterial, 0.7, 0.3, 0.1);
    warningSign.load(d, "data\\warning.png");
    warningSign.setTextureSize(512, 512);
    glowA.create(device, 800, 600);
    glowB.create(device, 800, 600);
    sceneTarget.create(device, 800, 600);
    screen.init(d);
    sparks.init(d, sparkCount, "data\\particle.png");
    fillSparks();
    sparks.setPointSize(5.0f);
    return 0;
}

// Each spark starts on a lattice point travelling along one axis, either way.
void WarningScene::fillSparks() {
    for (int a = 0; a < sparkSide; ++a)
        for (int m = 0; m < sparkSide; ++m)
            for (int n = 0; n < sparkSide; ++n) {
                Spark& s = course.sparks[a + sparkSide * m + sparkSide * sparkSide * n];
                s.x = 60.0 * a;
                s.y = 60.0 * m;
                s.z = 60.0 * n;
                const int axis = crt::rand() % 3;
                const double sign = crt::rand() % 2 ? -1.0 : 1.0;
                if (axis == 0) {
                    s.vx = sign;
                    s.vy = s.vz = 0;
                } else if (axis == 1) {
                    s.vy = sign; // vx keeps what it had
                    s.vz = 0;
                } else {
                    s.vz = sign;
                    s.vx = s.vy = 0;
                }
            }
}

int WarningScene::start() {
    setStartStates(D3DCULL_NONE);
    stepCount = 0;
    return 0;
}

int WarningScene::update() {
    ++stepCount;
    course.flicker += 10;
    if (course.flicker >= 255) course.flicker = 0;
    const int bar = device->getMusicBar();
    if (bar < 16) {
        course.pulse += pulseStep;
        if (course.pulse >= static_cast<double>(0.8f)) course.pulse = static_cast<double>(0.7f);
    }
    setNodeColour();
    moveSparks();
    if (bar == 15) {
        course.strutOpacity = std::max(0, course.strutOpacity - 4);
        course.backgroundGrey = std::max(0, course.backgroundGrey - 4);
    } else if (bar > 15) {
        course.strutOpacity = 0;
    }
    return Stay;
}

void WarningScene::setNodeColour() {
    const double p = course.pulse;
    setColours(nodeMaterial, p, p - static_cast<double>(0.6f), p - static_cast<double>(0.7f));
}

void WarningScene::moveSparks() {
    for (int a = 0; a < sparkSide; ++a)
        for (int m = 0; m < sparkSide; ++m)
            for (int n = 0; n < sparkSide; ++n) {
                const int index = a + sparkSide * m + sparkSide * sparkSide * n;
                Spark& s = course.sparks[index];
                sparks.setPoint(D3DXVECTOR3(static_cast<float>(s.x), static_cast<float>(s.y),
                                            static_cast<float>(s.z)),
                                D3DXVECTOR3(0, 0, 0), sparkColour, index);
                s.x = wrap(s.x + s.vx);
                s.y = wrap(s.y + s.vy);
                s.z = wrap(s.z + s.vz);
            }
}

D3DXVECTOR3 WarningScene::eyeAt(int f, int bar) {
    const D3DXVECTOR3 orbit(static_cast<float>(150 + 50 * std::cos(f * degrees)),
                            static_cast<float>(150 + 50 * std::sin((1.2 * f + 32) * degrees)),
                            static_cast<float>(150 + 50 * std::sin((f + 128) * degrees)));
    if (bar >= 16 || f <= 120 || (f > 240 && f <= 360) || (f > 480 && f <= 660)) return orbit;
    if (f <= 240)
        return {150.0f, static_cast<float>(150 + 0.5 * f), static_cast<float>(150 + 0.5 * f)};
    if (f <= 480) {
        const int q = f % 120;
        return {static_cast<float>(150 + 0.25 * q), static_cast<float>(150 + q),
                static_cast<float>(150 + q / 3.0)};
    }
    const auto rising = static_cast<float>(150 + 0.1 * (f + 60));
    return {rising, rising, rising};
}

int WarningScene::draw() {
    const int bar = device->getMusicBar();
    device->resetTextureStages();
    sceneTarget.begin();
    clearBackground(bar);
    setFilter(D3DTEXF_POINT);
    if (bar >= 16) drawSign();
    setFilter(D3DTEXF_LINEAR);
    // The eye may sit on the point looked at (step 480): the view is then flat, not NaN.
    camera.lookAt(eyeAt(stepCount, bar), D3DXVECTOR3(150, 150, 150), D3DXVECTOR3(0, 1, 0));
    camera.apply();
    light.enable();
    drawLattice(bar);
    drawSparks();
    drawGlow(*device, sceneTarget, glowA, glowB, course.glowDivisor);
    device->setBlendMode(BlendMode::Off);
    drawFrame();
    return 0;
}

void WarningScene::clearBackground(int bar) {
    D3DCOLOR colour = 0xFFFFFFFF;
    if (bar >= 16) {
        colour = 0xFF000000;
    } else if (bar == 15) {
        const auto g = static_cast<D3DCOLOR>(course.backgroundGrey);
        colour = 0xFF000000 | g << 16 | g << 8 | g;
    }
    device->getDevice()->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, colour, 1.0f, 0);
}

// Six shaken copies of the sign's 320 x 120 corner, premultiplied.
void WarningScene::drawSign() {
    warningSign.setAlpha(course.flicker);
    device->setBlendMode(BlendMode::Premultiplied);
    for (int i = 0; i < 6; ++i) {
        const auto r1 = static_cast<float>(randomRange(-5, 5));
        const auto r2 = static_cast<float>(randomRange(-5, 5));
        warningSign.draw(50 + r2, 70 + r1, 0, 320, 120, 0, 0, 320, 120);
    }
}

void WarningScene::drawLattice(int bar) {
    IDirect3DDevice9* d = device->getDevice();
    D3DXMATRIX turn;
    D3DXMatrixIdentity(&turn);
    if (bar >= 16) {
        const float f = static_cast<float>(stepCount);
        D3DXMATRIX x, y, z;
        D3DXMatrixRotationX(&x, 0.1f * f);
        D3DXMatrixRotationY(&y, 0.05f * f);
        D3DXMatrixRotationZ(&z, 0.03125f * f);
        D3DXMatrixMultiply(&turn, &x, &y);
        D3DXMatrixMultiply(&turn, &turn, &z);
    }
    d->SetRenderState(D3DRS_CULLMODE, D3DCULL_CCW);
    const int opacity = course.strutOpacity;
    const int last = opacity == 0 ? 420 : 270;
    for (int x = 0; x <= last; x += cubeSpacing)
        for (int y = 0; y <= last; y += cubeSpacing)
            for (int z = 0; z <= last; z += cubeSpacing) {
                D3DXMATRIX world;
                const D3DXMATRIX place = translation(static_cast<float>(x), static_cast<float>(y),
                                                     static_cast<float>(z));
                D3DXMatrixMultiply(&world, &turn, &place);
                d->SetTransform(D3DTS_WORLD, &world);
                device->setBlendMode(BlendMode::Off);
                nodeCube.drawWithMaterial(nodeMaterial);
                if (opacity == 0) continue;
                if (opacity < 255) {
                    device->setBlendMode(BlendMode::Alpha);
                    verticalMaterial.setAlpha(opacity * strutAlphaStep);
                    horizontalMaterial.setAlpha(opacity * strutAlphaStep);
                }
                verticalStrut.drawWithMaterial(verticalMaterial);
                horizontalStrut.drawWithMaterial(horizontalMaterial);
            }
}

void WarningScene::drawSparks() {
    IDirect3DDevice9* d = device->getDevice();
    d->SetRenderState(D3DRS_LIGHTING, FALSE);
    const D3DXMATRIX origin = translation(0, 0, 0);
    d->SetTransform(D3DTS_WORLD, &origin);
    device->resetTextureStages();
    device->setBlendMode(BlendMode::Alpha);
    sparks.draw();
    device->setBlendMode(BlendMode::Off);
    d->SetRenderState(D3DRS_LIGHTING, TRUE);
}

// The fade in from black over the first 90 steps, then the side bars.
void WarningScene::drawFrame() {
    if (stepCount <= fadeSteps) {
        device->setBlendMode(BlendMode::Alpha);
        screen.setColor(0, 0, 0);
        screen.setAlpha(static_cast<unsigned char>(static_cast<int>(255 - 2.8333333f * stepCount)));
        screen.drawRect(-10, -10, 0, 960.00006f, 720);
        device->setBlendMode(BlendMode::Off);
    }
    screen.setColor(0, 0, 0);
    screen.drawRect(-10, -10, 0, 85, 720);
    screen.drawRect(720, -10, 0, 85, 720);
}
