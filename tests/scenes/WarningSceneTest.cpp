#include "scenes/WarningScene.h"
#include "crt.h"
#include "support/SceneFixture.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <gtest/gtest.h>

namespace {

// The warning scene with its program-long course laid open.
class ObservedWarning : public WarningScene {
  public:
    Course& state() { return course; }
    const D3DMATERIAL9& node() const { return nodeMaterial.record(); }
    PointSpriteCloud& cloud() { return sparks; }
    RenderTarget& sharp() { return sceneTarget; }
    using WarningScene::eyeAt;
};

class WarningSceneTest : public test::SceneFixture<ObservedWarning> {
  protected:
    WarningSceneTest() : SceneFixture(8) {}
    // The brightest green in the picture between the side bars and letterbox rows.
    int brightest() const {
        int most = 0;
        for (int y = 75; y < 525; ++y)
            for (int x = 75; x < 720; ++x)
                most = std::max(most, catcher.last.at(x, y).g);
        return most;
    }
};

bool finite(const D3DMATRIX& m) {
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            if (!std::isfinite(m.m[r][c])) return false;
    return true;
}

void expectEye(D3DXVECTOR3 eye, float x, float y, float z) {
    EXPECT_NEAR(eye.x, x, 1e-3f);
    EXPECT_NEAR(eye.y, y, 1e-3f);
    EXPECT_NEAR(eye.z, z, 1e-3f);
}

} // namespace

TEST_F(WarningSceneTest, TheFlickerRunsInTensAndWrapsBefore255) {
    for (int step = 1; step <= 60; ++step) {
        scene.update();
        ASSERT_EQ(scene.state().flicker, (step % 26) * 10) << step;
    }
}

TEST_F(WarningSceneTest, ThePulseHasAPeriodOf26AndFreezesFromBar16) {
    const double start = static_cast<double>(0.7f);
    for (int step = 1; step <= 52; ++step) {
        scene.update();
        const int k = step % 26;
        ASSERT_NEAR(scene.state().pulse, start + k * 0.003921568685886907, 1e-12) << step;
    }
    runSteps(5);
    const double held = scene.state().pulse;
    EXPECT_FLOAT_EQ(scene.node().Diffuse.r, static_cast<float>(held));
    EXPECT_FLOAT_EQ(scene.node().Diffuse.g, static_cast<float>(held - static_cast<double>(0.6f)));
    EXPECT_FLOAT_EQ(scene.node().Ambient.b, static_cast<float>(held - static_cast<double>(0.7f)));
    setBar(16);
    runSteps(40);
    EXPECT_EQ(scene.state().pulse, held);
}

TEST_F(WarningSceneTest, StrutsAndBackgroundFadeByFourDuringBar15) {
    setBar(14);
    runSteps(10);
    EXPECT_EQ(scene.state().strutOpacity, 255);
    setBar(15);
    scene.update();
    EXPECT_EQ(scene.state().strutOpacity, 251);
    EXPECT_EQ(scene.state().backgroundGrey, 251);
    runSteps(62);
    EXPECT_EQ(scene.state().strutOpacity, 3);
    scene.update();
    EXPECT_EQ(scene.state().strutOpacity, 0);
    EXPECT_EQ(scene.state().backgroundGrey, 0);
    runSteps(5);
    EXPECT_EQ(scene.state().strutOpacity, 0);

    scene.state().strutOpacity = 255; // bar 15 skipped altogether
    setBar(16);
    scene.update();
    EXPECT_EQ(scene.state().strutOpacity, 0);
}

TEST_F(WarningSceneTest, SparksTravelTheLatticeAndWrapAtTheCubesFaces) {
    auto& s = scene.state().sparks;
    s[0] = {299, 10, 0, 1, 0, 0};
    s[1] = {0, 10, 20, -1, 0, 0};
    s[7] = {30, 299.5, 40, 0, 1, 0};
    scene.update();
    EXPECT_EQ(s[0].x, 0.0);   // 300 comes back in at 0
    EXPECT_EQ(s[1].x, 300.0); // below 0 comes back in at 300, not 299
    EXPECT_EQ(s[7].y, 0.0);
    // The cloud was given the places before the move, in the spark colour.
    EXPECT_EQ(scene.cloud().getPoint(0)->position.x, 299.0f);
    EXPECT_EQ(scene.cloud().getPoint(1)->position.x, 0.0f);
    EXPECT_EQ(scene.cloud().getPoint(7)->color, 0xFFFF4008u);
    scene.update();
    EXPECT_EQ(s[0].x, 1.0);
    EXPECT_EQ(s[1].x, 299.0);
    // Every spark moves along exactly one axis, one unit a step.
    for (int i = 0; i < 125; ++i) {
        const auto& v = s[i];
        if (i == 1 || i == 0 || i == 7) continue;
        EXPECT_EQ(std::abs(v.vx) + std::abs(v.vy) + std::abs(v.vz), 1.0) << i;
    }
}

