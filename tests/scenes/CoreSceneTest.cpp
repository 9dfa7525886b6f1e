#include "scenes/CoreScene.h"
#include "support/SceneFixture.h"

#include <cstdint>
#include <filesystem>
#include <gtest/gtest.h>

namespace {

// The core scene with its program-long course laid open.
class ObservedCore : public CoreScene {
  public:
    Course& state() { return course; }
    int steps() const { return frameCount; }
    CanvasSprite& grain() { return grainTexture; }
    CanvasSprite& scanlines() { return scanlineTexture; }
    Sprite& sheet() { return glyphs; }
};

class CoreSceneTest : public test::SceneFixture<ObservedCore> {
  protected:
    CoreSceneTest() : SceneFixture(40) {}
};

// Every texel of a canvas, row by row, as 0xAARRGGBB.
std::vector<std::uint32_t> texels(CanvasSprite& canvas) {
    std::vector<std::uint32_t> out;
    D3DLOCKED_RECT locked{};
    if (FAILED(canvas.getTexture()->LockRect(0, &locked, nullptr, D3DLOCK_READONLY))) return out;
    for (int y = 0; y < 1024; ++y) {
        const auto* row = reinterpret_cast<const std::uint32_t*>(
            static_cast<const unsigned char*>(locked.pBits) + y * locked.Pitch);
        out.insert(out.end(), row, row + 1024);
    }
    canvas.getTexture()->UnlockRect(0);
    return out;
}

std::uint32_t grey(std::uint32_t v) {
    return 0xFF000000u | v << 16 | v << 8 | v;
}

} // namespace

TEST_F(CoreSceneTest, GrainAndScanlinesComeFromTheTwisterSeededWithZero) {
    const auto grain = texels(scene.grain());
    const auto lines = texels(scene.scanlines());
    ASSERT_EQ(grain.size(), 1024u * 1024u);
    ASSERT_EQ(lines.size(), 1024u * 1024u);
    // Low bytes of the 1998 reference generator's outputs after seeding with 0, one a texel:
    // outputs 0-3 (row 0), 1024-1027 (row 1), 4096-4099 (row 4), and the last four.
    const struct {
        std::size_t first;
        std::uint32_t grey[4], line[4]; // a dim row keeps what is over 127
    } rows[] = {{0, {201, 197, 229, 47}, {74, 70, 102, 0}},
                {1024, {213, 187, 171, 96}, {86, 60, 44, 0}},
                {4096, {128, 50, 204, 10}, {1, 0, 77, 0}},
                {1023 * 1024 + 1020, {230, 55, 35, 157}, {0, 0, 0, 0}}}; // row 1023 is black
    for (const auto& row : rows)
        for (std::size_t k = 0; k < 4; ++k) {
            EXPECT_EQ(grain[row.first + k], grey(row.grey[k])) << row.first + k;
            EXPECT_EQ(lines[row.first + k], grey(row.line[k])) << row.first + k;
        }
    // Rows 2 and 3 of every four are black; the others dim, at most 255 - 127.
    for (std::size_t y = 0; y < 1024; ++y)
        for (std::size_t x = 0; x < 1024; ++x) {
            const std::uint32_t texel = lines[y * 1024 + x];
            if (y % 4 >= 2) {
                ASSERT_EQ(texel, 0xFF000000u) << x << ", " << y;
            }
            ASSERT_LE(texel & 0xFF, 128u) << x << ", " << y;
        }
}

TEST_F(CoreSceneTest, TheCodeScrollsThreePixelsAStepAndWrapsBefore506) {
    for (int step = 1; step <= 400; ++step) {
        scene.update();
        // 0, 3, ..., 504, then 0 again: a period of 169 steps.
        ASSERT_EQ(scene.state().scrollOffset, 3 * (step % 169)) << step;
        if (step == 168) {
            ASSERT_EQ(scene.state().scrollOffset, 504);
        }
        if (step == 169) {
            ASSERT_EQ(scene.state().scrollOffset, 0); // 507 is never stored
        }
    }
}

