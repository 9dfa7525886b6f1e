#include "gfx/EmberFountain.h"

#include "app/GraphicsDevice.h"
#include "app/Random.h"

#include <cmath>

void EmberFountain::respawn(int i) {
    if (!contains(i)) return;
    ParticlePoint& p = points[static_cast<std::size_t>(i)];
    EmberState& s = states[static_cast<std::size_t>(i)];
    const double a = randomRange(0.0f, 6.2831855f);
    const double b = randomRange(0.0f, 3.1415927f);
    p.x = 1.5 * std::cos(a) * std::cos(b);
    p.y = 1.5 * std::sin(a) - 1.0;
    p.z = 1.5 * std::cos(a) * std::sin(b);
    s.life = static_cast<int>(randomRange(128.0f, 256.0f));
    s.red = randomRange(200.0f, 255.0f);
    s.green = randomRange(48.0f, 64.0f);
    s.blue = randomRange(8.0f, 24.0f);
    s.fadeRed = s.red / s.life;
    s.fadeGreen = s.green / s.life;
    s.fadeBlue = s.blue / s.life;
    s.riseSpeed = randomRange(0.005f, 0.03f);
    s.spare = randomRange(0.0f, 1.0f);
}

void EmberFountain::step(int i) {
    if (!contains(i)) return;
    EmberState& s = states[static_cast<std::size_t>(i)];
    points[static_cast<std::size_t>(i)].y += s.riseSpeed;
    s.red = std::fmax(s.red - s.fadeRed, 0.0);
    s.green = std::fmax(s.green - s.fadeGreen, 0.0);
    s.blue = std::fmax(s.blue - s.fadeBlue, 0.0);
    // Dark once every channel truncates to 0.
    if (static_cast<int>(s.red) == 0 && static_cast<int>(s.green) == 0 &&
        static_cast<int>(s.blue) == 0)
        respawn(i);
}

void EmberFountain::init(GraphicsDevice* device, int count_) {
    cloud.init(device ? device->getDevice() : nullptr, count_, "data\\particle2.png");
    count = count_ > 0 ? count_ : 0; // known before the embers are stepped
    points.assign(static_cast<std::size_t>(count), ParticlePoint{});
    states.assign(static_cast<std::size_t>(count), EmberState{});
    for (int i = 0; i < count; ++i) {
        respawn(i);
        const int age = static_cast<int>(randomRange(0.0f, 127.0f));
        for (int k = 0; k < age; ++k)
            step(i);
    }
}

void EmberFountain::stepAll() {
    for (int i = 0; i < count; ++i)
        step(i);
}

void EmberFountain::draw() {
    for (int i = 0; i < count; ++i) {
        const ParticlePoint& p = points[static_cast<std::size_t>(i)];
        const EmberState& s = states[static_cast<std::size_t>(i)];
        const auto channel = [](double v) {
            return static_cast<unsigned>(static_cast<int>(v)) & 0xFF;
        };
        cloud.setPoint({static_cast<float>(p.x), static_cast<float>(p.y), static_cast<float>(p.z)},
                       {0, 0, 0},
                       D3DCOLOR_ARGB(255, channel(s.red), channel(s.green), channel(s.blue)), i);
    }
    cloud.setPointSize(3.0f);
    cloud.draw();
}
