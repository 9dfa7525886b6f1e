#include "gfx/Sprite.h"
#include "d3dx9.h"
#include "gfx/CanvasSprite.h"
#include "support/OffscreenDevice.h"

#include <gtest/gtest.h>

namespace {

class SpriteTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_EQ(D3DXCreateTexture(d, 4, 4, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &white),
                  D3D_OK);
        D3DLOCKED_RECT locked{};
        white->LockRect(0, &locked, nullptr, 0);
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 4; ++x)
                reinterpret_cast<DWORD*>(static_cast<unsigned char*>(locked.pBits) +
                                         y * locked.Pitch)[x] = 0xFFFFFFFF;
        white->UnlockRect(0);
        d->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_MODULATE);
        d->SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_DIFFUSE);
        clear();
    }
    void TearDown() override { white->Release(); }
    void clear() { d->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 1, 0); }
    int lit(const test::Image& frame, int x0, int y0, int x1, int y1) {
        int n = 0;
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x)
                n += frame.at(x, y).r > 128;
        return n;
    }
    void expectAxisAligned(const test::Image& frame, int x, int y, int w, int h) {
        EXPECT_EQ(lit(frame, x, y, x + w, y + h), w * h);
        EXPECT_EQ(lit(frame, 0, 0, 800, 600), w * h);
    }

    test::OffscreenDevice offscreen;
    IDirect3DDevice9* d = offscreen.device();
    IDirect3DTexture9* white = nullptr;
};

} // namespace

TEST_F(SpriteTest, AFreshSpriteDrawsItsRectangleScaledAboutTheCentre) {
    Sprite sprite;
    sprite.attach(d, white);
    sprite.setTextureSize(4, 4);
    sprite.drawWhole(10, 20, 0, 50, 40);
    expectAxisAligned(offscreen.present(), 10, 20, 50, 40);

    clear();
    sprite.setScale(0.5f);
    sprite.drawWhole(0, 100, 0, 100, 100); // shrinks to (25, 125)-(75, 175)
    expectAxisAligned(offscreen.present(), 25, 125, 50, 50);

    clear();
    sprite.reset();          // scale 1 again
    sprite.setAngle(225.9f); // truncated to the upright 225
    sprite.drawWhole(300, 300, 0, 64, 64);
    expectAxisAligned(offscreen.present(), 300, 300, 64, 64);

    // The draw leaves z-writes on and stage 0 empty whatever they were.
    d->SetRenderState(D3DRS_ZWRITEENABLE, FALSE);
    sprite.drawWhole(0, 0, 0, 8, 8);
    DWORD zWrite = 0;
    d->GetRenderState(D3DRS_ZWRITEENABLE, &zWrite);
    EXPECT_EQ(zWrite, static_cast<DWORD>(TRUE));
    IDirect3DBaseTexture9* bound = reinterpret_cast<IDirect3DBaseTexture9*>(&zWrite);
    d->GetTexture(0, &bound);
    EXPECT_EQ(bound, nullptr);
}

TEST_F(SpriteTest, AngleRulesForSquaresAndOtherQuads) {
    Sprite sprite;
    sprite.attach(d, white);
    sprite.setTextureSize(4, 4);
    sprite.setAngle(-0.5f); // truncated to 0: a square turned from its upright 225 into a diamond
    sprite.drawWhole(368, 268, 0, 64, 64);
    const test::Image& diamond = offscreen.present();
    EXPECT_EQ(diamond.at(400, 300).r, 255);
    EXPECT_EQ(diamond.at(371, 271).r, 0);   // the square's corners are outside the diamond
    EXPECT_EQ(diamond.at(443, 300).r, 255); // a point reaches out to the right: r = 45.25
    EXPECT_NEAR(lit(diamond, 0, 0, 800, 600), 2 * 45.25 * 45.25, 120);

    // A 100 x 50 quad at 0 degrees takes the rotation path and still stands upright.
    clear();
    sprite.setAngle(0);
    sprite.drawWhole(100, 100, 0, 100, 50);
    const test::Image& upright = offscreen.present();
    EXPECT_NEAR(lit(upright, 100, 100, 200, 150), 5000, 110);
    EXPECT_LE(lit(upright, 0, 0, 800, 600) - lit(upright, 100, 100, 200, 150), 110);
}

TEST_F(SpriteTest, SourceRectanglesTintAndAZeroTexelSize) {
    IDirect3DTexture9* halves = nullptr;
    ASSERT_EQ(D3DXCreateTexture(d, 2, 1, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &halves), D3D_OK);
    D3DLOCKED_RECT locked{};
    halves->LockRect(0, &locked, nullptr, 0);
    static_cast<DWORD*>(locked.pBits)[0] = 0xFFFF0000;
    static_cast<DWORD*>(locked.pBits)[1] = 0xFF0000FF;
    halves->UnlockRect(0);
    Sprite sprite;
    sprite.attach(d, halves);
    halves->Release(); // the sprite keeps its own reference
    sprite.setTextureSize(2, 1);
    sprite.setColor(255, 128, 255);
    sprite.draw(0, 0, 0, 40, 40, 1, 0, 1, 1); // the right texel only: blue
    const test::Image& frame = offscreen.present();
    EXPECT_EQ(test::countDifferent(frame, 5, 5, 35, 35, {0, 0, 255}, 2), 0);

    clear();
    sprite.setTextureSize(0, 0); // nothing sensible to draw
    sprite.drawWhole(0, 0, 0, 40, 40);
    EXPECT_EQ(lit(offscreen.present(), 0, 0, 800, 600), 0);
}

TEST_F(SpriteTest, TexturesAndSurfacesAreOwnedOncePerReference) {
    const int before = test::liveResources();
    IDirect3DTexture9* texture = nullptr;
    D3DXCreateTexture(d, 8, 8, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture);
    {
        Sprite sprite;
        sprite.attach(d, texture);
        sprite.reset(); // fetching the surface again returns the one before
        sprite.attach(d, texture);
        EXPECT_EQ(sprite.getTexture(), texture);
    }
    EXPECT_EQ(texture->Release(), 0u);
    EXPECT_EQ(test::liveResources(), before);

    testing::internal::CaptureStderr();
    Sprite missing;
    EXPECT_TRUE(FAILED(missing.load(d, "data\\missing.png")));
    EXPECT_EQ(missing.getTexture(), nullptr);
    missing.setTextureSize(4, 4);
    missing.drawWhole(0, 0, 0, 10, 10); // untextured, and no crash
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "読み込み失敗: data\\missing.png\n");
}

TEST_F(SpriteTest, CanvasesAreMadeNotLoaded) {
    CanvasSprite canvas;
    EXPECT_EQ(canvas.create(d, 64, 32), 0);
    ASSERT_NE(canvas.getTexture(), nullptr);
    EXPECT_EQ(canvas.getTexture()->GetLevelCount(), 7u);
    D3DSURFACE_DESC desc{};
    ASSERT_NE(canvas.getSurface(), nullptr);
    canvas.getSurface()->GetDesc(&desc);
    EXPECT_EQ(desc.Width, 64u);

    CanvasSprite empty;
    EXPECT_EQ(empty.create(d, 0, 0), 1);
    EXPECT_EQ(empty.getTexture(), nullptr);
    EXPECT_EQ(empty.getSurface(), nullptr);

    testing::internal::CaptureStderr();
    EXPECT_EQ(empty.load(d, "data\\noise.png"), 0);
    EXPECT_EQ(empty.attach(d, nullptr), 0);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "失敗: data\\noise.png\n失敗: \n");
}
