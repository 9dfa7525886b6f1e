#include "scenes/RingScene.h"

#include "app/GraphicsDevice.h"
#include "app/Random.h"
#include "scenes/ViewSetup.h"

#include <cmath>

namespace {
constexpr float ringRadius = 500;
constexpr float pointAngle = 0.00061359233f; // 2 pi / 10,240
constexpr D3DCOLOR firstColour = 0xFF207FFF;
constexpr int nameSteps = 16; // the name and the true picture show at r = 0..15
constexpr int washSteps = 26; // back to the negative from r = 26
constexpr int feedbackHalf = 128;
constexpr double scriptStep = static_cast<double>(0.3f);
constexpr double fadeRed = static_cast<double>(0.08f);
constexpr double fadeGreenBlue = static_cast<double>(0.134f);

// One colour-script move toward a level, stopping on it; true once there.
bool rise(double& value, double level) {
    value += scriptStep;
    if (value >= level) value = level;
    return value == level;
}

bool fall(double& value, double level) {
    value -= scriptStep;
    if (value <= level) value = level;
    return value == level;
}

void fade(double& value, double by) {
    value -= by;
    if (value <= 0) value = 0;
}

D3DCOLOR channel(double value, int shift) {
    return (static_cast<D3DCOLOR>(static_cast<int>(value)) & 0xFF) << shift;
}

// A point on the flight path, k steps along the ring.
D3DXVECTOR3 onPath(int k) {
    return {static_cast<float>(ringRadius * std::cos(0.005 * k)), 0,
            static_cast<float>(ringRadius * std::sin(0.005 * k))};
}
} // namespace

int RingScene::init(GraphicsDevice* device_) {
    Scene::init(device_);
    IDirect3DDevice9* d = device->getDevice();
    setUpCamera(camera, *device);
    setUpWhiteLight(light, d, -1, -1, 1);
    screen.init(d);
    ring.init(d, pointCount, "data\\particle2.png");
    fillRing();
    ring.setPointSize(4.0f);
    trail.create(device, 800, 600);
    firstName.load(d, "data\\name1.png");
    firstName.setTextureSize(512, 512);
    secondName.load(d, "data\\name2.png");
    secondName.setTextureSize(512, 512);
    return 0;
}

// Points round the circle of radius 500, each jittered by up to 10 units on every axis.
void RingScene::fillRing() {
    for (int i = 0; i < pointCount; ++i) {
        const float a = static_cast<float>(i) * pointAngle;
        const double r1 = randomRange(-10, 10);
        const double r2 = randomRange(-10, 10);
        const double r3 = randomRange(-10, 10);
        const D3DXVECTOR3 position(static_cast<float>(ringRadius * std::cos(a) + r1),
                                   static_cast<float>(r2),
                                   static_cast<float>(ringRadius * std::sin(a) + r3));
        ring.setPoint(position, D3DXVECTOR3(0, 0, 0), firstColour, i);
    }
}

int RingScene::start() {
    setStartStates(D3DCULL_NONE);
    stepCount = 0;
    return 0;
}

int RingScene::update() {
    ++course.flightCount;
    ++stepCount;
    if (stepCount == flashPeriod) course.namePhase = FirstIn;
    runNameScript();
    runRingScript();
    paintRing();
    return Stay;
}

void RingScene::runNameScript() {
    int& tint = course.nameTint;
    switch (course.namePhase) {
    case FirstIn:
    case SecondIn:
        course.nameX += course.namePhase == FirstIn ? 1 : -1;
        if (++tint >= 255) {
            tint = 255;
            ++course.namePhase;
        }
        break;
    case FirstOut:
    case SecondOut:
        course.nameX += course.namePhase == FirstOut ? 1 : -1;
        if (--tint <= 0) {
            tint = 0;
            ++course.namePhase;
        }
        break;
    case Move:
        tint = 0;
        course.nameX = 544;
        course.nameY = 436;
        course.namePhase = SecondIn;
        break;
    default: // waiting or done
        break;
    }
}

