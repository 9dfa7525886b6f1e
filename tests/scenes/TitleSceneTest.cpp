#include "scenes/TitleScene.h"
#include "support/Process.h"
#include "support/SceneFixture.h"

#include <cstdint>
#include <filesystem>
#include <gtest/gtest.h>

namespace {

// The title scene with its program-long course laid open.
class ObservedTitle : public TitleScene {
  public:
    const Course& state() const { return course; }
    CanvasSprite& noiseSprite() { return noise; }
    int steps() const { return stepCount; }
};

class TitleSceneTest : public test::SceneFixture<ObservedTitle> {
  protected:
    TitleSceneTest() : SceneFixture(0) {}
    // The title image is a black placeholder, invisible when added, so the static shows alone.
    std::filesystem::path dataFolder() override {
        const std::string work = test::makeTempFolder();
        std::filesystem::create_directory(work + "/data");
        EXPECT_TRUE(test::saveRgbaPng(work + "/data/lf.png", 512, 512,
                                      std::vector<std::uint8_t>(512 * 512 * 4, 0)));
        return work;
    }
    test::Image shown() {
        drawn();
        return catcher.last;
    }
    // Mean of the red channel over a rectangle.
    static double mean(const test::Image& image, int x0, int y0, int x1, int y1) {
        double sum = 0;
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x)
                sum += image.at(x, y).r;
        return sum / ((x1 - x0) * (y1 - y0));
    }
};

// Texels of the noise as the texture holds them, row by row, as 0xAARRGGBB.
std::vector<std::uint32_t> noiseTexels(CanvasSprite& noise) {
    std::vector<std::uint32_t> out;
    D3DLOCKED_RECT locked{};
    if (FAILED(noise.getTexture()->LockRect(0, &locked, nullptr, D3DLOCK_READONLY))) return out;
    for (int y = 0; y < 1024; ++y) {
        const auto* row = reinterpret_cast<const std::uint32_t*>(
            static_cast<const unsigned char*>(locked.pBits) + y * locked.Pitch);
        out.insert(out.end(), row, row + 1024);
    }
    noise.getTexture()->UnlockRect(0);
    return out;
}

// The low bytes of the 1998 reference generator's outputs 0-3, 1024-1027 and the last four of
// the first 1,048,576 after seeding with 0: grey levels of texels in rows 0, 1 and 1023.
void expectReferenceGreys(const std::vector<std::uint32_t>& texels) {
    ASSERT_EQ(texels.size(), 1024u * 1024u);
    const struct {
        std::size_t first;
        std::uint32_t grey[4];
    } rows[] = {{0, {201, 197, 229, 47}},
                {1024, {213, 187, 171, 96}},
                {1023 * 1024 + 1020, {230, 55, 35, 157}}};
    for (const auto& row : rows)
        for (std::size_t k = 0; k < 4; ++k) {
            const std::uint32_t v = row.grey[k];
            EXPECT_EQ(texels[row.first + k], 0xFF000000u | v << 16 | v << 8 | v) << row.first + k;
        }
}

// Draws the noise unblended at one texel per pixel from its corner: every pixel shown is its
// texel.
void expectNoiseOnScreen(IDirect3DDevice9* d, GraphicsDevice& graphics, CanvasSprite& noise,
                         test::FrameCatcher& catcher) {
    const auto texels = noiseTexels(noise);
    ASSERT_EQ(texels.size(), 1024u * 1024u);
    graphics.resetTextureStages();
    graphics.setBlendMode(BlendMode::Off);
    d->SetSamplerState(0, D3DSAMP_MINFILTER, D3DTEXF_POINT);
    d->SetSamplerState(0, D3DSAMP_MAGFILTER, D3DTEXF_POINT);
    noise.draw(0, 0, 0, 1024, 1024, 0, 0, 1024, 1024);
    d->Present(nullptr, nullptr, nullptr, nullptr);
    test::flushFrames(d);
    int wrong = 0;
    for (int y = 0; y < 600; ++y)
        for (int x = 0; x < 800; ++x)
            wrong += catcher.last.at(x, y).g != static_cast<int>(texels[y * 1024 + x] & 0xFF);
    EXPECT_EQ(wrong, 0);
    EXPECT_EQ(catcher.last.at(1, 0).g, 197);
}

} // namespace

TEST_F(TitleSceneTest, TheNoiseIsTheTwisterSeededWithZeroRowByRow) {
    IDirect3DTexture9* texture = scene.noiseSprite().getTexture();
    ASSERT_NE(texture, nullptr);
    expectReferenceGreys(noiseTexels(scene.noiseSprite()));
    // Bytes in memory are B, G, R, A: the grey level thrice, then opaque.
    D3DLOCKED_RECT locked{};
    texture->LockRect(0, &locked, nullptr, D3DLOCK_READONLY);
    const auto* bytes = static_cast<const unsigned char*>(locked.pBits);
    EXPECT_EQ(bytes[0], 201);
    EXPECT_EQ(bytes[1], 201);
    EXPECT_EQ(bytes[2], 201);
    EXPECT_EQ(bytes[3], 0xFF);
    texture->UnlockRect(0);
    expectNoiseOnScreen(d, graphics, scene.noiseSprite(), catcher);
}

TEST_F(TitleSceneTest, APaddedPitchStillGivesTheSamePicture) {
    ObservedTitle padded;
    test::setLockPitchPadding(64);
    padded.init(&graphics);
    test::setLockPitchPadding(0);
    expectReferenceGreys(noiseTexels(padded.noiseSprite()));
    expectNoiseOnScreen(d, graphics, padded.noiseSprite(), catcher);
}

