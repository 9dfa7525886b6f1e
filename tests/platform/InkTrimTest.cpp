#include "InkTrim.h"
#include "Device.h"
#include "gfx/ScreenVertex.h"
#include "support/OffscreenDevice.h"

#include <gtest/gtest.h>
#include <vector>

namespace {

using d3d9::InkBounds;
using d3d9::InkSampling;
using d3d9::PixelRect;

// Corners top-left first, as the sprites draw them.
std::vector<ScreenVertex> corners(float x0, float y0, float x1, float y1, float u0, float v0,
                                  float u1, float v1) {
    return {{x0, y0, 0, 1, 0xFFFFFFFF, u0, v0},
            {x1, y0, 0, 1, 0xFFFFFFFF, u1, v0},
            {x1, y1, 0, 1, 0xFFFFFFFF, u1, v1},
            {x0, y1, 0, 1, 0xFFFFFFFF, u0, v1}};
}

std::optional<PixelRect> inked(const std::vector<ScreenVertex>& quad, const InkSampling& s) {
    return d3d9::inkedPixels(quad.data(), sizeof(ScreenVertex), 20, s);
}

void expectRect(const std::optional<PixelRect>& r, PixelRect want) {
    ASSERT_TRUE(r.has_value());
    EXPECT_EQ(r->left, want.left);
    EXPECT_EQ(r->top, want.top);
    EXPECT_EQ(r->right, want.right);
    EXPECT_EQ(r->bottom, want.bottom);
}

} // namespace

TEST(InkTrim, InkIsWhereTheColourIsNotBlackWhateverTheAlpha) {
    std::vector<std::uint8_t> bgra(8 * 8 * 4, 0);
    auto texel = [&](int x, int y, std::uint8_t b, std::uint8_t g, std::uint8_t r, std::uint8_t a) {
        std::uint8_t* t = &bgra[(y * 8 + x) * 4];
        t[0] = b, t[1] = g, t[2] = r, t[3] = a;
    };
    texel(0, 0, 0, 0, 0, 255); // opaque black is still black
    const InkBounds none = d3d9::findInk(bgra.data(), 8, 8);
    EXPECT_TRUE(none.empty());
    texel(2, 3, 0, 0, 1, 0); // the faintest red, fully transparent
    texel(5, 4, 7, 0, 0, 255);
    const InkBounds ink = d3d9::findInk(bgra.data(), 8, 8);
    EXPECT_EQ(ink.left, 2);
    EXPECT_EQ(ink.top, 3);
    EXPECT_EQ(ink.right, 6);
    EXPECT_EQ(ink.bottom, 5);
}

// A 256 x 128 texture inked in texels 100..119 across and 40..59 down, drawn over 256 x 128
// pixels from (100, 50): texel t lies at pixel 100 + t. Kept: t from 99 to 121, so pixels
// 199..221, and one more each side: 198..222, 223 exclusive. Down: 89..111 -> 88 up to 113.
TEST(InkTrim, OnlyPixelsThatCanSampleInkAreKept) {
    const InkSampling s{{100, 40, 120, 60}, 256, 128, false};
    expectRect(inked(corners(100, 50, 356, 178, 0, 0, 1, 1), s), {198, 88, 223, 113});
    // Mirrored: texel t at pixel 356 - t, so 235..257 kept, 234 up to 259.
    expectRect(inked(corners(100, 50, 356, 178, 1, 0, 0, 1), s), {234, 88, 259, 113});
    // Twice the size: t at 100 + 2t, so 298..342 (297 up to 344); down 128..172 (127 to 174).
    expectRect(inked(corners(100, 50, 612, 306, 0, 0, 1, 1), s), {297, 127, 344, 174});
    // Ink on the right edge of a repeating texture shows beside the left edge: no trim across.
    const InkSampling edge{{200, 40, 256, 60}, 256, 128, true};
    const auto r = inked(corners(100, 50, 356, 178, 0, 0, 1, 1), edge);
    ASSERT_TRUE(r.has_value());
    EXPECT_LE(r->left, 100);
    EXPECT_GE(r->right, 356);
    // Without ink, nothing at all.
    const auto blank = inked(corners(100, 50, 356, 178, 0, 0, 1, 1), {{}, 256, 128, false});
    ASSERT_TRUE(blank.has_value());
    EXPECT_TRUE(blank->right <= blank->left || blank->bottom <= blank->top);
}

