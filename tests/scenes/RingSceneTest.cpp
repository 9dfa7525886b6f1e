#include "scenes/RingScene.h"
#include "support/SceneFixture.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <gtest/gtest.h>

namespace {

// The ring scene with its program-long course laid open.
class ObservedRing : public RingScene {
  public:
    Course& state() { return course; }
    PointSpriteCloud& cloud() { return ring; }
    int steps() const { return stepCount; }
    D3DCOLOR pointColour() { return ring.getPoint(0)->color; }
};

class RingSceneTest : public test::SceneFixture<ObservedRing> {
  protected:
    RingSceneTest() : SceneFixture(56) {}
    // Enough frames of one state for the half-and-half trail to settle (128/255 of the last
    // frame is kept, so 12 frames leave under 1/3000 of the first).
    void settle() {
        for (int i = 0; i < 12; ++i)
            drawn();
    }
    // Runs to a step of the flash cycle with the ring in black, so the picture is uniform.
    void runDarkTo(int step) {
        runSteps(step - scene.steps());
        scene.state().ringRed = scene.state().ringGreen = scene.state().ringBlue = 0;
        for (int i = 0; i < 10240; ++i)
            scene.cloud().getPoint(i)->color = 0xFF000000;
        scene.state().nameTint = 0;
    }
    int greyAt(int x, int y) const { return catcher.last.at(x, y).g; }
};

struct Colour {
    int red, green, blue;
};

Colour colourOf(D3DCOLOR c) {
    return {static_cast<int>(c >> 16 & 0xFF), static_cast<int>(c >> 8 & 0xFF),
            static_cast<int>(c & 0xFF)};
}

} // namespace

TEST_F(RingSceneTest, TheRingLiesOnRadius500WithinItsJitter) {
    ASSERT_EQ(scene.cloud().getCount(), 10240);
    for (int i = 0; i < 10240; ++i) {
        const auto* p = scene.cloud().getPoint(i);
        const double radius = std::hypot(p->position.x, p->position.z);
        // 10 units on x and z each can move a point at most 10 sqrt 2 off the circle.
        ASSERT_NEAR(radius, 500.0, 14.15) << i;
        ASSERT_LE(std::abs(p->position.y), 10.0f) << i;
        ASSERT_EQ(p->color, 0xFF207FFFu) << i;
    }
    // Point 2,560 sits a quarter of the way round: near (0, y, 500).
    EXPECT_NEAR(scene.cloud().getPoint(2560)->position.x, 0, 10.01);
    EXPECT_NEAR(scene.cloud().getPoint(2560)->position.z, 500, 10.01);
}

TEST_F(RingSceneTest, TheColourScriptReachesEachPhaseOnItsStep) {
    // Worked from the script: 256 steps of 0.25 to grey 64; then 0.3 a step (the float), so a
    // change of 32 takes 107 steps, of 64 214 and of 16 54.
    const struct {
        int step;
        RingScene::RingPhase phase;
        Colour entering;
    } rows[] = {
        {256, RingScene::ToTeal, {64, 64, 64}},     {363, RingScene::ToMagenta, {32, 96, 96}},
        {577, RingScene::ToOlive, {96, 32, 96}},    {791, RingScene::BackToTeal, {96, 96, 32}},
        {1005, RingScene::ToDimTeal, {32, 96, 96}}, {1059, RingScene::FadeOut, {48, 80, 80}}};
    for (const auto& row : rows) {
        runSteps(row.step - 1 - scene.steps());
        ASSERT_EQ(scene.state().ringPhase, row.phase - 1) << "before step " << row.step;
        scene.update();
        ASSERT_EQ(scene.state().ringPhase, row.phase) << "step " << row.step;
        const Colour c = colourOf(scene.pointColour());
        EXPECT_EQ(c.red, row.entering.red) << row.step;
        EXPECT_EQ(c.green, row.entering.green) << row.step;
        EXPECT_EQ(c.blue, row.entering.blue) << row.step;
    }
    // The last fade: 0.134 a step takes green and blue from 80 to 0 in under 600 steps, red
    // loses 0.08 and is below 1 after 588; the ring ends black and stays so.
    runSteps(1059 + 600 - scene.steps());
    EXPECT_EQ(scene.pointColour(), 0xFF000000u);
    runSteps(20);
    EXPECT_EQ(scene.pointColour(), 0xFF000000u);
    EXPECT_EQ(scene.state().ringPhase, RingScene::FadeOut);
}

TEST_F(RingSceneTest, RingChannelsTruncateAndEveryPointSharesTheColour) {
    scene.update(); // 0.25
    EXPECT_EQ(scene.pointColour(), 0xFF000000u);
    runSteps(2); // 0.75
    EXPECT_EQ(scene.pointColour(), 0xFF000000u);
    scene.update(); // 1.0
    EXPECT_EQ(scene.pointColour(), 0xFF010101u);
    runSteps(3); // 1.75
    EXPECT_EQ(scene.cloud().getPoint(10239)->color, 0xFF010101u);
}

