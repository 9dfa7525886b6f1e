#include "scenes/CoreScene.h"

#include "app/GraphicsDevice.h"
#include "app/Random.h"
#include "crt.h"
#include "scenes/ViewSetup.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace {
constexpr int canvasSize = 1024;
constexpr int scrollLength = 506; // the code image's tiling distance
constexpr int scrollSpeed = 3;
constexpr int glideSteps = 30;
constexpr int calmerGrainStep = 240; // grain targets rise to 64..128 after this step
constexpr int glyphStartStep = 240;
constexpr double glyphStep = static_cast<double>(0.2f);
constexpr double revealBrightness = 120;
constexpr double fullBrightness = 200;
constexpr int revealSteps = 60;
constexpr int fullReveal = 10;
constexpr int firstLetterReveal = 3; // letter i shows from reveal count i + 3
constexpr double flashLife = 100;
constexpr int glyphPitch = 32;
constexpr int nameRow = 256;
constexpr int nameLeft = 256, nameRight = 480;
constexpr int cell = 48;
constexpr int digitRow = 192;
constexpr char eventName[] = "ZEPHYRAL";

std::uint32_t grey(std::uint32_t v) {
    return 0xFF000000u | v << 16 | v << 8 | v;
}

D3DXMATRIX translation(float x, float y, float z) {
    D3DXMATRIX m;
    D3DXMatrixTranslation(&m, x, y, z);
    return m;
}

D3DXMATRIX product(std::initializer_list<D3DXMATRIX> factors) {
    D3DXMATRIX out;
    D3DXMatrixIdentity(&out);
    for (const D3DXMATRIX& m : factors)
        D3DXMatrixMultiply(&out, &out, &m);
    return out;
}

D3DXMATRIX rotationX(float angle) {
    D3DXMATRIX m;
    D3DXMatrixRotationX(&m, angle);
    return m;
}

D3DXMATRIX rotationY(float angle) {
    D3DXMATRIX m;
    D3DXMatrixRotationY(&m, angle);
    return m;
}

D3DXMATRIX rotationZ(float angle) {
    D3DXMATRIX m;
    D3DXMatrixRotationZ(&m, angle);
    return m;
}
} // namespace

int CoreScene::init(GraphicsDevice* device_) {
    Scene::init(device_);
    IDirect3DDevice9* d = device->getDevice();
    setUpCamera(camera, *device);
    setUpWhiteLight(light, d, -0.7f, -0.8f, 0.3f);
    light.setAmbient(1, 1, 1);
    loadImages();
    fillGrain();
    fillScanlines();
    bars.init(d);
    feedback.create(device, 800, 600);
    makeBox();
    course.embers.init(device, emberCount);
    core1.load(d, "data\\core1.x");
    core2.load(d, "data\\core2.x");
    for (double& age : course.flashAges)
        age = crt::rand() % 50 + 10;
    return 0;
}

void CoreScene::loadImages() {
    IDirect3DDevice9* d = device->getDevice();
    glyphs.load(d, "data\\abc.png");
    glyphs.setTextureSize(512, 512);
    codeImage.load(d, "data\\code.png");
    codeImage.setTextureSize(512, 512);
    flash.load(d, "data\\flash.png");
    errorImage.load(d, "data\\error.png");
    errorImage.setTextureSize(512, 512);
}

void CoreScene::fillGrain() {
    grainTexture.create(device->getDevice(), canvasSize, canvasSize);
    grainTexture.setTextureSize(canvasSize, canvasSize);
    seedRandom(0);
    grainTexture.fill(canvasSize, canvasSize, [](int, int) { return grey(nextRandom() & 0xFF); });
}

// Two rows of dim noise, two black: a random draw for every texel all the same.
void CoreScene::fillScanlines() {
    scanlineTexture.create(device->getDevice(), canvasSize, canvasSize);
    scanlineTexture.setTextureSize(canvasSize, canvasSize);
    seedRandom(0);
    scanlineTexture.fill(canvasSize, canvasSize, [](int, int row) {
        const std::uint32_t v = nextRandom() & 0xFF;
        if (row % 4 >= 2) return grey(0);
        return grey(v >= 127 ? v - 127 : 0);
    });
}

