#pragma once
#include "gfx/RenderTarget.h"
#include "support/GraphicsFixture.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <utility>
#include <vector>

namespace test {

// One scene of the show on the offscreen device, run where the built art is, set to a music
// bar, initialised and started as the sequencer would.
template <class ObservedScene> class SceneFixture : public GraphicsFixture {
  protected:
    explicit SceneFixture(int bar) : firstBar(bar) {}

    void SetUp() override {
        GraphicsFixture::SetUp();
        previousFolder = std::filesystem::current_path();
        std::filesystem::current_path(dataFolder());
        setBar(firstBar);
        scene.init(&graphics);
        scene.start();
    }
    void TearDown() override {
        std::filesystem::current_path(previousFolder);
        GraphicsFixture::TearDown();
    }
    // The folder the scene runs in, which holds data/: the built art unless a test says otherwise.
    virtual std::filesystem::path dataFolder() {
        return std::filesystem::path(ART_DIR).parent_path();
    }
    void setBar(int bar) { graphics.setMusicBar(&bar); }
    // Every scene stays where it is: changes come from the music's cues alone.
    void runSteps(int n) {
        for (int i = 0; i < n; ++i)
            ASSERT_EQ(scene.update(), 0);
    }
    // Draws one frame and presents it; the frame's statistics (the picture is catcher.last).
    DrawCounts drawn() {
        scene.draw();
        d->Present(nullptr, nullptr, nullptr, nullptr);
        flushFrames(d);
        return lastFrameCounts(d);
    }

    // Pixels inside the side bars and letterbox that pass a test, in a scene's sharp target
    // and on screen: how far a glow spreads the picture.
    template <class Lit> std::pair<int, int> litInTargetAndShown(RenderTarget& target, Lit lit) {
        IDirect3DSurface9* surface = nullptr;
        target.getTexture()->GetSurfaceLevel(0, &surface);
        std::vector<unsigned char> bgra;
        const HRESULT read = readSurface(d, surface, bgra);
        surface->Release();
        EXPECT_EQ(read, D3D_OK);
        int inTarget = 0, shown = 0;
        for (int y = 75; y < 525 && read == D3D_OK; ++y)
            for (int x = 75; x < 720; ++x) {
                const unsigned char* p = &bgra[(static_cast<std::size_t>(y) * 800 + x) * 4];
                inTarget += lit(Rgb{p[2], p[1], p[0]});
                shown += lit(catcher.last.at(x, y));
            }
        return {inTarget, shown};
    }

    ObservedScene scene;

  private:
    int firstBar;
    std::filesystem::path previousFolder;
};

} // namespace test