TEST_F(RingSceneTest, TheNameScriptRunsFromStep120ToStep1140) {
    runSteps(119);
    EXPECT_EQ(scene.state().namePhase, RingScene::Waiting);
    EXPECT_EQ(scene.state().nameX, 0);
    scene.update(); // step 120 starts the script and runs its first move at once
    EXPECT_EQ(scene.state().namePhase, RingScene::FirstIn);
    EXPECT_EQ(scene.state().nameTint, 1);
    EXPECT_EQ(scene.state().nameX, 1);
    runSteps(374 - 120);
    EXPECT_EQ(scene.state().nameTint, 255);
    EXPECT_EQ(scene.state().namePhase, RingScene::FirstOut);
    runSteps(629 - 374);
    EXPECT_EQ(scene.state().nameTint, 0);
    EXPECT_EQ(scene.state().namePhase, RingScene::Move);
    EXPECT_EQ(scene.state().nameX, 510); // one to the right in each of 510 steps
    EXPECT_EQ(scene.state().nameY, 100);
    scene.update(); // 630: moved to the bottom right
    EXPECT_EQ(scene.state().namePhase, RingScene::SecondIn);
    EXPECT_EQ(scene.state().nameX, 544);
    EXPECT_EQ(scene.state().nameY, 436);
    runSteps(885 - 630);
    EXPECT_EQ(scene.state().nameTint, 255);
    EXPECT_EQ(scene.state().namePhase, RingScene::SecondOut);
    runSteps(1140 - 885);
    EXPECT_EQ(scene.state().nameTint, 0);
    EXPECT_EQ(scene.state().namePhase, RingScene::Done);
    EXPECT_EQ(scene.state().nameX, 34);
    runSteps(400); // done for good
    EXPECT_EQ(scene.state().namePhase, RingScene::Done);
    EXPECT_EQ(scene.state().nameX, 34);
}

TEST_F(RingSceneTest, TheNameIsDrawnOnlyInTheFirst16StepsOfEvery120) {
    // Quads: the name, the negative, the flash pass, the echo and the composed frame, the two
    // side bars; one point list.
    const struct {
        int step;
        unsigned quads;
    } rows[] = {{240, 7}, {255, 7}, {256, 6}, {265, 6}, {266, 5}, {359, 5}, {360, 7}};
    for (const auto& row : rows) {
        runSteps(row.step - scene.steps());
        const test::DrawCounts stats = drawn();
        EXPECT_EQ(stats.drawsByType[D3DPT_TRIANGLEFAN], row.quads) << "step " << row.step;
        EXPECT_EQ(stats.drawsByType[D3DPT_POINTLIST], 1u) << "step " << row.step;
    }
}

TEST_F(RingSceneTest, TheNegativeFlashesWhiteShowsTheTruePictureAndWashesBack) {
    // Black inside the ring's flight: the negative shows 255, the flash passes 1 - a (1 - 0).
    const struct {
        int step, grey;
    } rows[] = {{130, 85}, {240, 255}, {247, 136}, {255, 0},  {256, 17},
                {260, 85}, {265, 170}, {266, 255}, {300, 255}};
    for (const auto& row : rows) {
        runDarkTo(row.step);
        settle();
        EXPECT_NEAR(greyAt(300, 100), row.grey, 2) << "step " << row.step;
    }
}

TEST_F(RingSceneTest, TheTruePictureShowsTheNameInItsTint) {
    runDarkTo(375); // r = 15, in the first name's fade-out
    scene.state().nameTint = 200;
    scene.state().nameX = 100;
    settle();
    // The name's lettering at its tint, the rest black, the bars black.
    int brightest = 0;
    for (int y = 108; y < 180; ++y)
        for (int x = 100; x < 612; ++x)
            brightest = std::max(brightest, greyAt(x, y));
    EXPECT_NEAR(brightest, 200, 2);
    EXPECT_EQ(test::countDifferent(catcher.last, 80, 200, 700, 500, {0, 0, 0}, 1), 0);
    EXPECT_EQ(test::countDifferent(catcher.last, 0, 0, 75, 600, {0, 0, 0}, 0), 0);
    EXPECT_EQ(test::countDifferent(catcher.last, 720, 0, 800, 600, {0, 0, 0}, 0), 0);

    runDarkTo(380); // r = 20: the negative's wash, the name not drawn
    settle();
    for (int y = 108; y < 180; y += 7)
        for (int x = 100; x < 612; x += 13)
            ASSERT_NEAR(greyAt(x, y), 85, 2) << x << "," << y;
}

TEST_F(RingSceneTest, TrailsKeepHalfOfTheFrameBefore) {
    runDarkTo(300);
    settle(); // the negative: 255 everywhere
    runDarkTo(375);
    drawn(); // r = 15, true black, over the white trail
    EXPECT_NEAR(greyAt(300, 100), 128, 2);
    drawn();
    EXPECT_NEAR(greyAt(300, 100), 64, 2);
}