void CoreScene::makeBox() {
    box.setDevice(device->getDevice());
    box.createShape(ShapeKind::Cube, 5.0);
    boxMaterial.setDiffuse(0.7, 0.5, 0.5);
    boxMaterial.setSpecular(1.0, 0.8, 0.8);
    boxMaterial.setAmbient(0.4, 0.2, 0.2);
    boxMaterial.setEmissive(0.4, 0.2, 0.2);
    boxMaterial.setPower(100);
}

int CoreScene::start() {
    setStartStates(D3DCULL_NONE);
    frameCount = 0;
    return 0;
}

int CoreScene::update() {
    ++frameCount;
    course.scrollOffset += scrollSpeed;
    if (course.scrollOffset >= scrollLength) course.scrollOffset = 0;
    glideGrain();
    for (double& age : course.flashAges) {
        age += 1.0;
        if (age >= flashLife) age = 0;
    }
    brightenGlyphs();
    course.embers.stepAll();
    return Stay;
}

// Straight 30-step glides toward random targets, with one step spent choosing in between.
void CoreScene::glideGrain() {
    if (course.glidePhase == Choose) {
        course.grainStep = (course.grainTarget - course.grainAlpha) * 0.03333333333333333;
        course.glidePhase = Glide;
        course.glideCounter = 0;
        return;
    }
    course.grainAlpha += course.grainStep;
    if (++course.glideCounter < glideSteps) return;
    course.glidePhase = Choose;
    course.grainTarget = frameCount > calmerGrainStep ? randomRange(64, 128) : randomRange(16, 128);
}

// The glyphs brighten from step 240; once bright enough the name is revealed a level a second.
void CoreScene::brightenGlyphs() {
    if (frameCount >= glyphStartStep) course.glyphBrightness += glyphStep;
    bool revealing = course.glyphBrightness >= revealBrightness;
    if (course.glyphBrightness >= fullBrightness) {
        course.glyphBrightness = fullBrightness;
        revealing = true;
    }
    if (!revealing || --course.revealTimer > 0) return;
    course.revealCount = std::min(fullReveal, course.revealCount + 1);
    course.revealTimer = revealSteps;
}

int CoreScene::draw() {
    feedback.begin();
    device->getDevice()->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 1.0f, 0);
    device->resetTextureStages();
    const double t = frameCount * 0.01;
    camera.lookAt(
        D3DXVECTOR3(static_cast<float>(50 * std::cos(t)), 50, static_cast<float>(50 * std::sin(t))),
        D3DXVECTOR3(0, 0, 0), D3DXVECTOR3(0, 1, 0));
    camera.apply();
    device->setBlendMode(BlendMode::Additive);
    drawCode();
    light.enable();
    drawRoom();
    drawEmbers();
    drawCore();
    drawFlashes();
    drawError();
    device->setBlendMode(BlendMode::Alpha);
    feedback.setFeedbackAlpha(192);
    feedback.drawAndSwap(FeedbackBuffer::Plain, -15.0); // a plain echo does not use the amount
    drawGrain();
    drawGlyphField();
    drawBars();
    return 0;
}

// Two copies 506 px apart, moving down three pixels a step.
void CoreScene::drawCode() {
    codeImage.setColor(255, 127, 127);
    codeImage.setAngle(-135);
    const auto offset = static_cast<float>(course.scrollOffset);
    codeImage.drawWhole(75, offset - scrollLength, 0, 512, 512);
    codeImage.drawWhole(75, offset, 0, 512, 512);
}

