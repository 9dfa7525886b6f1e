#include "Device.h"
#include "demo/ColorRect.h"
#include "gfx/ScreenVertex.h"
#include "support/OffscreenDevice.h"

#include <gtest/gtest.h>

namespace {

struct StateRow {
    D3DRENDERSTATETYPE state;
    DWORD value;
};

float asFloat(DWORD bits) {
    float f;
    std::memcpy(&f, &bits, sizeof f);
    return f;
}

// Direct3D 9's defaults for an auto depth-stencil device.
const StateRow defaultRenderStates[] = {
    {D3DRS_ZENABLE, D3DZB_TRUE},
    {D3DRS_ZWRITEENABLE, TRUE},
    {D3DRS_ZFUNC, D3DCMP_LESSEQUAL},
    {D3DRS_CULLMODE, D3DCULL_CCW},
    {D3DRS_FILLMODE, D3DFILL_SOLID},
    {D3DRS_SHADEMODE, D3DSHADE_GOURAUD},
    {D3DRS_LIGHTING, TRUE},
    {D3DRS_SPECULARENABLE, FALSE},
    {D3DRS_ALPHABLENDENABLE, FALSE},
    {D3DRS_SRCBLEND, D3DBLEND_ONE},
    {D3DRS_DESTBLEND, D3DBLEND_ZERO},
    {D3DRS_BLENDOP, D3DBLENDOP_ADD},
    {D3DRS_AMBIENT, 0},
    {D3DRS_COLORVERTEX, TRUE},
    {D3DRS_DIFFUSEMATERIALSOURCE, D3DMCS_COLOR1},
    {D3DRS_SPECULARMATERIALSOURCE, D3DMCS_COLOR2},
    {D3DRS_AMBIENTMATERIALSOURCE, D3DMCS_MATERIAL},
    {D3DRS_EMISSIVEMATERIALSOURCE, D3DMCS_MATERIAL},
    {D3DRS_NORMALIZENORMALS, FALSE},
    {D3DRS_LOCALVIEWER, TRUE},
    {D3DRS_POINTSPRITEENABLE, FALSE},
    {D3DRS_POINTSCALEENABLE, FALSE},
    {D3DRS_ALPHATESTENABLE, FALSE},
    {D3DRS_ALPHAFUNC, D3DCMP_ALWAYS},
    {D3DRS_FOGENABLE, FALSE},
    {D3DRS_STENCILENABLE, FALSE},
    {D3DRS_TEXTUREFACTOR, 0xFFFFFFFF},
    {D3DRS_COLORWRITEENABLE, 0xF},
    {D3DRS_CLIPPING, TRUE},
    {D3DRS_SCISSORTESTENABLE, FALSE},
};

void expectDefaults(IDirect3DDevice9* device) {
    for (const auto& row : defaultRenderStates) {
        DWORD value = 0xDEADBEEF;
        device->GetRenderState(row.state, &value);
        EXPECT_EQ(value, row.value) << "render state " << row.state;
    }
    DWORD bits = 0;
    device->GetRenderState(D3DRS_POINTSIZE, &bits);
    EXPECT_EQ(asFloat(bits), 1.0f);
    device->GetRenderState(D3DRS_POINTSIZE_MAX, &bits);
    EXPECT_EQ(asFloat(bits), 64.0f);
    device->GetRenderState(D3DRS_POINTSCALE_A, &bits);
    EXPECT_EQ(asFloat(bits), 1.0f);
    device->GetRenderState(D3DRS_POINTSCALE_C, &bits);
    EXPECT_EQ(asFloat(bits), 0.0f);

    for (DWORD sampler = 0; sampler < 4; ++sampler) {
        DWORD v = 0;
        device->GetSamplerState(sampler, D3DSAMP_MINFILTER, &v);
        EXPECT_EQ(v, D3DTEXF_POINT);
        device->GetSamplerState(sampler, D3DSAMP_MAGFILTER, &v);
        EXPECT_EQ(v, D3DTEXF_POINT);
        device->GetSamplerState(sampler, D3DSAMP_MIPFILTER, &v);
        EXPECT_EQ(v, D3DTEXF_NONE);
        device->GetSamplerState(sampler, D3DSAMP_ADDRESSU, &v);
        EXPECT_EQ(v, D3DTADDRESS_WRAP);
        device->GetSamplerState(sampler, D3DSAMP_BORDERCOLOR, &v);
        EXPECT_EQ(v, 0u);
    }
    const struct {
        D3DTEXTURESTAGESTATETYPE type;
        DWORD stage0, later;
    } stages[] = {
        {D3DTSS_COLOROP, D3DTOP_MODULATE, D3DTOP_DISABLE},
        {D3DTSS_COLORARG1, D3DTA_TEXTURE, D3DTA_TEXTURE},
        {D3DTSS_COLORARG2, D3DTA_CURRENT, D3DTA_CURRENT},
        {D3DTSS_ALPHAOP, D3DTOP_SELECTARG1, D3DTOP_DISABLE},
        {D3DTSS_ALPHAARG1, D3DTA_TEXTURE, D3DTA_TEXTURE},
        {D3DTSS_ALPHAARG2, D3DTA_CURRENT, D3DTA_CURRENT},
    };
    for (const auto& row : stages)
        for (DWORD stage = 0; stage < 8; ++stage) {
            DWORD v = 0;
            device->GetTextureStageState(stage, row.type, &v);
            EXPECT_EQ(v, stage == 0 ? row.stage0 : row.later) << "stage " << stage;
        }
    DWORD index = 0;
    device->GetTextureStageState(3, D3DTSS_TEXCOORDINDEX, &index);
    EXPECT_EQ(index, 3u);

    D3DMATRIX world{};
    device->GetTransform(D3DTS_WORLD, &world);
    EXPECT_EQ(world._11, 1.0f);
    EXPECT_EQ(world._41, 0.0f);
    D3DVIEWPORT9 vp{};
    device->GetViewport(&vp);
    EXPECT_EQ(vp.Width, 800u);
    EXPECT_EQ(vp.Height, 600u);
    EXPECT_EQ(vp.MaxZ, 1.0f);
}

class DeviceTest : public ::testing::Test {
  protected:
    void clear(D3DCOLOR colour) {
        d->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, colour, 1.0f, 0);
    }
    void rect(float x, float y, float w, float h, int r, int g, int b, int a = 255) {
        ColorRect filled;
        filled.init(d);
        filled.setColor(r, g, b);
        filled.setAlpha(static_cast<unsigned char>(a));
        filled.drawRect(x, y, 0, w, h);
    }
    test::OffscreenDevice offscreen;
    IDirect3DDevice9* d = offscreen.device();
};

} // namespace