void RingScene::runRingScript() {
    double &red = course.ringRed, &green = course.ringGreen, &blue = course.ringBlue;
    int& phase = course.ringPhase;
    switch (phase) {
    case Brighten:
        red += 0.25;
        green += 0.25;
        blue += 0.25;
        if (red >= 64) phase = ToTeal;
        break;
    case ToTeal:
    case BackToTeal:
        fall(red, 32);
        rise(green, 96);
        if (rise(blue, 96)) phase = phase == ToTeal ? ToMagenta : ToDimTeal;
        break;
    case ToMagenta:
        rise(red, 96);
        if (fall(green, 32)) phase = ToOlive;
        break;
    case ToOlive:
        rise(green, 96);
        if (fall(blue, 32)) phase = BackToTeal;
        break;
    case ToDimTeal:
        rise(red, 48);
        fall(green, 80);
        if (fall(blue, 80)) phase = FadeOut;
        break;
    default: // FadeOut, to black
        fade(red, fadeRed);
        fade(green, fadeGreenBlue);
        fade(blue, fadeGreenBlue);
        break;
    }
}

// Every point in the one ring colour, each channel truncated.
void RingScene::paintRing() {
    const D3DCOLOR colour = 0xFF000000u + channel(course.ringRed, 16) +
                            channel(course.ringGreen, 8) + channel(course.ringBlue, 0);
    for (int i = 0; i < pointCount; ++i)
        ring.getPoint(i)->color = colour;
}

int RingScene::draw() {
    IDirect3DDevice9* d = device->getDevice();
    const int r = stepCount % flashPeriod;
    const int k = course.flightCount;
    trail.begin();
    d->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 1.0f, 0);
    device->resetTextureStages();
    camera.lookAt(onPath(k), onPath(k + 1),
                  D3DXVECTOR3(static_cast<float>(std::sin(0.01 * k)),
                              static_cast<float>(std::cos(0.01 * k)), 0));
    camera.apply();
    device->setBlendMode(BlendMode::Additive);
    light.disable();
    D3DXMATRIX origin;
    D3DXMatrixTranslation(&origin, 0, 0, 0);
    d->SetTransform(D3DTS_WORLD, &origin);
    device->setBlendMode(BlendMode::Additive);
    ring.draw();
    if (r < nameSteps) drawName();
    drawNegative(r);
    device->setBlendMode(BlendMode::Alpha);
    trail.setFeedbackAlpha(feedbackHalf);
    trail.drawAndSwap(FeedbackBuffer::Plain, 0);
    device->setBlendMode(BlendMode::Off);
    screen.setColor(0, 0, 0);
    screen.drawRect(-10, -10, 0, 85, 720);
    screen.drawRect(720, -10, 0, 85, 720);
    device->setBlendMode(BlendMode::Off);
    return 0;
}

// The first name until it has gone, then the second (in black once its script is done).
void RingScene::drawName() {
    Sprite& name = course.namePhase <= Move ? firstName : secondName;
    name.setColor(course.nameTint, course.nameTint, course.nameTint);
    name.drawWhole(static_cast<float>(course.nameX), static_cast<float>(course.nameY), 0, 512, 512);
}

// White under the inverting preset turns p into 1 - p; a second pass at alpha a turns that
// into 1 - a (1 - p): white at r = 0, the true picture at r = 15, washing back to white.
void RingScene::drawNegative(int r) {
    device->setBlendMode(BlendMode::Inverting);
    screen.setColor(255, 255, 255);
    screen.setAlpha(255);
    screen.drawRect(0, 0, 0, 800, 600);
    if (r < nameSteps) {
        screen.setAlpha(static_cast<unsigned char>(17 * r));
        screen.drawRect(0, 0, 0, 800, 600);
    } else if (r < washSteps) {
        screen.setAlpha(static_cast<unsigned char>(255 - 17 * (r - 15)));
        screen.drawRect(0, 0, 0, 800, 600);
    }
}
