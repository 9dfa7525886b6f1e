#include "scenes/TargetScene.h"
#include "support/SceneFixture.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <gtest/gtest.h>

namespace {

// The target scene with its program-long course laid open.
class ObservedTarget : public TargetScene {
  public:
    Course& state() { return course; }
    int steps() const { return stepCount; }
    // Moves every panel out of sight, leaving black where the wash and flash show alone.
    void hidePanels() {
        for (Panel& p : course.panels)
            p.width = p.height = 0;
    }
    RenderTarget& sharp() { return targets[SceneTarget]; }
    using TargetScene::eyeAt;
};

class TargetSceneTest : public test::SceneFixture<ObservedTarget> {
  protected:
    TargetSceneTest() : SceneFixture(24) {}
};

void expectEye(D3DXVECTOR3 eye, float x, float y, float z) {
    EXPECT_NEAR(eye.x, x, 1e-3f);
    EXPECT_NEAR(eye.y, y, 1e-3f);
    EXPECT_NEAR(eye.z, z, 1e-3f);
}

} // namespace

TEST_F(TargetSceneTest, PanelsFillTheirRangesFromTheSeededSequence) {
    const auto& panels = scene.state().panels;
    // Panel 0 from the platform generator after srand(1): 41, 18467, 6334, 26500, 19169, 15724
    // and 11478, scaled by hand into grey, x, y, z, width, height and speed in that order.
    EXPECT_NEAR(panels[0].red, 0.000250252, 1e-7);
    EXPECT_EQ(panels[0].green, panels[0].red);
    EXPECT_EQ(panels[0].blue, panels[0].red);
    EXPECT_NEAR(panels[0].x, 44.50972, 1e-3);
    EXPECT_NEAR(panels[0].y, -30.66958, 1e-3);
    EXPECT_NEAR(panels[0].z, 30.87405, 1e-3);
    EXPECT_NEAR(panels[0].width, 18.38026, 1e-3);
    EXPECT_NEAR(panels[0].height, 15.43645, 1e-3);
    EXPECT_NEAR(panels[0].speed, 0.41526, 1e-3);

    for (int i = 0; i < 1000; ++i) {
        const auto& p = panels[i];
        ASSERT_TRUE(p.red >= 0 && p.red < 0.2 && p.red == p.green && p.red == p.blue) << i;
        ASSERT_TRUE(p.x >= -350 && p.x < 350 && std::abs(p.y) <= 50 && std::abs(p.z) <= 50) << i;
        ASSERT_TRUE(p.width >= 2 && p.width < 30 && p.height >= 2 && p.height < 30) << i;
        ASSERT_TRUE(p.speed >= 0.1 && p.speed < 1.0) << i;
    }
    double farthestY = 0;
    for (int i = 1000; i < 1500; ++i) {
        const auto& p = panels[i];
        ASSERT_TRUE(p.red >= 0.7 && p.red < 1.0 && p.green >= 0.3 && p.green < 0.5) << i;
        ASSERT_EQ(p.blue, static_cast<double>(0.1f)) << i;
        ASSERT_TRUE(std::abs(p.x) > 50 && std::abs(p.x) <= 500) << i << ": x " << p.x;
        ASSERT_TRUE(std::abs(p.y) <= 350 && std::abs(p.z) <= 350) << i;
        ASSERT_EQ(p.speed, 0.0) << i;
        farthestY = std::max(farthestY, std::abs(p.y));
    }
    EXPECT_GT(farthestY, 300); // y is not held to the slab
}

TEST_F(TargetSceneTest, RedLevelAndDriftAdvanceOnlyFromBar32) {
    const double x0 = scene.state().panels[0].x, orange = scene.state().panels[1200].x;
    runSteps(50);
    EXPECT_EQ(scene.state().redLevel, 0);
    EXPECT_EQ(scene.state().panels[0].x, x0);
    EXPECT_EQ(scene.steps(), 50);

    setBar(32);
    for (int step = 1; step <= 47; ++step) {
        scene.update();
        ASSERT_EQ(scene.state().redLevel, 4 * step) << step;
    }
    scene.update();
    EXPECT_EQ(scene.state().redLevel, 0); // 192 comes back as 0
    scene.update();
    EXPECT_EQ(scene.state().redLevel, 4);
    // 49 steps at 0.41526 a step, no wrapping; the orange panels stay.
    EXPECT_NEAR(scene.state().panels[0].x, x0 + 49 * 0.41526, 1e-2);
    EXPECT_EQ(scene.state().panels[1200].x, orange);
}

TEST_F(TargetSceneTest, TheCameraBacksAwayAlongXThenSwings) {
    expectEye(ObservedTarget::eyeAt(0, 24), 0, 0, 0); // on the point looked at
    expectEye(ObservedTarget::eyeAt(100, 31), 20, 0, 0);
    expectEye(ObservedTarget::eyeAt(0, 32), 100, 0, 0);
    // cos(157/140), sin(1.57) and sin(0.785), worked out separately.
    expectEye(ObservedTarget::eyeAt(157, 35), 43.43961f, 99.99997f, 106.02378f);
}

