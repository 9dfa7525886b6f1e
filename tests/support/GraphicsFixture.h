#pragma once
#include "app/GraphicsDevice.h"
#include "support/OffscreenDevice.h"

#include <gtest/gtest.h>

namespace test {

// The demo's own GraphicsDevice on an offscreen 800 x 600 window, presenting into a catcher.
class GraphicsFixture : public ::testing::Test {
  protected:
    void SetUp() override {
        catchFrames(&catcher);
        window = createTestWindow();
        ASSERT_EQ(graphics.init(window, nullptr, 800, 600), 0);
        d = graphics.getDevice();
    }
    void TearDown() override { catchFrames(nullptr); }

    FrameCatcher catcher;
    HWND window = nullptr;
    GraphicsDevice graphics;
    IDirect3DDevice9* d = nullptr;
};

} // namespace test
