#include "demo/SceneManager.h"
#include "app/GraphicsDevice.h"
#include "support/PlatformProbe.h"
#include "demo/Scene.h"
#include "demo/SceneFactory.h"
#include "support/OffscreenDevice.h"
#include "support/Process.h"
#include "support/Wav.h"

#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <unistd.h>
#include <vector>

namespace {


std::vector<std::string> calls; // "2:start", "0:draw", ... in the order made

class RecordingScene : public Scene {
  public:
    explicit RecordingScene(int index) : index_(index) {}
    int init(GraphicsDevice* d) override { return record("init"), Scene::init(d); }
    int start() override { return record("start"), 0; }
    int update() override { return record("update"), result; }
    int draw() override {
        record("draw");
        // A white picture, so the letterbox shows on it.
        device->getDevice()->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER,
                                   D3DCOLOR_ARGB(255, 255, 255, 255), 1.0f, 0);
        return 0;
    }
    int result = Scene::Stay;

  private:
    void record(const char* what) { calls.push_back(std::to_string(index_) + ":" + what); }
    int index_;
};

class RecordingFactory : public SceneFactory {
  public:
    Scene* createScene(int index) override {
        if (index < 0 || index > 5 || index == missing) return nullptr;
        return made[index] = new RecordingScene(index);
    }
    int missing = -1;
    RecordingScene* made[6] = {};
};

class SceneManagerTest : public ::testing::Test {
  protected:
    void SetUp() override {
        calls.clear();
        folder = test::makeTempFolder();
        test::writeTestTone(folder + "/lf.mp3", 0.5);
        previousFolder = get_current_dir_name();
        ASSERT_EQ(chdir(folder.c_str()), 0);
        test::setClock(5000.0);
        test::catchFrames(&catcher);
        window = test::createTestWindow();
        ASSERT_EQ(graphics.init(window, nullptr, 800, 600), 0);
    }
    void TearDown() override {
        manager.reset();
        test::catchFrames(nullptr);
        DestroyWindow(window);
        ASSERT_EQ(chdir(previousFolder), 0);
        free(previousFolder);
    }
    void make() {
        manager = std::make_unique<SceneManager>(factory);
        manager->init(&graphics);
    }
    // Moves the clock to ms after the music started (the first draw happened at 5000).
    void at(double ms) { test::setClock(5000.0 + ms); }
    int updateAt(double ms) {
        at(ms);
        return manager->update();
    }

    std::string folder;
    char* previousFolder = nullptr;
    test::FrameCatcher catcher;
    HWND window = nullptr;
    GraphicsDevice graphics;
    RecordingFactory factory;
    std::unique_ptr<SceneManager> manager;
};

int count(const std::string& what) {
    int n = 0;
    for (const auto& c : calls)
        n += c == what;
    return n;
}

} // namespace

TEST_F(SceneManagerTest, NothingAdvancesBeforeTheFirstPresentedFrame) {
    make();
    EXPECT_EQ(manager->scenesCreated(), 6);
    // Each scene was created and loaded before the next one.
    EXPECT_EQ(calls, (std::vector<std::string>{"0:init", "1:init", "2:init", "3:init", "4:init",
                                               "5:init"}));
    calls.clear();
    for (int i = 0; i < 50; ++i)
        EXPECT_EQ(manager->update(), 0);
    EXPECT_TRUE(calls.empty());
    EXPECT_EQ(graphics.getMusicBar(), 0);

    manager->draw();
    test::flushFrames(graphics.getDevice()); // scene 0 draws before its start; the music starts after the present
    EXPECT_EQ(calls, (std::vector<std::string>{"0:draw"}));
    EXPECT_EQ(catcher.frames, 1);
    EXPECT_EQ(manager->update(), 0);
    EXPECT_EQ(calls, (std::vector<std::string>{"0:draw", "0:start", "0:update"}));
}

TEST_F(SceneManagerTest, CuesSwitchScenesAndTheNewSceneStartsInTheNextStep) {
    make();
    manager->draw();
    test::flushFrames(graphics.getDevice());
    EXPECT_EQ(updateAt(0), 0);
    EXPECT_EQ(updateAt(13333), 0);
    EXPECT_EQ(manager->currentScene(), 0);
    EXPECT_EQ(graphics.getMusicBar(), 7);
    calls.clear();
    EXPECT_EQ(updateAt(13334), 0); // bar 8: the switch happens in this step
    EXPECT_EQ(manager->currentScene(), 1);
    EXPECT_EQ(graphics.getMusicBar(), 8);
    EXPECT_EQ(calls, (std::vector<std::string>{"0:update"}));
    manager->draw();
    test::flushFrames(graphics.getDevice()); // a frame right after the cue draws the new scene before its start
    EXPECT_EQ(updateAt(13350), 0);
    EXPECT_EQ(calls, (std::vector<std::string>{"0:update", "1:draw", "1:start", "1:update"}));
    EXPECT_EQ(count("1:start"), 1);
}

