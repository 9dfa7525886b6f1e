#include "app/MainLoop.h"
#include "app/Application.h"
#include "app/MainWindow.h"
#include "support/PlatformProbe.h"

#include <functional>
#include <gtest/gtest.h>
#include <vector>

namespace {


// Records the steps run before each draw; each draw takes frameMs on the virtual clock.
class CountingApplication : public Application {
  public:
    int update() override {
        ++steps;
        ++totalUpdates;
        return endAtUpdate > 0 && totalUpdates == endAtUpdate ? 1 : 0;
    }
    int draw() override {
        stepsPerFrame.push_back(steps);
        steps = 0;
        if (onDraw) onDraw(static_cast<int>(stepsPerFrame.size()));
        test::advanceClock(frameMs);
        return 0;
    }
    std::vector<int> stepsPerFrame;
    int steps = 0, totalUpdates = 0, endAtUpdate = 0;
    double frameMs = 0;
    std::function<void(int)> onDraw;
};

// Asks to quit once the application has drawn enough frames.
class StoppingWindow : public MainWindow {
  public:
    explicit StoppingWindow(CountingApplication& app, int frames) : app_(app), frames_(frames) {}
    int isQuitRequested() override {
        return static_cast<int>(app_.stepsPerFrame.size()) >= frames_;
    }

  private:
    CountingApplication& app_;
    int frames_;
};

class MainLoopTest : public ::testing::Test {
  protected:
    void SetUp() override {
        test::resetMessages();
        test::setClock(1000.0);
    }
    std::vector<int> run(int frames) {
        StoppingWindow window(app, frames);
        runMainLoop(app, window);
        return app.stepsPerFrame;
    }
    CountingApplication app;
};

} // namespace

TEST_F(MainLoopTest, FirstFrameRunsFiveStepsThenEarlyFramesSleepForOneStep) {
    app.frameMs = 0; // drawing takes no time: every later frame comes early
    const double start = 1000.0;
    const auto steps = run(4);
    EXPECT_EQ(steps, (std::vector<int>{5, 1, 1, 1}));
    // Each early frame slept the 16 ms out, no more.
    EXPECT_EQ(test::clockNow(), static_cast<std::uint32_t>(start + 3 * 16));
}

TEST_F(MainLoopTest, ElapsedTimeBecomesStepsAndTheRemainderCarries) {
    app.frameMs = 40; // 2 steps and 8 ms over, then 48 ms -> 3 steps, 0 over, ...
    EXPECT_EQ(run(5), (std::vector<int>{5, 2, 3, 2, 3}));
}

TEST_F(MainLoopTest, LongStallsRunFiveStepsAndDropTheBacklog) {
    app.frameMs = 250;
    EXPECT_EQ(run(4), (std::vector<int>{5, 5, 5, 5}));
    app.stepsPerFrame.clear();
    app.frameMs = 96;
    EXPECT_EQ(run(2), (std::vector<int>{5, 5}));
}

TEST_F(MainLoopTest, AClockFarFromZeroOrSteppingBackNeverSleepsLong) {
    test::setClock(3.5e9); // past 2^31 ms
    app.onDraw = [](int frame) {
        if (frame == 2) test::setClock(3.5e9 - 100000.0); // the clock steps back
    };
    const auto steps = run(4);
    EXPECT_EQ(steps.front(), 5);
    EXPECT_EQ(steps, (std::vector<int>{5, 1, 1, 1}));
    EXPECT_LE(test::clockNow(), static_cast<std::uint32_t>(3.5e9 - 100000.0 + 2 * 16));
}

TEST_F(MainLoopTest, TheEndOfTheShowMidFrameSkipsTheRestAndTheDraw) {
    app.frameMs = 48;
    app.endAtUpdate = 7; // the second frame's second step
    StoppingWindow window(app, 100);
    runMainLoop(app, window);
    EXPECT_EQ(app.stepsPerFrame, (std::vector<int>{5}));
    EXPECT_EQ(app.totalUpdates, 7);
}

TEST_F(MainLoopTest, EscapeEndsTheLoopEvenWhileMessagesAreQueued) {
    app.onDraw = [](int frame) {
        if (frame == 2) {
            test::postMessage(nullptr, WM_KEYDOWN, 'A');
            test::postMessage(nullptr, WM_KEYDOWN, VK_ESCAPE);
            test::postMessage(nullptr, WM_KEYUP, 'A');
        }
    };
    const auto steps = run(100);
    // Two messages were taken (one per iteration, no update between) and the Escape ended it.
    EXPECT_EQ(steps.size(), 2u);
    EXPECT_EQ(app.totalUpdates, 6);
    SHORT state = GetKeyState(VK_ESCAPE);
    EXPECT_TRUE(state & 0x8000);
    EXPECT_TRUE(state & 0x80);
}

TEST_F(MainLoopTest, ClosingTheWindowSetsTheQuitFlagAndEndsTheLoop) {
    HWND window = nullptr;
    app.onDraw = [&window](int frame) {
        if (frame == 3) test::postMessage(window, WM_CLOSE, 0);
    };
    MainWindow mainWindow;
    window = mainWindow.create(0, 0, 806, 629, nullptr, "loop-test", "loop", windowProcedure);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(mainWindow.isQuitRequested(), 0);
    runMainLoop(app, mainWindow);
    EXPECT_EQ(mainWindow.isQuitRequested(), 1);
    EXPECT_EQ(app.stepsPerFrame.size(), 3u);
    MSG msg;
    EXPECT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)); // WM_DESTROY posted the quit
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_QUIT));
}
