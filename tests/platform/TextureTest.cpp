#include "Device.h"
#include "Surface.h"
#include "gfx/ScreenVertex.h"
#include "support/OffscreenDevice.h"

#include <functional>
#include <gtest/gtest.h>

namespace {

using Texel = std::function<D3DCOLOR(int x, int y)>;

class TextureTest : public ::testing::Test {
  protected:
    IDirect3DTexture9* makeTexture(UINT w, UINT h, D3DFORMAT format, const Texel& texel) {
        IDirect3DTexture9* texture = nullptr;
        EXPECT_EQ(d->CreateTexture(w, h, 1, 0, format, D3DPOOL_MANAGED, &texture, nullptr), D3D_OK);
        D3DLOCKED_RECT locked{};
        EXPECT_EQ(texture->LockRect(0, &locked, nullptr, 0), D3D_OK);
        for (UINT y = 0; y < h; ++y) {
            auto* row = reinterpret_cast<DWORD*>(static_cast<unsigned char*>(locked.pBits) +
                                                 y * static_cast<UINT>(locked.Pitch));
            for (UINT x = 0; x < w; ++x)
                row[x] = texel(static_cast<int>(x), static_cast<int>(y));
        }
        texture->UnlockRect(0);
        return texture;
    }

    // A textured screen quad, corners top-left first, as the sprites draw them.
    void quad(IDirect3DBaseTexture9* texture, float x0, float y0, float x1, float y1, float u0,
              float v0, float u1, float v1, D3DCOLOR colour = 0xFFFFFFFF) {
        const ScreenVertex v[4] = {{x0, y0, 0, 1, colour, u0, v0},
                                   {x1, y0, 0, 1, colour, u1, v0},
                                   {x1, y1, 0, 1, colour, u1, v1},
                                   {x0, y1, 0, 1, colour, u0, v1}};
        d->SetTexture(0, texture);
        d->SetFVF(ScreenVertex::format);
        d->DrawPrimitiveUP(D3DPT_TRIANGLEFAN, 2, v, sizeof(ScreenVertex));
        d->SetTexture(0, nullptr);
    }
    void filter(DWORD f) {
        d->SetSamplerState(0, D3DSAMP_MINFILTER, f);
        d->SetSamplerState(0, D3DSAMP_MAGFILTER, f);
    }
    void stage(DWORD colorOp, DWORD alphaOp) {
        d->SetTextureStageState(0, D3DTSS_COLOROP, colorOp);
        d->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
        d->SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_DIFFUSE);
        d->SetTextureStageState(0, D3DTSS_ALPHAOP, alphaOp);
        d->SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_TEXTURE);
        d->SetTextureStageState(0, D3DTSS_ALPHAARG2, D3DTA_DIFFUSE);
    }
    void clear(D3DCOLOR colour) {
        d->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, colour, 1.0f, 0);
    }

    test::OffscreenDevice offscreen;
    IDirect3DDevice9* d = offscreen.device();
};

D3DCOLOR grey(int v) {
    return D3DCOLOR_ARGB(255, v, v, v);
}

} // namespace

TEST_F(TextureTest, DrawnOneToOneAPointSampledTextureReproducesItsTexels) {
    auto* texture = makeTexture(64, 32, D3DFMT_A8R8G8B8, [](int x, int y) {
        return D3DCOLOR_ARGB(255, (x * 37 + y * 11) & 255, (x * 5) & 255, (y * 9) & 255);
    });
    clear(0xFF000000);
    filter(D3DTEXF_POINT);
    stage(D3DTOP_SELECTARG1, D3DTOP_SELECTARG1);
    // The platform's recipe: shift the quad half a pixel so texel centres meet pixel centres.
    quad(texture, 99.5f, 49.5f, 163.5f, 81.5f, 0, 0, 1, 1);
    const test::Image& frame = offscreen.present();
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 64; ++x) {
            const test::Rgb p = frame.at(100 + x, 50 + y);
            ASSERT_EQ(p.r, (x * 37 + y * 11) & 255) << x << "," << y;
            ASSERT_EQ(p.g, (x * 5) & 255);
            ASSERT_EQ(p.b, (y * 9) & 255);
        }
    EXPECT_EQ(frame.at(99, 50).r, 0);
    EXPECT_EQ(frame.at(164, 50).r, 0);
    texture->Release();
}