TEST_F(DeviceTest, StartsAndResetsWithDirect3DDefaults) {
    ASSERT_NE(d, nullptr);
    expectDefaults(d);
    d->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    d->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    d->SetSamplerState(0, D3DSAMP_MINFILTER, D3DTEXF_LINEAR);
    d->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_ADD);
    D3DVIEWPORT9 small{10, 10, 100, 100, 0.0f, 1.0f};
    d->SetViewport(&small);
    D3DPRESENT_PARAMETERS p = test::demoPresentParameters();
    ASSERT_EQ(d->Reset(&p), D3D_OK);
    expectDefaults(d);
    EXPECT_EQ(p.BackBufferWidth, 800u); // filled in from the window, as the platform does

    p.EnableAutoDepthStencil = FALSE; // no depth surface: the depth test starts off
    ASSERT_EQ(d->Reset(&p), D3D_OK);
    DWORD z = 1;
    d->GetRenderState(D3DRS_ZENABLE, &z);
    EXPECT_EQ(z, static_cast<DWORD>(D3DZB_FALSE));
    EXPECT_EQ(d->Clear(0, nullptr, D3DCLEAR_ZBUFFER, 0, 1.0f, 0), D3DERR_INVALIDCALL);
}

TEST_F(DeviceTest, APreTransformedQuadCoversExactlyItsPixels) {
    clear(D3DCOLOR_ARGB(255, 0, 0, 0));
    rect(10, 20, 5, 5, 255, 0, 0);
    rect(0, 0, 1, 1, 0, 255, 0); // the top-left pixel: rows are stored top first
    rect(799, 599, 1, 1, 0, 0, 255);
    const test::Image& frame = offscreen.present();
    EXPECT_EQ(test::countDifferent(frame, 10, 20, 15, 25, {255, 0, 0}, 1), 0);
    int red = 0;
    for (int y = 0; y < 600; ++y)
        for (int x = 0; x < 800; ++x)
            red += frame.at(x, y).r > 128;
    EXPECT_EQ(red, 25);
    EXPECT_EQ(frame.at(0, 0).g, 255);
    EXPECT_EQ(frame.at(1, 0).g, 0);
    EXPECT_EQ(frame.at(799, 599).b, 255);
    EXPECT_EQ(frame.at(798, 599).b, 0);
}

