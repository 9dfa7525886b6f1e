#include "scenes/TitleScene.h"
#include "Texture.h"
#include "app/Random.h"
#include "support/GraphicsFixture.h"
#include "support/Process.h"

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

class TitleSceneTest : public test::GraphicsFixture {
  protected:
    // The title image is a black placeholder, invisible when added, so the static shows alone.
    void SetUp() override {
        GraphicsFixture::SetUp();
        const std::string work = test::makeTempFolder();
        std::filesystem::create_directory(work + "/data");
        ASSERT_TRUE(test::saveRgbaPng(work + "/data/lf.png", 512, 512,
                                      std::vector<std::uint8_t>(512 * 512 * 4, 0)));
        previousFolder = std::filesystem::current_path();
        std::filesystem::current_path(work);
        setBar(0);
    }
    void TearDown() override {
        std::filesystem::current_path(previousFolder);
        GraphicsFixture::TearDown();
    }
    void setBar(int bar) { graphics.setMusicBar(&bar); }
    void runSteps(int n) {
        for (int i = 0; i < n; ++i)
            scene.update();
    }
    test::Image drawn() {
        scene.draw();
        d->Present(nullptr, nullptr, nullptr, nullptr);
        test::flushFrames();
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

    std::filesystem::path previousFolder;
    ObservedTitle scene;
};

std::uint32_t noiseTexel(std::uint32_t random) {
    const std::uint32_t v = random & 0xFF;
    return 0xFF000000u | v << 16 | v << 8 | v;
}

// Draws the noise unblended at one texel per pixel from its corner and compares every pixel.
void expectNoiseOnScreen(IDirect3DDevice9* d, GraphicsDevice& graphics, CanvasSprite& noise,
                         test::FrameCatcher& catcher) {
    graphics.resetTextureStages();
    graphics.setBlendMode(BlendMode::Off);
    d->SetSamplerState(0, D3DSAMP_MINFILTER, D3DTEXF_POINT);
    d->SetSamplerState(0, D3DSAMP_MAGFILTER, D3DTEXF_POINT);
    noise.draw(0, 0, 0, 1024, 1024, 0, 0, 1024, 1024);
    d->Present(nullptr, nullptr, nullptr, nullptr);
    test::flushFrames();
    seedRandom(0);
    int wrong = 0;
    for (int y = 0; y < 1024; ++y)
        for (int x = 0; x < 1024; ++x) {
            const int v = static_cast<int>(nextRandom() & 0xFF);
            if (x < 800 && y < 600) wrong += catcher.last.at(x, y).g != v;
        }
    EXPECT_EQ(wrong, 0);
}

} // namespace

TEST_F(TitleSceneTest, TheNoiseIsTheTwisterSeededWithZeroRowByRow) {
    scene.init(&graphics);
    IDirect3DTexture9* texture = scene.noiseSprite().getTexture();
    ASSERT_NE(texture, nullptr);
    D3DLOCKED_RECT locked{};
    ASSERT_EQ(texture->LockRect(0, &locked, nullptr, D3DLOCK_READONLY), D3D_OK);
    seedRandom(0);
    int wrong = 0;
    for (int y = 0; y < 1024; ++y) {
        const auto* row = reinterpret_cast<const std::uint32_t*>(
            static_cast<const unsigned char*>(locked.pBits) + y * locked.Pitch);
        for (int x = 0; x < 1024; ++x)
            wrong += row[x] != noiseTexel(nextRandom());
    }
    texture->UnlockRect(0);
    EXPECT_EQ(wrong, 0);
    // Bytes in memory are B, G, R, A: the grey level thrice, then opaque.
    D3DLOCKED_RECT again{};
    texture->LockRect(0, &again, nullptr, D3DLOCK_READONLY);
    const auto* bytes = static_cast<const unsigned char*>(again.pBits);
    seedRandom(0);
    const unsigned char first = nextRandom() & 0xFF;
    EXPECT_EQ(bytes[0], first);
    EXPECT_EQ(bytes[1], first);
    EXPECT_EQ(bytes[2], first);
    EXPECT_EQ(bytes[3], 0xFF);
    texture->UnlockRect(0);
    expectNoiseOnScreen(d, graphics, scene.noiseSprite(), catcher);
}

TEST_F(TitleSceneTest, APaddedPitchStillGivesTheSamePicture) {
    d3d9::setLockPitchPadding(64);
    scene.init(&graphics);
    d3d9::setLockPitchPadding(0);
    expectNoiseOnScreen(d, graphics, scene.noiseSprite(), catcher);
}