TEST_F(TextureTest, LinearSamplingOneToOneShowsTheHalfTexelBlend) {
    // Columns 4x apart in value; unshifted, each pixel centre falls between two texels.
    auto* texture = makeTexture(64, 8, D3DFMT_X8R8G8B8, [](int x, int) { return grey(x * 4); });
    clear(0xFF000000);
    filter(D3DTEXF_LINEAR);
    d->SetSamplerState(0, D3DSAMP_ADDRESSU, D3DTADDRESS_CLAMP);
    stage(D3DTOP_SELECTARG1, D3DTOP_SELECTARG1);
    quad(texture, 0, 0, 64, 8, 0, 0, 1, 1);
    const test::Image& frame = offscreen.present();
    for (int x = 1; x < 64; ++x)
        ASSERT_NEAR(frame.at(x, 4).r, 4 * x - 2, 1) << "pixel " << x;
    EXPECT_NEAR(frame.at(0, 4).r, 0, 1);
    texture->Release();
}

TEST_F(TextureTest, StageZeroModulatesAddsAndReadsXrgbAlphaAsOne) {
    auto* argb = makeTexture(4, 4, D3DFMT_A8R8G8B8,
                             [](int, int) { return D3DCOLOR_ARGB(128, 200, 100, 40); });
    auto* xrgb =
        makeTexture(4, 4, D3DFMT_X8R8G8B8, [](int, int) { return D3DCOLOR_ARGB(0, 200, 100, 40); });
    clear(D3DCOLOR_ARGB(255, 0, 0, 255));
    d->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    d->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    d->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
    stage(D3DTOP_MODULATE, D3DTOP_MODULATE);
    const D3DCOLOR tint = D3DCOLOR_ARGB(255, 128, 255, 255);
    quad(argb, 0, 0, 50, 50, 0, 0, 1, 1, tint);   // (100, 100, 40) at alpha 128 over blue
    quad(xrgb, 50, 0, 100, 50, 0, 0, 1, 1, tint); // opaque: the X byte reads as 255
    stage(D3DTOP_ADD, D3DTOP_SELECTARG2);
    quad(xrgb, 100, 0, 150, 50, 0, 0, 1, 1, D3DCOLOR_ARGB(255, 100, 200, 10)); // saturates
    const test::Image& frame = offscreen.present();
    EXPECT_EQ(test::countDifferent(frame, 5, 5, 45, 45, {50, 50, 147}, 2), 0)
        << frame.at(10, 10).r << "," << frame.at(10, 10).g << "," << frame.at(10, 10).b;
    EXPECT_EQ(test::countDifferent(frame, 55, 5, 95, 45, {100, 100, 40}, 2), 0);
    EXPECT_EQ(test::countDifferent(frame, 105, 5, 145, 45, {255, 255, 50}, 2), 0);
    argb->Release();
    xrgb->Release();
}