TEST_F(DeviceTest, AWholeScreenQuadCoversEveryPixelOnceAndTheLetterboxRowsAreBlack) {
    clear(D3DCOLOR_ARGB(255, 0, 0, 0));
    d->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    d->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_ONE);
    d->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_ONE);
    rect(0, 0, 800, 600, 100, 100, 100); // a pixel drawn twice would read 200
    d->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
    rect(-32, -32, 864, 107, 0, 0, 0);
    rect(-32, 525, 864, 107, 0, 0, 0);
    const test::Image& frame = offscreen.present();
    EXPECT_EQ(test::countDifferent(frame, 0, 75, 800, 525, {100, 100, 100}, 1), 0);
    EXPECT_EQ(test::countDifferent(frame, 0, 0, 800, 75, {0, 0, 0}, 0), 0);
    EXPECT_EQ(test::countDifferent(frame, 0, 525, 800, 600, {0, 0, 0}, 0), 0);
}

TEST_F(DeviceTest, ClearReachesOnlyTheViewport) {
    clear(D3DCOLOR_ARGB(255, 0, 0, 255));
    D3DVIEWPORT9 vp{100, 50, 200, 100, 0.0f, 1.0f};
    d->SetViewport(&vp);
    clear(D3DCOLOR_ARGB(255, 255, 255, 0));
    const D3DRECT inverted{400, 400, 390, 410};
    d->Clear(1, &inverted, D3DCLEAR_TARGET, D3DCOLOR_ARGB(255, 255, 0, 0), 1.0f, 0);
    const test::Image& frame = offscreen.present();
    EXPECT_EQ(test::countDifferent(frame, 100, 50, 300, 150, {255, 255, 0}, 0), 0);
    EXPECT_EQ(test::countDifferent(frame, 0, 0, 800, 50, {0, 0, 255}, 0), 0);
    EXPECT_EQ(test::countDifferent(frame, 300, 50, 800, 150, {0, 0, 255}, 0), 0);
    EXPECT_EQ(test::countDifferent(frame, 0, 150, 800, 600, {0, 0, 255}, 0), 0);
}

// The platform's own edge cases: a list with a count of 0 clears nothing; a count without a
// list clears the whole viewport.
TEST_F(DeviceTest, ClearWithoutACountOrWithoutAListFollowsThePlatform) {
    clear(D3DCOLOR_ARGB(255, 0, 0, 255));
    const D3DRECT box{10, 20, 30, 40};
    EXPECT_EQ(d->Clear(0, &box, D3DCLEAR_TARGET, D3DCOLOR_ARGB(255, 255, 0, 0), 1.0f, 0), D3D_OK);
    const test::Image& untouched = offscreen.present();
    EXPECT_EQ(test::countDifferent(untouched, 0, 0, 800, 600, {0, 0, 255}, 0), 0);
    EXPECT_EQ(d->Clear(1, nullptr, D3DCLEAR_TARGET, D3DCOLOR_ARGB(255, 0, 255, 0), 1.0f, 0),
              D3D_OK);
    const test::Image& whole = offscreen.present();
    EXPECT_EQ(test::countDifferent(whole, 0, 0, 800, 600, {0, 255, 0}, 0), 0);
}