TEST_F(TitleSceneTest, JitterFallsToItsFloorAndTheOffsetsStayWithinIt) {
    scene.init(&graphics);
    scene.start();
    double jitter = 60.0;
    for (int step = 1; step <= 800; ++step) {
        scene.update();
        for (int i = 0; i < 16; ++i) {
            ASSERT_LE(std::abs(scene.state().offsetX[i]), jitter) << step;
            ASSERT_LE(std::abs(scene.state().offsetY[i]), jitter) << step;
        }
        jitter = std::max(5.0, jitter - static_cast<double>(0.08f));
        ASSERT_DOUBLE_EQ(scene.state().jitter, jitter) << step;
        if (step == 687) {
            EXPECT_GT(scene.state().jitter, 5.0);
        }
        if (step == 688) {
            EXPECT_EQ(scene.state().jitter, 5.0);
        }
    }
    EXPECT_EQ(scene.state().doorCounter, -800);
    EXPECT_EQ(scene.steps(), 800);
}

TEST_F(TitleSceneTest, TheOffsetsAreTheSameOnEveryStartAndSpreadOverTheJitter) {
    scene.init(&graphics);
    scene.start();
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
    scene.init(&graphics);
    scene.start();
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
    scene.init(&graphics);
    scene.start();
    EXPECT_EQ(test::countDifferent(drawn(), 0, 0, 800, 600, {0, 0, 0}, 0), 0);
    scene.update();
    EXPECT_EQ(test::countDifferent(drawn(), 0, 0, 800, 600, {0, 0, 0}, 0), 0);
    scene.update(); // now the doors stand two pixels apart, opaque
    const test::Image frame = drawn();
    EXPECT_EQ(test::countDifferent(frame, 0, 0, 398, 600, {0, 0, 0}, 0), 0);
    EXPECT_EQ(test::countDifferent(frame, 402, 0, 800, 600, {0, 0, 0}, 0), 0);
    EXPECT_GT(test::countDifferent(frame, 398, 0, 402, 600, {0, 0, 0}, 0), 1000);
}

TEST_F(TitleSceneTest, TheDoorsOpenAndFadeThenThePillarsTakeOver) {
    scene.init(&graphics);
    scene.start();
    runSteps(100);
    drawn(); // stores the opacity for the next frame: 255 - 101
    const test::Image doors = drawn();
    // Noise alone averages 127.5 x 32/255 = 16; under the panels it keeps 101/255 of that.
    EXPECT_NEAR(mean(doors, 305, 0, 495, 600), 16.0, 1.0);
    EXPECT_NEAR(mean(doors, 0, 0, 295, 600), 6.3, 1.0);
    EXPECT_NEAR(mean(doors, 505, 0, 800, 600), 6.3, 1.0);

    setBar(4);
    runSteps(156); // doorCounter -256: the pillars, at opacity 156
    const test::Image pillars = drawn();
    EXPECT_EQ(scene.state().doorCounter, -256);
    EXPECT_NEAR(mean(pillars, 0, 0, 75, 600), 16.0 * 99 / 255, 1.0);
    EXPECT_NEAR(mean(pillars, 720, 0, 800, 600), 16.0 * 99 / 255, 1.0);
    EXPECT_NEAR(mean(pillars, 80, 0, 715, 600), 16.0, 1.0);
    runSteps(100);
    const test::Image opaque = drawn();
    EXPECT_EQ(test::countDifferent(opaque, 0, 0, 75, 600, {0, 0, 0}, 0), 0);
    EXPECT_EQ(test::countDifferent(opaque, 720, 0, 800, 600, {0, 0, 0}, 0), 0);
    EXPECT_NEAR(mean(opaque, 80, 0, 715, 600), 16.0, 1.0);
}

TEST_F(TitleSceneTest, LeavesSmoothBorderedFilteringAndBlendingOff) {
    scene.init(&graphics);
    scene.start();
    runSteps(300);
    drawn();
    DWORD value = 0;
    d->GetSamplerState(0, D3DSAMP_MINFILTER, &value);
    EXPECT_EQ(value, static_cast<DWORD>(D3DTEXF_GAUSSIANQUAD));
    d->GetSamplerState(0, D3DSAMP_ADDRESSU, &value);
    EXPECT_EQ(value, static_cast<DWORD>(D3DTADDRESS_BORDER));
    d->GetRenderState(D3DRS_ALPHABLENDENABLE, &value);
    EXPECT_EQ(value, static_cast<DWORD>(FALSE));
}