TEST(InkTrim, QuadsThatDoNotMapTexelsToPixelsInStraightLinesAreLeftWhole) {
    const InkSampling s{{100, 40, 120, 60}, 256, 128, false};
    auto turned = corners(100, 50, 356, 178, 0, 0, 1, 1);
    turned[1].x += 10; // no longer a rectangle
    EXPECT_FALSE(inked(turned, s));
    auto perspective = corners(100, 50, 356, 178, 0, 0, 1, 1);
    perspective[2].rhw = 0.5f;
    EXPECT_FALSE(inked(perspective, s));
    EXPECT_FALSE(inked(corners(100, 50, 356, 178, 0, 0, 2, 1), s)); // repeats the texture
    auto skewed = corners(100, 50, 356, 178, 0, 0, 1, 1);
    skewed[3].u = 0.5f; // u no longer follows x alone
    EXPECT_FALSE(inked(skewed, s));
    auto broken = corners(100, 50, 356, 178, 0, 0, 1, 1);
    broken[0].x = std::numeric_limits<float>::quiet_NaN();
    EXPECT_FALSE(inked(broken, s));
}

namespace {

class InkTrimDrawTest : public ::testing::Test {
  protected:
    explicit InkTrimDrawTest(int scale = 1) : offscreen(scale) {}

    // Black but for a 6 x 4 block of colours at (20, 30).
    IDirect3DTexture9* inkedTexture() {
        IDirect3DTexture9* texture = nullptr;
        EXPECT_EQ(
            d->CreateTexture(64, 64, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture, nullptr),
            D3D_OK);
        D3DLOCKED_RECT locked{};
        EXPECT_EQ(texture->LockRect(0, &locked, nullptr, 0), D3D_OK);
        for (int y = 0; y < 64; ++y) {
            auto* row = reinterpret_cast<DWORD*>(static_cast<unsigned char*>(locked.pBits) +
                                                 y * locked.Pitch);
            for (int x = 0; x < 64; ++x) {
                const bool ink = x >= 20 && x < 26 && y >= 30 && y < 34;
                row[x] = ink ? D3DCOLOR_ARGB(255, 40 * (x - 19), 200, 30 * (y - 29)) : 0xFF000000;
            }
        }
        texture->UnlockRect(0);
        return texture;
    }

    void additive() {
        d->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
        d->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_ONE);
        d->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_ONE);
        d->SetRenderState(D3DRS_ZWRITEENABLE, FALSE);
        d->SetRenderState(D3DRS_LIGHTING, FALSE);
        d->SetFVF(ScreenVertex::format);
    }

    const test::Image& drawFan(IDirect3DTexture9* texture, const std::vector<ScreenVertex>& q) {
        d->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF404040, 1.0f, 0);
        d->SetTexture(0, texture);
        d->DrawPrimitiveUP(D3DPT_TRIANGLEFAN, 2, q.data(), sizeof(ScreenVertex));
        return offscreen.present();
    }

    // The same quad as a list of two triangles, which the device never trims.
    const test::Image& drawList(IDirect3DTexture9* texture, const std::vector<ScreenVertex>& q) {
        const ScreenVertex list[6] = {q[0], q[1], q[2], q[0], q[2], q[3]};
        d->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF404040, 1.0f, 0);
        d->SetTexture(0, texture);
        d->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 2, list, sizeof(ScreenVertex));
        return offscreen.present();
    }

    void expectTrimmedAsWhole();

    unsigned trimmed() const {
        return static_cast<d3d9::Device*>(d)->lastFrameStats().drawsTrimmedToInk;
    }

    test::OffscreenDevice offscreen;
    IDirect3DDevice9* d = offscreen.device();
};

} // namespace

