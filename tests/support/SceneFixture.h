#pragma once
#include "Device.h"
#include "support/GraphicsFixture.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace test {

// One scene of the show on the offscreen device, run where the built art is, set to a music
// bar, initialised and started as the sequencer would.
template <class ObservedScene> class SceneFixture : public GraphicsFixture {
  protected:
    explicit SceneFixture(int bar) : firstBar(bar) {}

    void SetUp() override {
        GraphicsFixture::SetUp();
        previousFolder = std::filesystem::current_path();
        std::filesystem::current_path(std::filesystem::path(ART_DIR).parent_path());
        setBar(firstBar);
        scene.init(&graphics);
        scene.start();
    }
    void TearDown() override {
        std::filesystem::current_path(previousFolder);
        GraphicsFixture::TearDown();
    }
    void setBar(int bar) { graphics.setMusicBar(&bar); }
    // Every scene stays where it is: changes come from the music's cues alone.
    void runSteps(int n) {
        for (int i = 0; i < n; ++i)
            ASSERT_EQ(scene.update(), 0);
    }
    // Draws one frame and presents it; the frame's statistics (the picture is catcher.last).
    const d3d9::FrameStats& drawn() {
        scene.draw();
        d->Present(nullptr, nullptr, nullptr, nullptr);
        flushFrames();
        return static_cast<d3d9::Device*>(d)->lastFrameStats();
    }

    ObservedScene scene;

  private:
    int firstBar;
    std::filesystem::path previousFolder;
};

} // namespace test
