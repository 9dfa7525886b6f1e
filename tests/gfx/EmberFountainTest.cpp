#include "gfx/EmberFountain.h"
#include "crt.h"

#include <cmath>
#include <gtest/gtest.h>

namespace {

void expectInRange(const EmberFountain& embers) {
    for (int i = 0; i < embers.getCount(); ++i) {
        const auto& s = embers.state(i);
        ASSERT_GE(s.life, 128);
        ASSERT_LE(s.life, 255); // the truncated range never reaches 256
        ASSERT_LE(s.red, 255.0);
        ASSERT_LE(s.green, 64.0);
        ASSERT_LE(s.blue, 24.0);
        ASSERT_GE(s.blue, 0.0);
        ASSERT_GE(s.riseSpeed, 0.005);
        ASSERT_LT(s.riseSpeed, 0.03);
        // Never left dark after a step: a dark ember is born again at once.
        ASSERT_FALSE(static_cast<int>(s.red) == 0 && static_cast<int>(s.green) == 0 &&
                     static_cast<int>(s.blue) == 0);
        ASSERT_LE(embers.point(i).y, 0.5 + 255 * 0.03); // at most about 7.7 units of rise
    }
}

} // namespace

TEST(EmberFountain, EmbersStayInTheirRangesBornOnTheSphereAndRebornWhenDark) {
    crt::srand(0);
    EmberFountain embers;
    embers.init(nullptr, 128);
    ASSERT_EQ(embers.getCount(), 128);
    expectInRange(embers);
    for (int step = 0; step < 2000; ++step) {
        embers.stepAll();
        if (step % 100 == 0) expectInRange(embers);
    }

    embers.respawn(5);
    const auto& p = embers.point(5);
    EXPECT_NEAR(p.x * p.x + (p.y + 1) * (p.y + 1) + p.z * p.z, 2.25, 1e-9);
    const auto& s = embers.state(5);
    EXPECT_NEAR(s.fadeRed * s.life, s.red, 1e-9); // every channel fades over the same life
    EXPECT_NEAR(s.fadeBlue * s.life, s.blue, 1e-9);

    // Stepping an ember through its life ends in a rebirth, within life + 1 steps.
    const int life = s.life;
    int steps = 0;
    double lastRed = s.red;
    while (steps <= life + 1) {
        embers.step(5);
        ++steps;
        if (embers.state(5).red > lastRed) break;
        lastRed = embers.state(5).red;
    }
    EXPECT_LE(steps, life + 1);
    EXPECT_GE(embers.state(5).red, 200.0);
    embers.step(-1); // outside: nothing
    embers.step(128);
}
