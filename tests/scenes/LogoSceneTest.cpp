#include "scenes/LogoScene.h"
#include "support/SceneFixture.h"

#include <cmath>
#include <cstdint>
#include <filesystem>
#include <gtest/gtest.h>

namespace {

// The logo scene with its program-long course laid open.
class ObservedLogo : public LogoScene {
  public:
    Course& state() { return course; }
    const D3DMATERIAL9& blades() const { return bladeMaterial.record(); }
    PointSpriteCloud& points() { return column; }
    CanvasSprite& noiseSprite() { return noise; }
    RenderTarget& sharp() { return sceneTarget; }
};

class LogoSceneTest : public test::SceneFixture<ObservedLogo> {
  protected:
    LogoSceneTest() : SceneFixture(72) {}
};

void expectColour(const D3DCOLORVALUE& c, double r, double g, double b) {
    EXPECT_NEAR(c.r, r, 1e-5);
    EXPECT_NEAR(c.g, g, 1e-5);
    EXPECT_NEAR(c.b, b, 1e-5);
}

} // namespace

TEST_F(LogoSceneTest, RingsAndColumnAreFilledWithinTheirRanges) {
    int turningEachWay[2] = {};
    for (const auto& ring : scene.state().rings) {
        ASSERT_TRUE(ring.radius >= 10 && ring.radius < 30) << ring.radius;
        ASSERT_TRUE(ring.direction == 0 || ring.direction == 1);
        ++turningEachWay[ring.direction];
    }
    EXPECT_GT(turningEachWay[0], 0);
    EXPECT_GT(turningEachWay[1], 0);
    ASSERT_EQ(scene.points().getCount(), 1000);
    for (int i = 0; i < 1000; ++i) {
        const auto* p = scene.points().getPoint(i);
        ASSERT_TRUE(std::abs(p->position.x) <= 1 && std::abs(p->position.z) <= 1) << i;
        ASSERT_TRUE(p->position.y >= -150 && p->position.y <= 100) << i;
        ASSERT_EQ(p->color, 0xFFFF8020u) << i;
    }
}

TEST_F(LogoSceneTest, TheNoiseSkipsOneTwisterOutputThenTakesRedGreenAndBlue) {
    IDirect3DTexture9* texture = scene.noiseSprite().getTexture();
    D3DLOCKED_RECT locked{};
    ASSERT_EQ(texture->LockRect(0, &locked, nullptr, D3DLOCK_READONLY), D3D_OK);
    const auto texel = [&](int x, int y) {
        return reinterpret_cast<const std::uint32_t*>(
            static_cast<const unsigned char*>(locked.pBits) + y * locked.Pitch)[x];
    };
    // From the low bytes of the 1998 reference generator seeded with 0, four outputs a texel:
    // outputs 0-7 are 201 197 229 47, 180 107 246 168; 4096-4103 are 128 50 204 10, 182 200 140
    // 61; the last four of the 4,194,304 are 32 237 154 81. The first of each four is skipped.
    EXPECT_EQ(texel(0, 0), 0xFFC5E52Fu);
    EXPECT_EQ(texel(1, 0), 0xFF6BF6A8u);
    EXPECT_EQ(texel(0, 1), 0xFF32CC0Au);
    EXPECT_EQ(texel(1, 1), 0xFFC88C3Du);
    EXPECT_EQ(texel(1023, 1023), 0xFFED9A51u);
    texture->UnlockRect(0);
}

TEST_F(LogoSceneTest, ARingHasOneBladeForEachWholeNumberBelowItsRadius) {
    for (auto& ring : scene.state().rings)
        ring.radius = 10.0;               // exactly ten: 0..9
    scene.state().rings[7].radius = 10.5; // eleven: 0..10
    scene.state().rings[8].radius = 29.99;
    const test::DrawCounts stats = drawn();
    EXPECT_EQ(stats.drawsByType[D3DPT_TRIANGLELIST], 28u * 10u + 11u + 30u);
    EXPECT_EQ(stats.drawsByType[D3DPT_POINTLIST], 1u); // the column
}

TEST_F(LogoSceneTest, TheSpinStopsInUpdate1001AndTheBladesTurnGrey) {
    // Set up so the first update leaves the speed at the float 0.03: red blades.
    scene.state().spinSpeed = static_cast<double>(0.03f) + static_cast<double>(3e-05f);
    scene.update();
    expectColour(scene.blades().Diffuse, 1.0, 0.1, 0.1);
    expectColour(scene.blades().Emissive, 0.6, 0.1, 0.1);
    EXPECT_EQ(scene.blades().Power, 40.0f);

    ObservedLogo fresh;
    fresh.init(&graphics);
    fresh.start();
    for (int step = 1; step <= 1000; ++step)
        fresh.update();
    EXPECT_GT(fresh.state().spinSpeed, 0.0); // 8.7e-11 left by the float constants
    const double angle = fresh.state().spinAngle;
    fresh.update();
    EXPECT_EQ(fresh.state().spinSpeed, 0.0);
    for (int step = 0; step < 50; ++step)
        fresh.update();
    EXPECT_EQ(fresh.state().spinSpeed, 0.0);
    EXPECT_NEAR(fresh.state().spinAngle, angle, 1e-9); // still
    expectColour(fresh.blades().Diffuse, 0.3, 0.3, 0.3);
    expectColour(fresh.blades().Emissive, 0.5, 0.3, 0.3);
    EXPECT_NEAR(fresh.state().cameraHeight, 1051 * 0.1, 1e-3);
}

TEST_F(LogoSceneTest, TheWhiteFadeRisesByTwoAFrameFromBar81) {
    drawn();
    EXPECT_EQ(scene.state().whiteLevel, 0); // not before bar 81
    setBar(81);
    for (int frame = 1; frame <= 130; ++frame) {
        drawn();
        // Drawn at 0, 2, ..., 254, then 255 for good; counted in frames, not steps.
        ASSERT_EQ(scene.state().whiteLevel, std::min(255, 2 * frame)) << frame;
    }
    EXPECT_EQ(test::countDifferent(catcher.last, 75, 0, 720, 600, {255, 255, 255}, 0), 0);
    EXPECT_EQ(test::countDifferent(catcher.last, 0, 0, 75, 600, {0, 0, 0}, 0), 0);
    EXPECT_EQ(test::countDifferent(catcher.last, 720, 0, 800, 600, {0, 0, 0}, 0), 0);
}

TEST_F(LogoSceneTest, TheGlowSpreadsTheTowerBeyondTheSharpPicture) {
    runSteps(300);
    drawn();
    // Red-lit pixels (red above 120), in the sharp picture and on screen.
    const auto [sharpLit, shownLit] =
        litInTargetAndShown(scene.sharp(), [](test::Rgb p) { return p.r > 120; });
    // Measured: 27,871 sharp (the blades), 54,113 shown; the logo is grey and adds little.
    EXPECT_GT(sharpLit, 15000) << sharpLit;
    EXPECT_GT(shownLit, sharpLit * 3 / 2) << shownLit << " vs " << sharpLit;
}