TEST_F(WarningSceneTest, TheCameraPhasesBySteps) {
    // On the orbit at step f: 150 + 50 (cos f, sin (1.2 f + 32), sin (f + 128)), in degrees;
    // at step 100 that is cos 100, sin 152 and sin 228.
    expectEye(ObservedWarning::eyeAt(100, 8), 141.3176f, 173.4736f, 112.8428f);
    expectEye(ObservedWarning::eyeAt(200, 9), 150, 250, 250);
    EXPECT_NEAR(ObservedWarning::eyeAt(300, 9).x, 175, 1e-3); // cos 300 = 1/2
    expectEye(ObservedWarning::eyeAt(400, 10), 160, 190, 150 + 40 / 3.0f);
    expectEye(ObservedWarning::eyeAt(480, 10), 150, 150, 150); // on the point looked at
    EXPECT_NEAR(ObservedWarning::eyeAt(600, 11).x, 125, 1e-3); // cos 600 = cos 240 = -1/2
    expectEye(ObservedWarning::eyeAt(700, 12), 226, 226, 226);
    // From bar 16 the orbit, whatever the step: cos 200 = -0.9396926.
    EXPECT_NEAR(ObservedWarning::eyeAt(200, 16).x, 103.0154, 1e-3);
}

TEST_F(WarningSceneTest, TheEyeOnItsTargetGivesAFlatFiniteView) {
    setBar(10);
    runSteps(480);
    drawn();
    D3DMATRIX view{};
    d->GetTransform(D3DTS_VIEW, &view);
    EXPECT_TRUE(finite(view));
    scene.update();
    drawn();
    d->GetTransform(D3DTS_VIEW, &view);
    EXPECT_TRUE(finite(view));
    EXPECT_NE(view.m[0][0], 0.0f); // step 481 sees again
}

TEST_F(WarningSceneTest, TheFadeInOpensOverNinetySteps) {
    // The brightest pixel of the white lattice picture, scaled by what the fade lets through.
    const int expected[][2] = {{0, 0}, {1, 3}, {89, 253}, {90, 255}, {91, 255}};
    int done = 0;
    for (const auto& [step, level] : expected) {
        runSteps(step - done);
        done = step;
        drawn();
        EXPECT_NEAR(brightest(), level, 1) << "step " << step;
    }
}

TEST_F(WarningSceneTest, DrawsTheLatticeSparksAndGlowInTheirCounts) {
    runSteps(100);
    const test::DrawCounts white = drawn();
    EXPECT_EQ(white.drawsByType[D3DPT_TRIANGLELIST], 1000u + 2000u); // cubes and struts
    EXPECT_EQ(white.drawsByType[D3DPT_POINTLIST], 1u);
    EXPECT_EQ(white.drawsByType[D3DPT_TRIANGLEFAN], 13u + 2u); // glow passes, side bars

    setBar(16);
    scene.update();
    const test::DrawCounts field = drawn();
    EXPECT_EQ(field.drawsByType[D3DPT_TRIANGLELIST], 3375u); // no struts
    EXPECT_EQ(field.drawsByType[D3DPT_POINTLIST], 1u);
    EXPECT_EQ(field.drawsByType[D3DPT_TRIANGLEFAN], 6u + 13u + 2u); // the sign's six copies
}

TEST_F(WarningSceneTest, TheGlowSpreadsLightBeyondTheSharpPicture) {
    setBar(16);
    runSteps(200);
    drawn();
    // Lit pixels (any channel above 24), before and after the glow.
    const auto [sharpLit, shownLit] = litInTargetAndShown(scene.sharp(), [](test::Rgb p) {
        return std::max({p.r, p.g, p.b}) > 24;
    });
    EXPECT_GT(sharpLit, 2000);
    EXPECT_GT(shownLit, sharpLit * 5 / 4); // about 1.5 times here
}

TEST_F(WarningSceneTest, TheNextSceneFindsPointOrSmoothFilteringAndBlendingOff) {
    runSteps(100);
    drawn();
    DWORD value = 0;
    d->GetSamplerState(0, D3DSAMP_MAGFILTER, &value);
    EXPECT_EQ(value, static_cast<DWORD>(D3DTEXF_GAUSSIANQUAD));
    d->GetRenderState(D3DRS_ALPHABLENDENABLE, &value);
    EXPECT_EQ(value, static_cast<DWORD>(FALSE));
    d->GetRenderState(D3DRS_CULLMODE, &value);
    EXPECT_EQ(value, static_cast<DWORD>(D3DCULL_CCW));
}
