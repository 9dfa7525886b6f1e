// A device drawing at twice the pixels: pixels placed as at 800 x 600, textures sampled around
// each Direct3D pixel's centre, copies of one texel to one pixel keeping every stored pixel.
// Expected values are worked from Direct3D's rules: pixel X samples the coordinate X (plus the
// platform's 1/128 nudge), and a texture of one texel per pixel placed on whole coordinates has
// texel k's centre at k + 0.5.
#include "gfx/ScreenVertex.h"
#include "support/OffscreenDevice.h"

#include <functional>
#include <gtest/gtest.h>

namespace {

class ResolutionScaleTest : public ::testing::Test {
  protected:
    IDirect3DTexture9* makeTexture(UINT w, UINT h, const std::function<D3DCOLOR(int, int)>& texel) {
        IDirect3DTexture9* texture = nullptr;
        EXPECT_EQ(d->CreateTexture(w, h, 1, 0, D3DFMT_X8R8G8B8, D3DPOOL_MANAGED, &texture, nullptr),
                  D3D_OK);
        D3DLOCKED_RECT locked{};
        EXPECT_EQ(texture->LockRect(0, &locked, nullptr, 0), D3D_OK);
        for (UINT y = 0; y < h; ++y)
            for (UINT x = 0; x < w; ++x)
                reinterpret_cast<DWORD*>(static_cast<unsigned char*>(locked.pBits) +
                                         y * static_cast<UINT>(locked.Pitch))[x] =
                    texel(static_cast<int>(x), static_cast<int>(y));
        texture->UnlockRect(0);
        return texture;
    }

    void quad(IDirect3DBaseTexture9* texture, float x0, float y0, float x1, float y1,
              D3DCOLOR colour = 0xFFFFFFFF) {
        const ScreenVertex v[4] = {{x0, y0, 0, 1, colour, 0, 0},
                                   {x1, y0, 0, 1, colour, 1, 0},
                                   {x1, y1, 0, 1, colour, 1, 1},
                                   {x0, y1, 0, 1, colour, 0, 1}};
        d->SetTexture(0, texture);
        d->SetFVF(ScreenVertex::format);
        d->DrawPrimitiveUP(D3DPT_TRIANGLEFAN, 2, v, sizeof(ScreenVertex));
        d->SetTexture(0, nullptr);
    }

    void sampleWith(DWORD filter) {
        d->SetSamplerState(0, D3DSAMP_MINFILTER, filter);
        d->SetSamplerState(0, D3DSAMP_MAGFILTER, filter);
        d->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
        d->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
        d->SetRenderState(D3DRS_ZENABLE, D3DZB_FALSE);
        d->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0);
    }

    test::OffscreenDevice offscreen{2};
    IDirect3DDevice9* d = offscreen.device();
};

D3DCOLOR grey(int v) {
    return D3DCOLOR_ARGB(255, v, v, v);
}

} // namespace

TEST_F(ResolutionScaleTest, EdgesOnWholeCoordinatesFallBetweenDirect3DPixels) {
    sampleWith(D3DTEXF_POINT);
    d->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_DIFFUSE);
    quad(nullptr, 100, 50, 164, 82); // Direct3D pixels 100..163 and 50..81
    const test::Image& frame = offscreen.present();
    ASSERT_EQ(frame.width, 1600);
    EXPECT_EQ(frame.at(199, 120).r, 0);
    EXPECT_EQ(frame.at(200, 120).r, 255);
    EXPECT_EQ(frame.at(327, 120).r, 255);
    EXPECT_EQ(frame.at(328, 120).r, 0);
    EXPECT_EQ(frame.at(250, 99).r, 0);
    EXPECT_EQ(frame.at(250, 100).r, 255);
    EXPECT_EQ(frame.at(250, 163).r, 255);
    EXPECT_EQ(frame.at(250, 164).r, 0);
}

TEST_F(ResolutionScaleTest, PointSamplingTakesOneTexelForAllPixelsOfADirect3DPixel) {
    // Unshifted, as the show draws its static: pixel X's centre falls on texel X - 100's left
    // edge, so the stored pixels either side of it would take two different texels.
    auto* texture = makeTexture(64, 32, [](int x, int y) {
        return D3DCOLOR_ARGB(255, (x * 37 + y * 11) & 255, (x * 5) & 255, (y * 9) & 255);
    });
    sampleWith(D3DTEXF_POINT);
    quad(texture, 100, 50, 164, 82);
    const test::Image& frame = offscreen.present();
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 64; ++x)
            for (int i = 0; i < 4; ++i) {
                const test::Rgb p = frame.at(2 * (100 + x) + i % 2, 2 * (50 + y) + i / 2);
                ASSERT_EQ(p.r, (x * 37 + y * 11) & 255) << x << "," << y << " pixel " << i;
                ASSERT_EQ(p.g, (x * 5) & 255);
                ASSERT_EQ(p.b, (y * 9) & 255);
            }
    texture->Release();
}