// The six faces of a 20 x 20 x 20 lattice 10 apart, each box trembling by up to a unit.
void CoreScene::drawRoom() {
    IDirect3DDevice9* d = device->getDevice();
    const auto onWall = [](int v) { return v == -100 || v == 90; };
    device->setBlendMode(BlendMode::Off);
    for (int a = -100; a <= 90; a += 10)
        for (int b = -100; b <= 90; b += 10)
            for (int c = -100; c <= 90; c += 10) {
                if (!onWall(a) && !onWall(b) && !onWall(c)) continue;
                const double rz = randomRange(-1, 1);
                const double ry = randomRange(-1, 1);
                const double rx = randomRange(-1, 1);
                const D3DXMATRIX world =
                    translation(static_cast<float>(a + rx), static_cast<float>(b + ry),
                                static_cast<float>(c + rz));
                d->SetTransform(D3DTS_WORLD, &world);
                box.drawWithMaterial(boxMaterial);
            }
}

void CoreScene::drawEmbers() {
    const D3DXMATRIX identity = translation(0, 0, 0);
    device->getDevice()->SetTransform(D3DTS_WORLD, &identity);
    device->setBlendMode(BlendMode::Additive);
    light.disable();
    course.embers.draw();
    light.enable();
}

// Eight additive copies at a tenth of the mesh's size, each turned its own way.
void CoreScene::drawCore() {
    IDirect3DDevice9* d = device->getDevice();
    d->SetRenderState(D3DRS_ZWRITEENABLE, FALSE);
    device->setBlendMode(BlendMode::Additive);
    D3DXMATRIX scale;
    D3DXMatrixScaling(&scale, 0.1f, 0.1f, 0.1f);
    const auto f = static_cast<float>(frameCount);
    for (int k = 0; k < 8; ++k) {
        const D3DXMATRIX world =
            product({scale, rotationX(static_cast<float>(k) + f * 0.0083333338f),
                     rotationY(f * 0.05f + static_cast<float>(k) * 0.52359879f), rotationZ(0),
                     translation(0, 0, 0)});
        d->SetTransform(D3DTS_WORLD, &world);
        core2.draw();
    }
    d->SetRenderState(D3DRS_ZWRITEENABLE, TRUE);
}

// Thirty flat squares up the vertical axis, each growing from nothing to 100 units while its
// orange falls to black.
void CoreScene::drawFlashes() {
    IDirect3DDevice9* d = device->getDevice();
    d->SetRenderState(D3DRS_ZWRITEENABLE, FALSE);
    device->setBlendMode(BlendMode::Additive);
    D3DMATERIAL9 material{};
    const D3DXMATRIX flat = product({rotationX(1.5707964f), translation(0, 0, 0)});
    d->SetTransform(D3DTS_WORLD, &flat);
    for (int j = 0; j < flashCount; ++j) {
        const double a = course.flashAges[j];
        const double f = 1 - 0.01 * a;
        const D3DCOLORVALUE colour{static_cast<float>(f), static_cast<float>(f / 3),
                                   static_cast<float>(f / 10), 0.0f};
        material.Diffuse = material.Ambient = material.Specular = material.Emissive = colour;
        d->SetMaterial(&material);
        const auto size = static_cast<float>(a);
        flash.drawTextured(-size / 2, -size / 2, 2.5f * static_cast<float>(j) - 37.5f, size, size);
    }
    d->SetRenderState(D3DRS_ZWRITEENABLE, TRUE);
    const D3DXMATRIX identity = translation(0, 0, 0);
    d->SetTransform(D3DTS_WORLD, &identity);
    light.enable();
}

void CoreScene::drawError() {
    device->setBlendMode(BlendMode::Additive);
    for (int i = 0; i < 5; ++i) {
        const double ry = randomRange(-5, 5);
        const double rx = randomRange(-5, 5);
        errorImage.drawWhole(static_cast<float>(400 + rx), static_cast<float>(370 + ry), 0, 512,
                             512);
    }
}