TEST_F(TextureTest, BorderAddressingShowsTheBorderColourAndWrapRepeats) {
    auto* texture = makeTexture(8, 8, D3DFMT_X8R8G8B8, [](int, int) { return grey(200); });
    clear(0xFF000000);
    filter(D3DTEXF_POINT);
    stage(D3DTOP_SELECTARG1, D3DTOP_SELECTARG1);
    d->SetSamplerState(0, D3DSAMP_ADDRESSU, D3DTADDRESS_BORDER);
    d->SetSamplerState(0, D3DSAMP_ADDRESSV, D3DTADDRESS_BORDER);
    d->SetSamplerState(0, D3DSAMP_BORDERCOLOR, D3DCOLOR_ARGB(0, 10, 120, 250));
    quad(texture, 0, 0, 90, 90, -1, -1, 2, 2); // the texture in the middle third
    const test::Image& frame = offscreen.present();
    EXPECT_EQ(test::countDifferent(frame, 32, 32, 58, 58, {200, 200, 200}, 0), 0);
    EXPECT_EQ(test::countDifferent(frame, 0, 0, 90, 28, {10, 120, 250}, 1), 0);
    EXPECT_EQ(test::countDifferent(frame, 62, 62, 90, 90, {10, 120, 250}, 1), 0);

    // Bilinear: on the texture's left and top edges (pixel 30 samples u = 0 and v = 0) half of
    // each sample's taps fall on the border: (200 + border) / 2, a corner a quarter texture.
    filter(D3DTEXF_LINEAR);
    quad(texture, 0, 0, 90, 90, -1, -1, 2, 2);
    const test::Image& blended = offscreen.present();
    EXPECT_EQ(test::countDifferent(blended, 30, 36, 31, 56, {105, 160, 225}, 2), 0);
    EXPECT_EQ(test::countDifferent(blended, 36, 30, 56, 31, {105, 160, 225}, 2), 0);
    EXPECT_EQ(test::countDifferent(blended, 30, 30, 31, 31, {58, 140, 238}, 2), 0);
    texture->Release();
    filter(D3DTEXF_POINT);

    // Wrap: a source offset of 1024 + 5 texels draws what an offset of 5 does.
    auto* wide = makeTexture(1024, 2, D3DFMT_X8R8G8B8, [](int x, int) {
        return D3DCOLOR_ARGB(255, x & 255, (x >> 2) & 255, (x * 7) & 255);
    });
    d->SetSamplerState(0, D3DSAMP_ADDRESSU, D3DTADDRESS_WRAP);
    d->SetSamplerState(0, D3DSAMP_ADDRESSV, D3DTADDRESS_WRAP);
    clear(0xFF000000);
    const float near = 5.0f / 1024, far = (1024.0f + 5.0f) / 1024;
    quad(wide, -0.5f, 99.5f, 799.5f, 100.5f, near, 0, near + 800.0f / 1024, 0.5f);
    quad(wide, -0.5f, 199.5f, 799.5f, 200.5f, far, 0, far + 800.0f / 1024, 0.5f);
    const test::Image& wrapped = offscreen.present();
    for (int x = 0; x < 800; ++x) {
        const test::Rgb a = wrapped.at(x, 100), b = wrapped.at(x, 200);
        ASSERT_TRUE(a.r == b.r && a.g == b.g && a.b == b.b) << "pixel " << x;
        ASSERT_EQ(a.r, (x + 5) & 255);
    }
    wide->Release();
}

