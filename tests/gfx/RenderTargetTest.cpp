#include "gfx/RenderTarget.h"
#include "app/GraphicsDevice.h"
#include "demo/ColorRect.h"
#include "gfx/FeedbackBuffer.h"
#include "support/GraphicsFixture.h"

#include <gtest/gtest.h>

namespace {

class RenderTargetTest : public test::GraphicsFixture {
  protected:
    // The current render target's pixels.
    std::vector<unsigned char> targetPixels() {
        IDirect3DSurface9* surface = nullptr;
        d->GetRenderTarget(0, &surface);
        std::vector<unsigned char> bgra;
        test::readSurface(d, surface, bgra);
        surface->Release();
        return bgra;
    }
    IDirect3DSurface9* renderTarget() {
        IDirect3DSurface9* surface = nullptr;
        d->GetRenderTarget(0, &surface);
        surface->Release(); // only its identity is wanted
        return surface;
    }
};

} // namespace

TEST_F(RenderTargetTest, CreatingPutsTheDeviceTargetsBackAndAThousandLeaveNothing) {
    IDirect3DSurface9* screen = renderTarget();
    const int before = test::liveResources();
    {
        FeedbackBuffer feedback;
        feedback.create(&graphics, 800, 600);
        EXPECT_EQ(renderTarget(), screen);
        D3DVIEWPORT9 vp{};
        d->GetViewport(&vp);
        EXPECT_EQ(vp.Width, 800u);
    }
    EXPECT_EQ(test::liveResources(), before);
    for (int i = 0; i < 1000; ++i) {
        RenderTarget target;
        ASSERT_EQ(target.create(&graphics, 64, 64), 0);
        target.begin();
        d->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF00FF00, 1.0f, 0);
        target.end();
    }
    EXPECT_EQ(test::liveResources(), before);
    RenderTarget failed;
    EXPECT_EQ(failed.create(nullptr, 64, 64), 1);
    failed.begin(); // harmless
    failed.end();
}

TEST_F(RenderTargetTest, ModesPlaceTheEchoAndTargetsAlternate) {
    graphics.setBlendMode(BlendMode::Off);
    d->SetSamplerState(0, D3DSAMP_MINFILTER, D3DTEXF_POINT);
    d->SetSamplerState(0, D3DSAMP_MAGFILTER, D3DTEXF_POINT);
    FeedbackBuffer feedback;
    feedback.create(&graphics, 800, 600);
    ColorRect white;
    white.init(d);
    white.setColor(255, 255, 255);
    // Frame 1: target 0 white, no echo. Frame 2: target 1 gets target 0's echo, inset by 10.
    EXPECT_EQ(feedback.currentTarget(), 0);
    feedback.begin();
    white.drawRect(0, 0, 0, 800, 600);
    feedback.drawAndSwap(-1, 0); // an unknown mode draws no echo
    EXPECT_EQ(feedback.currentTarget(), 1);
    feedback.begin();
    d->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0);
    feedback.drawAndSwap(FeedbackBuffer::Inset, 10);
    EXPECT_EQ(feedback.currentTarget(), 0);
    // The composed frame went to the back buffer: the echo inside, black around it.
    d->Present(nullptr, nullptr, nullptr, nullptr);
    test::flushFrames(d);
    const test::Image& frame = catcher.last;
    EXPECT_EQ(test::countDifferent(frame, 12, 12, 788, 588, {255, 255, 255}, 2), 0);
    EXPECT_EQ(test::countDifferent(frame, 0, 0, 800, 8, {0, 0, 0}, 2), 0);
    EXPECT_EQ(test::countDifferent(frame, 792, 0, 800, 600, {0, 0, 0}, 2), 0);
}

TEST_F(RenderTargetTest, ALitPixelFadesByTheFeedbackAlphaEachFrame) {
    graphics.setBlendMode(BlendMode::Alpha);
    graphics.resetTextureStages(); // the echo's alpha is the sprite's, as the scenes set it
    d->SetSamplerState(0, D3DSAMP_MINFILTER, D3DTEXF_POINT);
    d->SetSamplerState(0, D3DSAMP_MAGFILTER, D3DTEXF_POINT);
    FeedbackBuffer feedback;
    feedback.create(&graphics, 800, 600);
    ColorRect white;
    white.init(d);
    white.setColor(255, 255, 255);
    feedback.begin();
    white.drawRect(300, 200, 0, 200, 200); // lit once
    feedback.drawAndSwap(-1, 0);
    double expected = 255;
    for (int frame = 0; frame < 6; ++frame) {
        feedback.begin();
        d->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0); // no new content
        feedback.drawAndSwap(FeedbackBuffer::Plain, 0); // the frame before, at 216/255, over black
        expected *= 216.0 / 255.0;
        d->Present(nullptr, nullptr, nullptr, nullptr);
        test::flushFrames(d);
        EXPECT_NEAR(catcher.last.at(400, 300).r, expected, 2.0 + frame) << "frame " << frame;
    }
}