TEST_F(DeviceTest, ClearIgnoresWriteMasksAndPreTransformedDepthIsTested) {
    d->SetRenderState(D3DRS_COLORWRITEENABLE, 0);
    d->SetRenderState(D3DRS_ZWRITEENABLE, FALSE);
    clear(D3DCOLOR_ARGB(255, 0, 255, 0)); // clears colour and depth whatever the masks say
    d->SetRenderState(D3DRS_COLORWRITEENABLE, 0xF);
    d->SetRenderState(D3DRS_ZWRITEENABLE, TRUE);

    const D3DCOLOR red = D3DCOLOR_ARGB(255, 255, 0, 0);
    const ScreenVertex nearQuad[4] = {{0, 0, 0.2f, 1, red, 0, 0},
                                      {400, 0, 0.2f, 1, red, 1, 0},
                                      {400, 600, 0.2f, 1, red, 1, 1},
                                      {0, 600, 0.2f, 1, red, 0, 1}};
    d->SetFVF(ScreenVertex::format);
    d->DrawPrimitiveUP(D3DPT_TRIANGLEFAN, 2, nearQuad, sizeof(ScreenVertex));
    rect(0, 100, 800, 100, 0, 0, 255); // depth 0 is in front of everything
    ColorRect behind;
    behind.init(d);
    behind.setColor(255, 255, 255);
    behind.drawRect(0, 300, 0.5f, 800, 100); // hidden where the near quad wrote depth 0.2
    d->SetRenderState(D3DRS_ZENABLE, D3DZB_FALSE);
    behind.setColor(255, 0, 255);
    behind.drawRect(0, 450, 5.0f, 800, 50); // no depth test: z outside 0..1 still draws
    const test::Image& frame = offscreen.present();
    EXPECT_EQ(test::countDifferent(frame, 0, 0, 400, 100, {255, 0, 0}, 0), 0);
    EXPECT_EQ(test::countDifferent(frame, 400, 0, 800, 100, {0, 255, 0}, 0), 0);
    EXPECT_EQ(test::countDifferent(frame, 0, 100, 800, 200, {0, 0, 255}, 0), 0);
    EXPECT_EQ(test::countDifferent(frame, 0, 300, 400, 400, {255, 0, 0}, 0), 0);
    EXPECT_EQ(test::countDifferent(frame, 400, 300, 800, 400, {255, 255, 255}, 0), 0);
    EXPECT_EQ(test::countDifferent(frame, 0, 450, 800, 500, {255, 0, 255}, 0), 0);
}

TEST_F(DeviceTest, TheUntexturedStageShowsTheDiffuseColourAndAlpha) {
    clear(D3DCOLOR_ARGB(255, 0, 0, 0));
    d->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    d->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    d->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
    // The default stage (MODULATE texture by current) reads an empty slot: it is disabled.
    rect(0, 0, 100, 100, 200, 100, 50, 128);
    // SELECTARG2 of the diffuse colour does not read the texture: it runs.
    d->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG2);
    d->SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_DIFFUSE | D3DTA_COMPLEMENT);
    d->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_SELECTARG2);
    d->SetTextureStageState(0, D3DTSS_ALPHAARG2, D3DTA_DIFFUSE);
    rect(100, 0, 100, 100, 200, 100, 50, 255);
    const test::Image& frame = offscreen.present();
    EXPECT_EQ(test::countDifferent(frame, 0, 0, 100, 100, {100, 50, 25}, 2), 0);
    EXPECT_EQ(test::countDifferent(frame, 100, 0, 200, 100, {55, 155, 205}, 1), 0);
}

TEST_F(DeviceTest, RedundantStateReachesOpenGLOnceAndFramesAreCounted) {
    auto* device = static_cast<d3d9::Device*>(d);
    clear(D3DCOLOR_ARGB(255, 0, 0, 0));
    for (int i = 0; i < 50; ++i) {
        d->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
        d->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_ONE);
        d->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_ONE);
        rect(static_cast<float>(i), 0, 1, 1, 255, 255, 255);
    }
    offscreen.present();
    const d3d9::FrameStats& stats = device->lastFrameStats();
    EXPECT_EQ(stats.drawCalls, 50u);
    EXPECT_EQ(stats.primitives, 100u);
    EXPECT_EQ(stats.clears, 1u);
    // The clear's masks, the blend, then z-writes toggled by each rectangle: two a draw at most.
    EXPECT_LE(stats.gl.stateChanges, 3u + 2u * 50u);
    EXPECT_LE(stats.gl.programBinds, 2u);
}