// Grain and scanlines straight onto the screen, shifted anew every frame through wrapping.
void CoreScene::drawGrain() {
    setAddress(D3DTADDRESS_WRAP);
    device->setBlendMode(BlendMode::Alpha);
    grainTexture.setAlpha(static_cast<int>(course.grainAlpha));
    const auto v = static_cast<float>(randomRange(0, canvasSize));
    const auto u = static_cast<float>(randomRange(0, canvasSize));
    grainTexture.draw(0, 0, 0, canvasSize, canvasSize, u, v, canvasSize, canvasSize);
    // Twice the grain's opacity, held at opaque rather than wrapping to clear.
    scanlineTexture.setAlpha(std::min(255, static_cast<int>(2 * course.grainAlpha)));
    const auto shift = static_cast<float>(randomRange(0, canvasSize));
    scanlineTexture.draw(0, 0, 0, canvasSize, canvasSize, shift, 0, canvasSize, canvasSize);
    setFilter(D3DTEXF_GAUSSIANQUAD);
    device->setBlendMode(BlendMode::Off);
    device->setBlendMode(BlendMode::Additive);
    setFilter(D3DTEXF_GAUSSIANQUAD);
}

// Flickering letters and digits over the whole screen, brightening; the event's name decoded
// letter by letter in the middle row.
void CoreScene::drawGlyphField() {
    const int g = static_cast<int>(course.glyphBrightness);
    glyphs.setColor(g, g, g);
    const int reveal = course.revealCount;
    for (int i = 0; i < 8; ++i) {
        if (reveal < i + firstLetterReveal) continue;
        const double x0 = nameLeft + glyphPitch * i;
        for (int copy = 0; copy < 4; ++copy) {
            const double ry = randomRange(-2, 2);
            const double rx = randomRange(-2, 2);
            drawColoredGlyph(x0 + rx, nameRow + ry, eventName[i], 255, 64, 8);
        }
    }
    glyphs.setColor(g, g, g);
    const int shown = reveal >= firstLetterReveal ? reveal + 6 : 8;
    for (int x = glyphPitch * shown; x <= nameRight; x += glyphPitch)
        drawRandomGlyph(x, nameRow);
    for (int x = 0; x <= canvasSize; x += glyphPitch)
        for (int y = 0; y <= canvasSize; y += glyphPitch) {
            if (y == nameRow && x >= nameLeft && x <= nameRight) continue;
            drawRandomGlyph(x, y);
        }
}

// Half the cells stay empty; the rest are a letter or a digit, even odds.
void CoreScene::drawRandomGlyph(double x, double y) {
    if (crt::rand() % 2 == 1) return;
    const bool letter = crt::rand() % 2 == 0;
    const auto code = static_cast<char>(letter ? static_cast<int>(randomRange(65, 90))
                                               : static_cast<int>(randomRange(48, 57)));
    drawGlyph(x, y, code);
}

void CoreScene::drawGlyph(double x, double y, char code) {
    const bool digit = code >= '0' && code <= '9';
    if (!digit && !(code >= 'A' && code <= 'Z')) return; // no cell for it on the sheet
    const int index = digit ? code - '0' : code - 'A';
    const int u = cell * (index % 8);
    // The sheet has room for eight digits: 8 and 9 show the cells of 0 and 1.
    const int v = digit ? digitRow : cell * (index / 8);
    glyphs.draw(static_cast<float>(x), static_cast<float>(y), 0, 24, 24, static_cast<float>(u),
                static_cast<float>(v), cell, cell);
}

void CoreScene::drawColoredGlyph(double x, double y, char code, int red, int green, int blue) {
    glyphs.setColor(red, green, blue);
    drawGlyph(x, y, code);
}

void CoreScene::drawBars() {
    device->setBlendMode(BlendMode::Off);
    setFilter(D3DTEXF_GAUSSIANQUAD);
    device->setBlendMode(BlendMode::Off);
    bars.setColor(0, 0, 0);
    bars.drawRect(-10, -10, 0, 85, 720);
    bars.drawRect(720, -10, 0, 85, 720);
}