TEST_F(TargetSceneTest, AFrameAtStepZeroHasAFlatFiniteView) {
    ObservedTarget unstarted;
    unstarted.init(&graphics);
    unstarted.draw(); // before start and before any update, as the sequencer may
    D3DMATRIX view{};
    d->GetTransform(D3DTS_VIEW, &view);
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            EXPECT_TRUE(std::isfinite(view.m[r][c])) << r << "," << c;
    EXPECT_EQ(view.m[0][0], 0.0f); // flat: nothing 3D shows on this one frame
}

TEST_F(TargetSceneTest, TheWashFadesOverTheFirst512Steps) {
    scene.hidePanels();
    // Added over black away from the reticles: red loses half a level a step, truncated as a
    // whole (254 at step 1, not 255), green and blue a whole level.
    const struct {
        int step;
        test::Rgb wash;
    } rows[] = {{0, {255, 255, 255}}, {1, {254, 254, 254}}, {255, {127, 0, 0}},
                {509, {0, 0, 0}},     {511, {0, 0, 0}},     {513, {0, 0, 0}}};
    for (const auto& row : rows) {
        runSteps(row.step - scene.steps());
        drawn();
        EXPECT_EQ(test::countDifferent(catcher.last, 80, 80, 200, 200, row.wash, 1), 0)
            << "step " << row.step << " gave " << catcher.last.at(100, 100).r << ","
            << catcher.last.at(100, 100).g;
    }
}

TEST_F(TargetSceneTest, TheFlashFallsOverDrawnFramesThenTheRedPulseStays) {
    scene.hidePanels();
    runSteps(600); // past the wash
    setBar(32);
    runSteps(10); // red level 40
    drawn();
    EXPECT_EQ(catcher.last.at(100, 100).r, 40) << "the red pulse comes first";
    EXPECT_EQ(catcher.last.at(100, 100).g, 0);
    EXPECT_EQ(scene.state().flashCountdown, 60);
    // Frames, not steps: no update between these draws.
    for (int frame = 1; frame <= 59; ++frame) {
        drawn();
        const int white = 240 - 4 * (frame - 1);
        ASSERT_EQ(test::countDifferent(catcher.last, 80, 80, 200, 200, {white, white, white}, 1), 0)
            << "frame " << frame;
    }
    for (int frame = 60; frame < 64; ++frame) {
        drawn();
        ASSERT_EQ(test::countDifferent(catcher.last, 80, 80, 200, 200, {40, 0, 0}, 1), 0)
            << "frame " << frame;
        ASSERT_EQ(scene.state().flashCountdown, 1);
    }
}

TEST_F(TargetSceneTest, DrawsPanelsUnculledWithoutDepthWritesThenReticlesAndBlur) {
    runSteps(600);
    const test::DrawCounts plain = drawn();
    // 1,500 panels, 3 reticles, 11 blur passes, 2 side bars, all quads.
    EXPECT_EQ(plain.drawsByType[D3DPT_TRIANGLEFAN], 1500u + 3u + 11u + 2u);
    EXPECT_EQ(plain.drawCalls, plain.drawsByType[D3DPT_TRIANGLEFAN]);
    EXPECT_EQ(plain.drawsWithoutCulling, 1500u); // the panels alone
    EXPECT_EQ(plain.drawsWithoutDepthWrites, plain.drawCalls);
    EXPECT_EQ(plain.clears, 1u);

    const test::DrawCounts washed = [&]() -> test::DrawCounts {
        scene.start();
        return drawn();
    }();
    EXPECT_EQ(washed.drawsByType[D3DPT_TRIANGLEFAN], 1516u + 1u); // and the wash

    setBar(32);
    scene.update();
    const test::DrawCounts swung = drawn();
    EXPECT_EQ(swung.drawsByType[D3DPT_TRIANGLEFAN], 1516u + 2u); // wash and flash
}

TEST_F(TargetSceneTest, TheBlurSpreadsTheReticlesAndThePillarsStayBlack) {
    scene.hidePanels();
    runSteps(600);
    drawn();
    // Lit pixels (green above 8), in the sharp picture and on screen.
    const auto [sharpLit, shownLit] =
        litInTargetAndShown(scene.sharp(), [](test::Rgb p) { return p.g > 8; });
    // Measured: 4,578 sharp (the three reticles), 15,896 shown; without the blur both agree.
    EXPECT_GT(sharpLit, 3000) << sharpLit;
    EXPECT_GT(shownLit, sharpLit * 2) << shownLit << " vs " << sharpLit;
    EXPECT_EQ(test::countDifferent(catcher.last, 0, 0, 75, 600, {0, 0, 0}, 0), 0);
    EXPECT_EQ(test::countDifferent(catcher.last, 720, 0, 800, 600, {0, 0, 0}, 0), 0);
}
