#include "app/GraphicsDevice.h"
#include "demo/ColorRect.h"
#include "support/GraphicsFixture.h"

#include <gtest/gtest.h>

namespace {

class GraphicsDeviceTest : public test::GraphicsFixture {
  protected:
    DWORD stage(D3DTEXTURESTAGESTATETYPE type) {
        DWORD v = 0;
        d->GetTextureStageState(0, type, &v);
        return v;
    }
    DWORD render(D3DRENDERSTATETYPE type) {
        DWORD v = 0;
        d->GetRenderState(type, &v);
        return v;
    }
};

} // namespace

TEST_F(GraphicsDeviceTest, InitialisesTheDeviceForTheDemo) {
    DWORD filter = 0;
    d->GetSamplerState(0, D3DSAMP_MINFILTER, &filter);
    EXPECT_EQ(filter, D3DTEXF_LINEAR);
    d->GetSamplerState(0, D3DSAMP_MAGFILTER, &filter);
    EXPECT_EQ(filter, D3DTEXF_LINEAR);
    D3DPRESENT_PARAMETERS p{};
    graphics.getPresentParameters(&p);
    EXPECT_TRUE(p.Windowed);
    EXPECT_TRUE(p.EnableAutoDepthStencil);
    EXPECT_EQ(p.AutoDepthStencilFormat, D3DFMT_D24S8);
    EXPECT_EQ(p.PresentationInterval, D3DPRESENT_INTERVAL_IMMEDIATE);
    EXPECT_EQ(graphics.getMusicBar(), 0);
    EXPECT_EQ(graphics.getWidth(), 800);
    EXPECT_EQ(graphics.getWindow(), window);
}

TEST_F(GraphicsDeviceTest, WithoutAWindowInitFails) {
    GraphicsDevice none;
    EXPECT_EQ(none.init(nullptr, nullptr, 800, 600), 1);
    EXPECT_EQ(none.getDevice(), nullptr);
    none.setBlendMode(BlendMode::Alpha); // harmless without a device
    EXPECT_EQ(none.isKeyDown(DIK_ESCAPE), 0);
}

TEST_F(GraphicsDeviceTest, PresetSevenAddsUntilTheStagesAreReset) {
    graphics.setBlendMode(BlendMode::TexturePlusColour);
    EXPECT_EQ(stage(D3DTSS_COLOROP), static_cast<DWORD>(D3DTOP_ADD));
    EXPECT_EQ(stage(D3DTSS_ALPHAOP), static_cast<DWORD>(D3DTOP_ADD));
    EXPECT_EQ(render(D3DRS_ALPHABLENDENABLE), static_cast<DWORD>(TRUE));
    graphics.setBlendMode(BlendMode::Alpha);
    EXPECT_EQ(stage(D3DTSS_COLOROP), static_cast<DWORD>(D3DTOP_ADD));
    graphics.resetTextureStages();
    EXPECT_EQ(stage(D3DTSS_COLOROP), static_cast<DWORD>(D3DTOP_MODULATE));
    EXPECT_EQ(stage(D3DTSS_COLORARG2), D3DTA_DIFFUSE);
    EXPECT_EQ(stage(D3DTSS_ALPHAOP), static_cast<DWORD>(D3DTOP_MODULATE));
    EXPECT_EQ(stage(D3DTSS_ALPHAARG2), D3DTA_DIFFUSE);
    graphics.setBlendMode(
        static_cast<BlendMode>(99)); // unknown: blending on with the factors as they were
    EXPECT_EQ(render(D3DRS_SRCBLEND), static_cast<DWORD>(D3DBLEND_SRCALPHA));
    EXPECT_EQ(render(D3DRS_ALPHABLENDENABLE), static_cast<DWORD>(TRUE));
    graphics.setBlendMode(BlendMode::Off);
    EXPECT_EQ(render(D3DRS_ALPHABLENDENABLE), static_cast<DWORD>(FALSE));
    EXPECT_EQ(render(D3DRS_ZWRITEENABLE), static_cast<DWORD>(TRUE)); // presets never touch it
}