TEST_F(TitleSceneTest, JitterFallsToItsFloorAndTheOffsetsStayWithinIt) {
    // From 60 down by the float 0.08 (0.079999998211860657) a step: 60 - n x that after n
    // steps, just over 5 after 687 and the floor of 5 from step 688.
    const struct {
        int step;
        double jitter;
    } rows[] = {{1, 59.920000001788139},
                {100, 52.000000178813934},
                {687, 5.0400012284517287},
                {688, 5.0},
                {800, 5.0}};
    double reach = 60.0;
    for (const auto& row : rows) {
        while (scene.steps() < row.step) {
            scene.update();
            for (int i = 0; i < 16; ++i) {
                ASSERT_LE(std::abs(scene.state().offsetX[i]), reach) << scene.steps();
                ASSERT_LE(std::abs(scene.state().offsetY[i]), reach) << scene.steps();
            }
            reach = scene.state().jitter;
        }
        EXPECT_NEAR(scene.state().jitter, row.jitter, 1e-9) << row.step;
    }
    EXPECT_EQ(scene.state().doorCounter, -800);
}

TEST_F(TitleSceneTest, TheOffsetsAreTheSameOnEveryStartAndSpreadOverTheJitter) {
    scene.update();
    int first[16];
    std::copy_n(scene.state().offsetX, 16, first);
    int lowest = 0, highest = 0;
    for (int i = 0; i < 16; ++i) {
        lowest = std::min({lowest, scene.state().offsetX[i], scene.state().offsetY[i]});
        highest = std::max({highest, scene.state().offsetX[i], scene.state().offsetY[i]});
    }
    EXPECT_LT(lowest, -20); // 32 draws over -60..60
    EXPECT_GT(highest, 20);

    ObservedTitle again; // starts from the program state again, as a fresh run would
    again.init(&graphics);
    again.start();
    again.update();
    EXPECT_TRUE(std::equal(first, first + 16, again.state().offsetX));
}

TEST_F(TitleSceneTest, PillarsFadeInFromTheFirstStepThatSeesBarFour) {
    setBar(3);
    runSteps(100);
    EXPECT_EQ(scene.state().pillarAlpha, 0.0);
    setBar(4);
    scene.update();
    EXPECT_EQ(scene.state().pillarAlpha, 1.0); // while the doors are still drawn
    runSteps(253);
    EXPECT_EQ(scene.state().pillarAlpha, 254.0);
    runSteps(10);
    EXPECT_EQ(scene.state().pillarAlpha, 255.0);
}

TEST_F(TitleSceneTest, TheFirstTwoFramesOnlyClear) {
    EXPECT_EQ(test::countDifferent(shown(), 0, 0, 800, 600, {0, 0, 0}, 0), 0);
    scene.update();
    EXPECT_EQ(test::countDifferent(shown(), 0, 0, 800, 600, {0, 0, 0}, 0), 0);
    scene.update(); // now the doors stand two pixels apart, opaque
    const test::Image frame = shown();
    EXPECT_EQ(test::countDifferent(frame, 0, 0, 398, 600, {0, 0, 0}, 0), 0);
    EXPECT_EQ(test::countDifferent(frame, 402, 0, 800, 600, {0, 0, 0}, 0), 0);
    EXPECT_GT(test::countDifferent(frame, 398, 0, 402, 600, {0, 0, 0}, 0), 1000);
}

TEST_F(TitleSceneTest, TheDoorsOpenAndFadeThenThePillarsTakeOver) {
    runSteps(100);
    shown(); // stores the opacity for the next frame: 255 - 101
    const test::Image doors = shown();
    // Noise alone averages 127.5 x 32/255 = 16; under the panels it keeps 101/255 of that.
    EXPECT_NEAR(mean(doors, 305, 0, 495, 600), 16.0, 1.0);
    EXPECT_NEAR(mean(doors, 0, 0, 295, 600), 6.3, 1.0);
    EXPECT_NEAR(mean(doors, 505, 0, 800, 600), 6.3, 1.0);

    setBar(4);
    runSteps(156); // doorCounter -256: the pillars, at opacity 156
    const test::Image pillars = shown();
    EXPECT_EQ(scene.state().doorCounter, -256);
    EXPECT_NEAR(mean(pillars, 0, 0, 75, 600), 16.0 * 99 / 255, 1.0);
    EXPECT_NEAR(mean(pillars, 720, 0, 800, 600), 16.0 * 99 / 255, 1.0);
    EXPECT_NEAR(mean(pillars, 80, 0, 715, 600), 16.0, 1.0);
    runSteps(100);
    const test::Image opaque = shown();
    EXPECT_EQ(test::countDifferent(opaque, 0, 0, 75, 600, {0, 0, 0}, 0), 0);
    EXPECT_EQ(test::countDifferent(opaque, 720, 0, 800, 600, {0, 0, 0}, 0), 0);
    EXPECT_NEAR(mean(opaque, 80, 0, 715, 600), 16.0, 1.0);
}

TEST_F(TitleSceneTest, LeavesSmoothBorderedFilteringAndBlendingOff) {
    runSteps(300);
    shown();
    DWORD value = 0;
    d->GetSamplerState(0, D3DSAMP_MINFILTER, &value);
    EXPECT_EQ(value, static_cast<DWORD>(D3DTEXF_GAUSSIANQUAD));
    d->GetSamplerState(0, D3DSAMP_ADDRESSU, &value);
    EXPECT_EQ(value, static_cast<DWORD>(D3DTADDRESS_BORDER));
    d->GetRenderState(D3DRS_ALPHABLENDENABLE, &value);
    EXPECT_EQ(value, static_cast<DWORD>(FALSE));
}