TEST_F(SceneManagerTest, TheShowEndsAfterTheLastCueWithoutStoringItsBar) {
    make();
    manager->draw();
    test::flushFrames(graphics.getDevice());
    const int cueBars[] = {8, 24, 40, 56, 72};
    for (int bar : cueBars) {
        EXPECT_EQ(updateAt(bar * 10000.0 / 6.0 + 1), 0);
    }
    EXPECT_EQ(manager->currentScene(), 5);
    EXPECT_EQ(updateAt(82 * 10000.0 / 6.0 + 1), 0);
    EXPECT_EQ(graphics.getMusicBar(), 82);
    EXPECT_EQ(updateAt(83 * 10000.0 / 6.0 + 1), 1);
    EXPECT_EQ(graphics.getMusicBar(), 82);
    EXPECT_EQ(manager->update(), 1); // and stays over
}

TEST_F(SceneManagerTest, AMissingSceneMakesTheLaterOnesEarlyAndTheShowShorter) {
    factory.missing = 2;
    make();
    EXPECT_EQ(manager->scenesCreated(), 5);
    manager->draw();
    test::flushFrames(graphics.getDevice());
    calls.clear();
    updateAt(8 * 10000.0 / 6.0 + 1);
    EXPECT_EQ(manager->currentScene(), 1);
    updateAt(24 * 10000.0 / 6.0 + 1);
    updateAt(24 * 10000.0 / 6.0 + 20);
    EXPECT_EQ(count("3:start"), 1); // play index 3 is the third scene created
    updateAt(40 * 10000.0 / 6.0 + 1);
    updateAt(56 * 10000.0 / 6.0 + 1);
    EXPECT_EQ(updateAt(72 * 10000.0 / 6.0 + 1), 1); // current reached the five scenes
}

TEST_F(SceneManagerTest, SceneResultsNeverLeaveTheSceneList) {
    make();
    manager->draw();
    test::flushFrames(graphics.getDevice());
    factory.made[0]->result = Scene::Previous; // no scene before the first
    EXPECT_EQ(manager->update(), 1);

    calls.clear();
    factory.made[0]->result = Scene::End;
    manager = nullptr;
    make();
    manager->draw();
    test::flushFrames(graphics.getDevice());
    factory.made[0]->result = Scene::End;
    EXPECT_EQ(manager->update(), 1);

    manager = nullptr;
    make();
    manager->draw();
    test::flushFrames(graphics.getDevice());
    factory.made[0]->result = Scene::Next;
    EXPECT_EQ(manager->update(), 0);
    EXPECT_EQ(manager->currentScene(), 1);
    manager->draw();
    test::flushFrames(graphics.getDevice());
    EXPECT_EQ(count("1:draw"), 1);
}

TEST_F(SceneManagerTest, LetterboxBarsFrameTheSceneInBlack) {
    make();
    manager->draw();
    test::flushFrames(graphics.getDevice());
    const test::Image& frame = catcher.last;
    ASSERT_EQ(frame.width, 800);
    EXPECT_EQ(test::countDifferent(frame, 0, 0, 800, 75, {0, 0, 0}, 1), 0);
    EXPECT_EQ(test::countDifferent(frame, 0, 525, 800, 600, {0, 0, 0}, 1), 0);
    EXPECT_EQ(test::countDifferent(frame, 0, 75, 800, 525, {255, 255, 255}, 1), 0);
}

TEST_F(SceneManagerTest, WithoutScenesItOnlyClearsFramesAndKeepsTheTimeline) {
    class NoScenes : public SceneFactory {
        Scene* createScene(int) override { return nullptr; }
    } none;
    manager = std::make_unique<SceneManager>(none);
    manager->init(&graphics);
    EXPECT_EQ(manager->scenesCreated(), 0);
    manager->draw();
    test::flushFrames(graphics.getDevice());
    EXPECT_EQ(test::countDifferent(catcher.last, 0, 0, 800, 600, {0, 0, 0}, 1), 0);
    EXPECT_EQ(updateAt(13334), 0);
    EXPECT_EQ(updateAt(70000), 0);
    // One cue fires a step: 40, 56 and 72 go by, then 83 ends the show.
    int steps = 0;
    while (updateAt(83 * 10000.0 / 6.0 + 1) == 0 && steps < 10)
        ++steps;
    EXPECT_EQ(steps, 3);
}