TEST_F(TextureTest, RenderTargetsKeepTheirTopLeftAndTheirOwnDepth) {
    auto* device = static_cast<d3d9::Device*>(d);
    IDirect3DTexture9* target = nullptr;
    ASSERT_EQ(d->CreateTexture(128, 96, 1, D3DUSAGE_RENDERTARGET, D3DFMT_X8R8G8B8, D3DPOOL_DEFAULT,
                               &target, nullptr),
              D3D_OK);
    IDirect3DSurface9 *colour = nullptr, *depth = nullptr, *screen = nullptr,
                      *screenDepth = nullptr;
    ASSERT_EQ(target->GetSurfaceLevel(0, &colour), D3D_OK);
    ASSERT_EQ(d->CreateDepthStencilSurface(256, 256, D3DFMT_D24S8, D3DMULTISAMPLE_NONE, 0, TRUE,
                                           &depth, nullptr),
              D3D_OK);
    d->GetRenderTarget(0, &screen);
    d->GetDepthStencilSurface(&screenDepth);

    D3DVIEWPORT9 small{5, 5, 10, 10, 0.0f, 1.0f};
    d->SetViewport(&small);
    d->SetRenderTarget(0, colour); // resets the viewport to the whole target
    D3DVIEWPORT9 vp{};
    d->GetViewport(&vp);
    EXPECT_EQ(vp.X, 0u);
    EXPECT_EQ(vp.Width, 128u);
    EXPECT_EQ(vp.Height, 96u);
    d->SetDepthStencilSurface(depth); // larger than the target, as the platform allows
    clear(0xFF000000);
    stage(D3DTOP_SELECTARG2, D3DTOP_SELECTARG2);
    const D3DCOLOR red = D3DCOLOR_ARGB(255, 255, 0, 0), white = 0xFFFFFFFF;
    const ScreenVertex nearQuad[4] = {{0, 0, 0.2f, 1, red, 0, 0},
                                      {8, 0, 0.2f, 1, red, 1, 0},
                                      {8, 8, 0.2f, 1, red, 1, 1},
                                      {0, 8, 0.2f, 1, red, 0, 1}};
    const ScreenVertex farQuad[4] = {{0, 0, 0.6f, 1, white, 0, 0},
                                     {16, 0, 0.6f, 1, white, 1, 0},
                                     {16, 16, 0.6f, 1, white, 1, 1},
                                     {0, 16, 0.6f, 1, white, 0, 1}};
    d->SetFVF(ScreenVertex::format);
    d->DrawPrimitiveUP(D3DPT_TRIANGLEFAN, 2, nearQuad, sizeof(ScreenVertex));
    d->DrawPrimitiveUP(D3DPT_TRIANGLEFAN, 2, farQuad, sizeof(ScreenVertex)); // behind the marker

    std::vector<unsigned char> bgra;
    ASSERT_EQ(device->readSurface(colour, bgra), D3D_OK);
    ASSERT_EQ(bgra.size(), 128u * 96u * 4u);
    EXPECT_EQ(bgra[2], 255); // top-left texel: red, in B, G, R, A order
    EXPECT_EQ(bgra[1], 0);
    EXPECT_EQ((bgra[(10 * 128 + 10) * 4 + 1]), 255); // the white quad where the marker is not

    d->SetRenderTarget(0, screen);
    d->SetDepthStencilSurface(screenDepth);
    clear(0xFF000000);
    filter(D3DTEXF_POINT);
    stage(D3DTOP_SELECTARG1, D3DTOP_SELECTARG1);
    d->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE); // an X8R8G8B8 copy stays opaque
    d->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    d->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
    quad(target, 199.5f, 99.5f, 327.5f, 195.5f, 0, 0, 1, 1);
    const test::Image& frame = offscreen.present();
    EXPECT_EQ(test::countDifferent(frame, 200, 100, 208, 108, {255, 0, 0}, 0), 0);
    EXPECT_EQ(test::countDifferent(frame, 208, 108, 216, 116, {255, 255, 255}, 0), 0);
    EXPECT_EQ(test::countDifferent(frame, 216, 116, 328, 196, {0, 0, 0}, 0), 0);

    screen->Release();
    screenDepth->Release();
    depth->Release();
    colour->Release();
    target->Release();
}