// Magnified with bilinear filtering, so the ink's blurred edge spreads past its texels: the
// trimmed fan must match the untrimmed list on every pixel.
void InkTrimDrawTest::expectTrimmedAsWhole() {
    auto* texture = inkedTexture();
    additive();
    d->SetSamplerState(0, D3DSAMP_MINFILTER, D3DTEXF_LINEAR);
    d->SetSamplerState(0, D3DSAMP_MAGFILTER, D3DTEXF_LINEAR);
    for (const auto& q : {corners(100, 80, 484, 464, 0, 0, 1, 1),
                          corners(37.5f, 11.25f, 290.5f, 300.75f, 1, 0, 0, 1)}) {
        const test::Image whole = drawList(texture, q);
        EXPECT_EQ(trimmed(), 0u);
        const test::Image& part = drawFan(texture, q);
        EXPECT_EQ(trimmed(), 1u);
        int changed = 0, lit = 0;
        for (int y = 0; y < whole.height; ++y)
            for (int x = 0; x < whole.width; ++x) {
                const test::Rgb a = whole.at(x, y), b = part.at(x, y);
                changed += a.r != b.r || a.g != b.g || a.b != b.b;
                lit += a.g > 0x40;
            }
        EXPECT_EQ(changed, 0);
        // The block, six times its size, shows (in stored pixels, the scale squared times that).
        EXPECT_GT(lit, 6 * 4 * 36 / 2 * (whole.width / 800) * (whole.width / 800));
    }
    texture->Release();
}

TEST_F(InkTrimDrawTest, AnAddedQuadTrimmedToItsInkLeavesEveryPixelAsTheWholeQuad) {
    expectTrimmedAsWhole();
}

// The trimmed area is a rectangle of Direct3D pixels; stored at twice the size its edges round
// outward from stored pixels, which no scale-1 draw would notice.
class InkTrimDrawAtTwiceTheSize : public InkTrimDrawTest {
  protected:
    InkTrimDrawAtTwiceTheSize() : InkTrimDrawTest(2) {}
};

TEST_F(InkTrimDrawAtTwiceTheSize, AnAddedQuadTrimmedToItsInkLeavesEveryStoredPixelAsTheWholeQuad) {
    expectTrimmedAsWhole();
}

TEST_F(InkTrimDrawTest, OnlyDrawsWhereBlackAddsNothingAreTrimmed) {
    auto* texture = inkedTexture();
    const auto q = corners(99.5f, 79.5f, 163.5f, 143.5f, 0, 0, 1, 1);
    additive();
    drawFan(texture, q);
    EXPECT_EQ(trimmed(), 1u);
    d->SetRenderState(D3DRS_ZWRITEENABLE, TRUE); // black texels still write depth
    drawFan(texture, q);
    EXPECT_EQ(trimmed(), 0u);
    additive();
    d->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA); // black darkens what is under it
    drawFan(texture, q);
    EXPECT_EQ(trimmed(), 0u);
    additive();
    d->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_ADD); // the diffuse colour adds anyway
    drawFan(texture, q);
    EXPECT_EQ(trimmed(), 0u);
    d->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_MODULATE);
    d->SetSamplerState(0, D3DSAMP_ADDRESSU, D3DTADDRESS_BORDER);
    d->SetSamplerState(0, D3DSAMP_BORDERCOLOR, 0xFF102030); // the border adds
    drawFan(texture, q);
    EXPECT_EQ(trimmed(), 0u);
    d->SetSamplerState(0, D3DSAMP_BORDERCOLOR, 0xFF000000);
    drawFan(texture, q);
    EXPECT_EQ(trimmed(), 1u);
    texture->Release();
}