// Each preset over a known background: (100, 150, 200) under a source of (200, 100, 50) at
// alpha 64. Expected values are the blend equations worked by hand, to within 2.
TEST_F(GraphicsDeviceTest, BlendPresetsOnKnownColours) {
    const struct {
        BlendMode preset;
        test::Rgb expected;
    } rows[] = {
        {BlendMode::Off, {200, 100, 50}},
        {BlendMode::Alpha, {125, 137, 162}},         // src a + dst (1 - a), a = 64/255
        {BlendMode::Additive, {255, 250, 250}},      // src + dst, saturated
        {BlendMode::Multiply, {78, 59, 39}},         // dst x src
        {BlendMode::Premultiplied, {255, 212, 200}}, // src + dst (1 - a)
        {BlendMode::Inverting, {197, 154, 161}},     // src (1 - dst) + dst (1 - a)
    };
    ColorRect rect;
    rect.init(d);
    for (const auto& row : rows) {
        graphics.setBlendMode(BlendMode::Off);
        d->Clear(0, nullptr, D3DCLEAR_TARGET, D3DCOLOR_ARGB(255, 100, 150, 200), 1.0f, 0);
        graphics.setBlendMode(row.preset);
        rect.setColor(200, 100, 50);
        rect.setAlpha(64);
        rect.drawRect(0, 0, 0, 64, 64);
        d->Present(nullptr, nullptr, nullptr, nullptr);
        test::flushFrames(d);
        EXPECT_EQ(test::countDifferent(catcher.last, 0, 0, 64, 64, row.expected, 2), 0)
            << "preset " << static_cast<int>(row.preset) << " gave " << catcher.last.at(5, 5).r
            << "," << catcher.last.at(5, 5).g << "," << catcher.last.at(5, 5).b;
    }
}

TEST_F(GraphicsDeviceTest, FullScreenRewritesThePresentationAndKeepsTheDevice) {
    EXPECT_EQ(graphics.switchToFullScreen(), 0);
    D3DPRESENT_PARAMETERS p{};
    graphics.getPresentParameters(&p);
    EXPECT_FALSE(p.Windowed);
    EXPECT_EQ(p.BackBufferFormat, D3DFMT_X8R8G8B8);
    EXPECT_EQ(p.BackBufferWidth, 800u);
    EXPECT_EQ(p.BackBufferHeight, 600u);
    ASSERT_NE(graphics.getDevice(), nullptr);
    EXPECT_EQ(graphics.getDevice()->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);
}

TEST_F(GraphicsDeviceTest, NoKeyIsHeldWithoutAKeyboardPress) {
    EXPECT_EQ(graphics.pollKeyboard(), 0);
    for (int key : {0, DIK_ESCAPE, DIK_SPACE, 255})
        EXPECT_EQ(graphics.isKeyDown(key), 0);
    EXPECT_EQ(graphics.isKeyDown(-1), 0);
    EXPECT_EQ(graphics.isKeyDown(256), 0);
}

TEST_F(GraphicsDeviceTest, TheNegativePassTurnsEachColourIntoItsComplement) {
    ColorRect rect;
    rect.init(d);
    graphics.setBlendMode(BlendMode::Off);
    const int values[] = {0, 40, 128, 200, 255};
    for (int i = 0; i < 5; ++i) {
        rect.setColor(values[i], 255 - values[i], values[i] / 2);
        rect.drawRect(static_cast<float>(i * 20), 0, 0, 20, 20);
    }
    graphics.setBlendMode(BlendMode::Inverting);
    rect.setColor(255, 255, 255);
    rect.setAlpha(255);
    rect.drawRect(0, 0, 0, 100, 20);
    d->Present(nullptr, nullptr, nullptr, nullptr);
    test::flushFrames(d);
    for (int i = 0; i < 5; ++i) {
        const test::Rgb expected{255 - values[i], values[i], 255 - values[i] / 2};
        EXPECT_EQ(test::countDifferent(catcher.last, i * 20, 0, i * 20 + 20, 20, expected, 1), 0)
            << "value " << values[i];
    }
}