TEST_F(TextureTest, LocksHonourRectanglesPitchesLevelsAndPools) {
    IDirect3DTexture9* chain = nullptr;
    ASSERT_EQ(d->CreateTexture(256, 64, 0, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &chain, nullptr),
              D3D_OK);
    EXPECT_EQ(chain->GetLevelCount(), 9u);
    D3DSURFACE_DESC desc{};
    ASSERT_EQ(chain->GetLevelDesc(3, &desc), D3D_OK);
    EXPECT_EQ(desc.Width, 32u);
    EXPECT_EQ(desc.Height, 8u);
    EXPECT_EQ(chain->GetLevelDesc(9, &desc), D3DERR_INVALIDCALL);

    D3DLOCKED_RECT locked{};
    const RECT part{2, 3, 4, 5};
    ASSERT_EQ(chain->LockRect(0, &locked, &part, 0), D3D_OK);
    EXPECT_EQ(locked.Pitch, 256 * 4);
    EXPECT_EQ(chain->LockRect(0, &locked, nullptr, 0), D3DERR_INVALIDCALL); // already locked
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 2; ++x)
            reinterpret_cast<DWORD*>(static_cast<unsigned char*>(locked.pBits) +
                                     y * locked.Pitch)[x] = 0xFF00FF00;
    EXPECT_EQ(chain->UnlockRect(0), D3D_OK);
    EXPECT_EQ(chain->UnlockRect(0), D3DERR_INVALIDCALL);
    const RECT outside{250, 0, 260, 4};
    EXPECT_EQ(chain->LockRect(0, &locked, &outside, 0), D3DERR_INVALIDCALL);
    ASSERT_EQ(chain->LockRect(8, &locked, nullptr, 0), D3D_OK); // the 1 x 1 level
    EXPECT_EQ(locked.Pitch, 4);
    chain->UnlockRect(8);

    clear(0xFF000000);
    filter(D3DTEXF_POINT);
    stage(D3DTOP_SELECTARG1, D3DTOP_SELECTARG1);
    quad(chain, -0.5f, -0.5f, 255.5f, 63.5f, 0, 0, 1, 1);
    const test::Image& frame = offscreen.present();
    EXPECT_EQ(test::countDifferent(frame, 2, 3, 4, 5, {0, 255, 0}, 0), 0);
    EXPECT_EQ(test::countDifferent(frame, 0, 0, 256, 3, {0, 0, 0}, 0), 0);
    EXPECT_EQ(test::countDifferent(frame, 4, 3, 256, 5, {0, 0, 0}, 0), 0);
    chain->Release();

    IDirect3DTexture9* target = nullptr;
    ASSERT_EQ(d->CreateTexture(16, 16, 1, D3DUSAGE_RENDERTARGET, D3DFMT_X8R8G8B8, D3DPOOL_DEFAULT,
                               &target, nullptr),
              D3D_OK);
    EXPECT_EQ(target->LockRect(0, &locked, nullptr, 0), D3DERR_INVALIDCALL);
    target->Release();
    IDirect3DTexture9* bad = nullptr;
    EXPECT_EQ(d->CreateTexture(16, 16, 1, D3DUSAGE_RENDERTARGET, D3DFMT_X8R8G8B8, D3DPOOL_MANAGED,
                               &bad, nullptr),
              D3DERR_INVALIDCALL);
    EXPECT_EQ(d->CreateTexture(0, 16, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &bad, nullptr),
              D3DERR_INVALIDCALL);
    EXPECT_EQ(d->CreateTexture(1u << 20, 16, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &bad, nullptr),
              D3DERR_INVALIDCALL);
    EXPECT_EQ(bad, nullptr);
}

TEST_F(TextureTest, SurfacesCountOnTheirTextureAndAThousandTargetsLeaveNothingAlive) {
    const int before = d3d9::liveResources();
    IDirect3DSurface9 *screen = nullptr, *screenDepth = nullptr;
    d->GetRenderTarget(0, &screen);
    d->GetDepthStencilSurface(&screenDepth);
    for (int i = 0; i < 1000; ++i) {
        IDirect3DTexture9* texture = nullptr;
        IDirect3DSurface9 *colour = nullptr, *depth = nullptr;
        ASSERT_EQ(d->CreateTexture(64, 64, 1, D3DUSAGE_RENDERTARGET, D3DFMT_X8R8G8B8,
                                   D3DPOOL_DEFAULT, &texture, nullptr),
                  D3D_OK);
        texture->GetSurfaceLevel(0, &colour);
        d->CreateDepthStencilSurface(64, 64, D3DFMT_D24S8, D3DMULTISAMPLE_NONE, 0, TRUE, &depth,
                                     nullptr);
        d->SetRenderTarget(0, colour);
        d->SetDepthStencilSurface(depth);
        clear(0xFF102030);
        d->SetRenderTarget(0, screen);
        d->SetDepthStencilSurface(screenDepth);
        // The level keeps its texture alive after the texture's own reference goes.
        EXPECT_EQ(texture->Release(), 1u);
        D3DSURFACE_DESC desc{};
        EXPECT_EQ(colour->GetDesc(&desc), D3D_OK);
        EXPECT_EQ(colour->Release(), 0u);
        EXPECT_EQ(depth->Release(), 0u);
    }
    EXPECT_EQ(d3d9::liveResources(), before);
    screen->Release();
    screenDepth->Release();
    clear(0xFF000000); // the device still draws into its own buffers
    EXPECT_EQ(test::countDifferent(offscreen.present(), 0, 0, 800, 600, {0, 0, 0}, 0), 0);
}