TEST_F(CoreSceneTest, GrainGlidesInThirtyStepsTowardTargetsThatRiseAfterStep240) {
    auto& s = scene.state();
    runSteps(1); // choosing: a thirtieth of the way from 64 to 127 a step
    EXPECT_EQ(s.glidePhase, CoreScene::Glide);
    EXPECT_NEAR(s.grainStep, 2.1, 1e-12);
    runSteps(30);
    EXPECT_NEAR(s.grainAlpha, 127.0, 1e-9);
    EXPECT_EQ(s.glidePhase, CoreScene::Choose);
    // Each glide takes 31 steps; targets chosen up to step 240 lie in 16..128, later ones in
    // 64..128.
    double lowest = 128;
    while (scene.steps() < 240) {
        runSteps(1);
        if (s.glidePhase == CoreScene::Choose) lowest = std::min(lowest, s.grainTarget);
        ASSERT_TRUE(s.grainTarget >= 16 && s.grainTarget < 128);
    }
    while (scene.steps() < 2000) {
        runSteps(1);
        if (s.glidePhase == 0 && scene.steps() > 241) {
            ASSERT_TRUE(s.grainTarget >= 64 && s.grainTarget < 128) << scene.steps();
        }
    }
    EXPECT_LT(lowest, 64); // seven early targets, at least one under 64
}

TEST_F(CoreSceneTest, FlashSquaresAgeAndStartAgainAt100) {
    auto& ages = scene.state().flashAges;
    for (double age : ages)
        ASSERT_TRUE(age >= 10 && age <= 59 && age == static_cast<int>(age)) << age;
    const double first = ages[0];
    runSteps(static_cast<int>(99 - first));
    EXPECT_EQ(ages[0], 99);
    runSteps(1);
    EXPECT_EQ(ages[0], 0); // drawn at zero size
    runSteps(1);
    EXPECT_EQ(ages[0], 1);
}

TEST_F(CoreSceneTest, GlyphsBrightenFromStep240AndTheNameIsRevealedLevelByLevel) {
    auto& s = scene.state();
    runSteps(239);
    EXPECT_EQ(s.glyphBrightness, 0.0);
    runSteps(1);
    EXPECT_NEAR(s.glyphBrightness, 0.2, 1e-6);
    // 0.2 a step reaches 120 at step 839; the timer of 60 then gives a level every second.
    const struct {
        int step, reveal;
    } rows[] = {{838, 0}, {897, 0}, {898, 1}, {1017, 2}, {1018, 3}, {1437, 9}, {1438, 10}};
    for (const auto& row : rows) {
        runSteps(row.step - scene.steps());
        EXPECT_EQ(s.revealCount, row.reveal) << "step " << row.step;
        if (row.step == 1018) {
            runSteps(1238 - 1018); // 999 steps of the float 0.2 fall just short of 200
            EXPECT_LT(s.glyphBrightness, 200);
            runSteps(1);
            EXPECT_EQ(s.glyphBrightness, 200.0);
        }
    }
    runSteps(2000);
    EXPECT_EQ(s.glyphBrightness, 200.0);
    EXPECT_EQ(s.revealCount, 10);
}

TEST_F(CoreSceneTest, EachCodeDrawsItsOwnCellAndOtherCodesNothing) {
    // A sheet whose every 48 x 48 cell is one colour naming it: red = column, green = row.
    IDirect3DTexture9* sheet = nullptr;
    ASSERT_EQ(D3DXCreateTexture(d, 512, 512, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &sheet),
              D3D_OK);
    D3DLOCKED_RECT locked{};
    ASSERT_EQ(sheet->LockRect(0, &locked, nullptr, 0), D3D_OK);
    for (int y = 0; y < 512; ++y)
        for (int x = 0; x < 512; ++x)
            reinterpret_cast<std::uint32_t*>(static_cast<unsigned char*>(locked.pBits) +
                                             y * locked.Pitch)[x] =
                D3DCOLOR_ARGB(255, 20 * (x / 48) + 10, 20 * (y / 48) + 10, 0);
    sheet->UnlockRect(0);
    scene.sheet().attach(d, sheet);
    sheet->Release(); // the sprite holds its own reference
    d->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 1.0f, 0);
    graphics.setBlendMode(BlendMode::Off);
    graphics.resetTextureStages();
    d->SetSamplerState(0, D3DSAMP_MINFILTER, D3DTEXF_POINT);
    d->SetSamplerState(0, D3DSAMP_MAGFILTER, D3DTEXF_POINT);
    const std::string codes = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    // The sheet's cell of each code, read off the sheet: letters fill rows 0-3 eight a row,
    // digits row 4, where 8 and 9 share the cells of 0 and 1.
    const std::string cellColumns = "01234567012345670123456701"
                                    "0123456701";
    const std::string cellRows = "00000000111111112222222233"
                                 "4444444444";
    for (std::size_t i = 0; i < codes.size(); ++i)
        scene.drawGlyph(32.0 * (i % 20), 32.0 * (i / 20), codes[i]);
    for (char other : {'@', '[', '/', ':', ' ', 'a', '\x7f'})
        scene.drawGlyph(100, 300, other);
    d->Present(nullptr, nullptr, nullptr, nullptr);
    test::flushFrames(d);
    EXPECT_EQ(test::lastFrameCounts(d).drawCalls, codes.size());
    for (std::size_t i = 0; i < codes.size(); ++i) {
        const int column = cellColumns[i] - '0', row = cellRows[i] - '0';
        const test::Rgb p = catcher.last.at(static_cast<int>(32 * (i % 20)) + 12,
                                            static_cast<int>(32 * (i / 20)) + 12);
        EXPECT_EQ(p.r, 20 * column + 10) << codes[i];
        EXPECT_EQ(p.g, 20 * row + 10) << codes[i];
    }
    EXPECT_EQ(catcher.last.at(112, 312).r, 0) << "nothing for other codes";
}

