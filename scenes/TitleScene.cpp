#include "scenes/TitleScene.h"

#include "app/GraphicsDevice.h"
#include "app/Random.h"

#include <cstdint>

namespace {
constexpr int noiseSize = 1024;
constexpr double jitterStep = static_cast<double>(0.08f);
constexpr double jitterFloor = 5.0;
constexpr int doorsLastStep = -255;
constexpr int pillarBar = 4;
} // namespace

int TitleScene::init(GraphicsDevice* device_) {
    Scene::init(device_);
    IDirect3DDevice9* d = device->getDevice();
    title.load(d, "data\\lf.png");
    title.setTextureSize(512, 512);
    noise.create(d, noiseSize, noiseSize);
    noise.setTextureSize(noiseSize, noiseSize);
    fillNoise();
    veil.init(d);
    return 0;
}

// Grey static from the Mersenne Twister seeded with 0, so every run shows the same picture.
void TitleScene::fillNoise() {
    seedRandom(0);
    noise.fill(noiseSize, noiseSize, [](int, int) {
        const std::uint32_t v = nextRandom() & 0xFF;
        return 0xFF000000u | v << 16 | v << 8 | v;
    });
}

int TitleScene::start() {
    setStartStates(D3DCULL_NONE);
    stepCount = 0;
    return 0;
}

int TitleScene::update() {
    ++stepCount;
    const auto reach = static_cast<float>(course.jitter);
    for (int i = 0; i < copies; ++i) {
        course.offsetX[i] = static_cast<int>(randomRange(-reach, reach));
        course.offsetY[i] = static_cast<int>(randomRange(-reach, reach));
    }
    course.jitter -= jitterStep;
    if (course.jitter <= jitterFloor) course.jitter = jitterFloor;
    --course.doorCounter;
    if (device->getMusicBar() >= pillarBar) {
        course.pillarAlpha += 1.0;
        if (course.pillarAlpha >= 255.0) course.pillarAlpha = 255.0;
    }
    return Stay;
}

int TitleScene::draw() {
    IDirect3DDevice9* d = device->getDevice();
    d->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 1.0f, 0);
    if (stepCount <= 1) return 0;
    drawTitle();
    drawNoise();
    drawVeil();
    device->setBlendMode(BlendMode::Off);
    setFilter(D3DTEXF_GAUSSIANQUAD);
    return 0;
}

void TitleScene::drawTitle() {
    device->resetTextureStages();
    device->setBlendMode(BlendMode::Additive);
    for (int i = 0; i < copies; ++i)
        title.drawWhole(static_cast<float>(144 + course.offsetX[i]),
                        static_cast<float>(44 + course.offsetY[i]), 0, 512, 512);
}

// One texel per pixel, wrapped, shifted anew every frame.
void TitleScene::drawNoise() {
    setFilter(D3DTEXF_POINT);
    setAddress(D3DTADDRESS_WRAP);
    device->setBlendMode(BlendMode::Alpha);
    noise.setAlpha(32);
    const auto v = static_cast<float>(randomRange(0, noiseSize));
    const auto u = static_cast<float>(randomRange(0, noiseSize));
    noise.draw(0, 0, 0, noiseSize, noiseSize, u, v, noiseSize, noiseSize);
}

void TitleScene::drawVeil() {
    setFilter(D3DTEXF_GAUSSIANQUAD);
    setAddress(D3DTADDRESS_BORDER);
    device->setBlendMode(BlendMode::Alpha);
    veil.setColor(0, 0, 0);
    const int doors = course.doorCounter;
    if (doors >= doorsLastStep) {
        veil.drawRect(static_cast<float>(doors), 0, 0, 400, 600);
        veil.drawRect(static_cast<float>(400 - doors), 0, 0, 400, 600);
        // The opacity for the next frame: 255 closed, falling by one a step.
        veil.setAlpha(static_cast<unsigned char>((doors - 1) & 0xFF));
    } else {
        veil.setAlpha(static_cast<unsigned char>(static_cast<int>(course.pillarAlpha)));
        veil.drawRect(-10, -10, 0, 85, 720);
        veil.drawRect(720, -10, 0, 85, 720);
    }
}