TEST_F(ResolutionScaleTest, LinearSamplingCentresEachDirect3DPixelsHalfTexelBlend) {
    // Texel k is 4k. At 800 x 600 pixel X reads 4X - 2, half of texels X - 1 and X. Its two
    // stored columns sample a quarter of a pixel either side: 4(X - 0.742) and 4(X + 0.266),
    // which round to 4X - 3 and 4X - 1.
    auto* texture = makeTexture(64, 8, [](int x, int) { return grey(x * 4); });
    sampleWith(D3DTEXF_LINEAR);
    d->SetSamplerState(0, D3DSAMP_ADDRESSU, D3DTADDRESS_CLAMP);
    quad(texture, 0, 0, 64, 8);
    const test::Image& frame = offscreen.present();
    for (int x = 1; x < 64; ++x) {
        ASSERT_EQ(frame.at(2 * x, 8).r, 4 * x - 3) << "pixel " << x;
        ASSERT_EQ(frame.at(2 * x + 1, 8).r, 4 * x - 1) << "pixel " << x;
    }
    texture->Release();
}

TEST_F(ResolutionScaleTest, ACopyOfOneTexelToOnePixelKeepsEveryStoredPixel) {
    // A target striped one stored column white, one black: half-pixel-wide quads [k, k + 0.5)
    // cover only the column whose centre lies at k.
    IDirect3DTexture9* target = nullptr;
    ASSERT_EQ(d->CreateTexture(64, 16, 1, D3DUSAGE_RENDERTARGET, D3DFMT_X8R8G8B8, D3DPOOL_DEFAULT,
                               &target, nullptr),
              D3D_OK);
    IDirect3DSurface9 *surface = nullptr, *backBuffer = nullptr;
    target->GetSurfaceLevel(0, &surface);
    d->GetRenderTarget(0, &backBuffer);
    d->SetRenderTarget(0, surface);
    sampleWith(D3DTEXF_LINEAR);
    d->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_DIFFUSE);
    for (int k = 0; k < 64; ++k)
        quad(nullptr, static_cast<float>(k), 0, k + 0.5f, 16);
    d->SetRenderTarget(0, backBuffer);
    d->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
    d->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0);
    // Copied as the sprites copy, unshifted: each stored column reads 98.4% of the one before.
    quad(target, 0, 0, 64, 16);
    const test::Image& frame = offscreen.present();
    for (int x = 2; x < 126; ++x)
        ASSERT_NEAR(frame.at(x, 16).r, x % 2 ? 251 : 4, 2) << "column " << x;
    surface->Release();
    backBuffer->Release();
    target->Release();
}

TEST_F(ResolutionScaleTest, AShrinkAndStretchBlursAsAt800By600) {
    // A target white left of column 32, shrunk by 4 into another and stretched back onto the
    // screen, as a glow's passes do. At 800 x 600 the shrunk picture is 255 up to its pixel 7,
    // 0.47 x 255 = 120 at pixel 8 (half-texel sampling between columns 31 and 32), then 0; the
    // stretch reads it half a texel apart: screen pixel 32 is (255 + 120) / 2, pixel 36 is
    // 120 / 2. At twice the pixels the two stored pixels of each Direct3D pixel average to that.
    IDirect3DTexture9 *sharp = nullptr, *shrunk = nullptr;
    for (IDirect3DTexture9** target : {&sharp, &shrunk})
        ASSERT_EQ(d->CreateTexture(64, 16, 1, D3DUSAGE_RENDERTARGET, D3DFMT_X8R8G8B8,
                                   D3DPOOL_DEFAULT, target, nullptr),
                  D3D_OK);
    IDirect3DSurface9 *sharpSurface = nullptr, *shrunkSurface = nullptr, *backBuffer = nullptr;
    sharp->GetSurfaceLevel(0, &sharpSurface);
    shrunk->GetSurfaceLevel(0, &shrunkSurface);
    d->GetRenderTarget(0, &backBuffer);
    d->SetRenderTarget(0, sharpSurface);
    sampleWith(D3DTEXF_LINEAR);
    d->SetSamplerState(0, D3DSAMP_ADDRESSU, D3DTADDRESS_CLAMP);
    d->SetSamplerState(0, D3DSAMP_ADDRESSV, D3DTADDRESS_CLAMP);
    d->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_DIFFUSE);
    quad(nullptr, 0, 0, 32, 16);
    d->SetRenderTarget(0, shrunkSurface);
    d->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0);
    d->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
    quad(sharp, 0, 0, 16, 4);
    d->SetRenderTarget(0, backBuffer);
    d->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0);
    const ScreenVertex v[4] = {{0, 0, 0, 1, 0xFFFFFFFF, 0, 0},
                               {64, 0, 0, 1, 0xFFFFFFFF, 0.25f, 0},
                               {64, 16, 0, 1, 0xFFFFFFFF, 0.25f, 0.25f},
                               {0, 16, 0, 1, 0xFFFFFFFF, 0, 0.25f}};
    d->SetTexture(0, shrunk);
    d->DrawPrimitiveUP(D3DPT_TRIANGLEFAN, 2, v, sizeof(ScreenVertex));
    d->SetTexture(0, nullptr);
    const test::Image& frame = offscreen.present();
    const auto screenPixel = [&frame](int x) {
        return (frame.at(2 * x, 16).r + frame.at(2 * x + 1, 16).r) / 2.0;
    };
    EXPECT_NEAR(screenPixel(28), 255, 2);
    EXPECT_NEAR(screenPixel(32), 187.5, 2);
    EXPECT_NEAR(screenPixel(36), 60, 2);
    EXPECT_NEAR(screenPixel(40), 0, 2);
    for (IDirect3DSurface9* surface : {sharpSurface, shrunkSurface, backBuffer})
        surface->Release();
    sharp->Release();
    shrunk->Release();
}