TEST_F(CoreSceneTest, DrawsTheRoomCoreFlashesAndAFieldOfGlyphs) {
    runSteps(100);
    const test::DrawCounts stats = drawn();
    // 2,168 boxes, then 8 copies of the three-subset core.
    EXPECT_EQ(stats.drawsByType[D3DPT_TRIANGLELIST], 2168u + 8u * 3u);
    EXPECT_EQ(stats.drawsByType[D3DPT_POINTLIST], 1u); // the embers
    // Code 2, flashes 30, error 5, echo and frame 2, grain and scanlines 2, bars 2; the
    // glyphs: about half of 1,089 cells, no name letters before the reveal.
    const unsigned fixed = 2 + 30 + 5 + 2 + 2 + 2;
    const unsigned glyphQuads = stats.drawsByType[D3DPT_TRIANGLEFAN] - fixed;
    EXPECT_GT(glyphQuads, 450u);
    EXPECT_LT(glyphQuads, 640u);

    // Every letter revealed: 32 shaken copies, no random glyph in the name. The count cannot tell
    // copies from random glyphs; the name's own test finds them by their colour.
    runSteps(1500);
    const test::DrawCounts late = drawn();
    const unsigned lateGlyphs = late.drawsByType[D3DPT_TRIANGLEFAN] - fixed;
    EXPECT_GT(lateGlyphs, 450u + 32u);
    EXPECT_LE(lateGlyphs, 1081u + 32u);
}

TEST_F(CoreSceneTest, TheNameIsDecodedInOrangeInTheMiddleRow) {
    // Warm, bright pixels (red high, blue low) in a glyph cell: the grey random glyphs have
    // blue as high as red, the name's orange copies little blue.
    const auto warm = [this](int x0, int y0) {
        int n = 0;
        for (int y = y0 - 2; y < y0 + 26; ++y)
            for (int x = x0 - 2; x < x0 + 26; ++x) {
                const test::Rgb p = catcher.last.at(x, y);
                n += p.r > 200 && p.b < 120;
            }
        return n;
    };
    runSteps(1017); // two levels: no letter yet
    drawn();
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(warm(256 + 32 * i, 256), 0) << "letter " << i;
    runSteps(500);
    drawn();
    // Measured 172 to 272 warm pixels in each name cell, none in the row above.
    for (int i = 0; i < 8; ++i) {
        EXPECT_GT(warm(256 + 32 * i, 256), 80) << "letter " << i;
        EXPECT_LT(warm(256 + 32 * i, 224), 20) << "above letter " << i;
    }
    EXPECT_EQ(test::countDifferent(catcher.last, 0, 0, 75, 600, {0, 0, 0}, 0), 0);
    EXPECT_EQ(test::countDifferent(catcher.last, 720, 0, 800, 600, {0, 0, 0}, 0), 0);
}

TEST_F(CoreSceneTest, TrailsKeepThreeQuartersOfTheFrameBefore) {
    runSteps(100);
    scene.state().grainAlpha = 0; // no grain or scanlines over the trails
    const auto meanInside = [this] {
        double sum = 0;
        for (int y = 100; y < 500; ++y)
            for (int x = 100; x < 700; ++x)
                sum += catcher.last.at(x, y).r;
        return sum / (600.0 * 400.0);
    };
    // The trail buffers start black, and each frame keeps 192/255 of the one before: one
    // frame shows 63/255 of what is drawn, two 1 - (192/255)^2, and twenty all of it.
    drawn();
    const double one = meanInside();
    drawn();
    const double two = meanInside();
    for (int i = 0; i < 18; ++i)
        drawn();
    const double settled = meanInside();
    ASSERT_GT(settled, 20);
    EXPECT_NEAR(one / settled, 63.0 / 255, 0.03);
    EXPECT_NEAR(two / settled, 1 - (192.0 / 255) * (192.0 / 255), 0.04);
}
