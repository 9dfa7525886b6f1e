#include "e2e/Headless.h"
#include "support/Image.h"
#include "support/Process.h"
#include "support/Wav.h"
#include "support/XDisplay.h"
#include "support/XServer.h"

#include <csignal>
#include <gtest/gtest.h>

namespace {

// A virtual X server of its own for each test, so a person's desktop is never touched.
class WindowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        server = std::make_unique<test::XServer>();
        display = server->display();
        ASSERT_FALSE(display.empty()) << "Xvfb gave no display number: " << server->why();
        x = std::make_unique<test::XDisplay>(display);
        ASSERT_TRUE(x->connected()) << "no connection to Xvfb on " << display;
        folder = test::makeTempFolder();
        // Missing art would stop the show on a message box before its window opens.
        test::linkArt(folder);
    }

    // yielding: at a low priority (about a tenth of a contended core), for a test that only
    // waits for the show's clock and need not take the cores from the tests beside it.
    std::unique_ptr<test::BackgroundProcess> start(std::vector<std::string> arguments,
                                                   bool withMusic = true, bool yielding = false) {
        if (withMusic) test::writeTestTone(folder + "/lf.mp3", 1.0);
        arguments.insert(arguments.begin(), test::programIn(folder));
        if (yielding) arguments.insert(arguments.begin(), {"nice", "-n", "10"});
        return std::make_unique<test::BackgroundProcess>(
            arguments, folder,
            std::vector<std::string>{"DISPLAY=" + display,
                                     "WAYLAND_DISPLAY=", "SDL_AUDIODRIVER=dummy"});
    }

    // Waits until the show has drawn into its window: something other than black in the frame.
    bool waitForPicture(unsigned long window) {
        return test::waitUntil(
            [&] {
                const test::Image frame = x->capture(window);
                return frame.width == 800 &&
                       test::countDifferent(frame, 75, 75, 720, 525, {0, 0, 0}, 2) > 0;
            },
            20);
    }

    std::string display, folder;
    std::unique_ptr<test::XServer> server;
    std::unique_ptr<test::XDisplay> x;
};

const std::string title = "Lumiflux by Quillon";

} // namespace

TEST_F(WindowTest, AnsweringNoByKeyPlaysInAnEightHundredBySixHundredWindowUntilEscape) {
    auto demo = start({});
    const unsigned long question = x->waitForWindow("質問", 20);
    ASSERT_NE(question, 0u) << demo->output();
    x->pressKey(question, "Escape"); // Escape answers No

    const unsigned long window = x->waitForWindow(title, 20);
    ASSERT_NE(window, 0u) << demo->output();
    ASSERT_TRUE(waitForPicture(window)) << demo->output();
    int width = 0, height = 0;
    ASSERT_TRUE(x->size(window, width, height));
    EXPECT_EQ(width, 800);
    EXPECT_EQ(height, 600);
    const test::Image frame = x->capture(window);
    ASSERT_EQ(frame.width, 800);
    EXPECT_EQ(test::countDifferent(frame, 0, 0, 800, 75, {0, 0, 0}, 2), 0);
    EXPECT_EQ(test::countDifferent(frame, 0, 525, 800, 600, {0, 0, 0}, 2), 0);
    EXPECT_TRUE(demo->running()) << demo->output();

    x->pressKey(window, "Escape");
    EXPECT_EQ(demo->wait(20), 0) << demo->output();
}

TEST_F(WindowTest, ClosingTheWindowEndsTheShow) {
    auto demo = start({"--windowed"});
    const unsigned long window = x->waitForWindow(title, 20);
    ASSERT_NE(window, 0u) << demo->output();
    ASSERT_TRUE(waitForPicture(window)) << demo->output();
    x->requestClose(window);
    EXPECT_EQ(demo->wait(20), 0) << demo->output();
}

TEST_F(WindowTest, MissingMusicIsReportedOnceAndTheShowGoesOn) {
    auto demo = start({"--windowed"}, false);
    const unsigned long box = x->waitForWindow("Error", 20);
    ASSERT_NE(box, 0u) << demo->output();
    x->pressKey(box, "Return");
    const unsigned long window = x->waitForWindow(title, 20);
    ASSERT_NE(window, 0u);
    ASSERT_TRUE(waitForPicture(window)) << demo->output();
    EXPECT_FALSE(x->windowExists("Error"));
    EXPECT_TRUE(demo->running());
    x->pressKey(window, "Escape");
    EXPECT_EQ(demo->wait(20), 0) << demo->output();
}

TEST_F(WindowTest, AnInterruptEndsTheProgramEvenWhileTheQuestionWaits) {
    auto demo = start({});
    ASSERT_NE(x->waitForWindow("質問", 20), 0u) << demo->output();
    demo->signal(SIGTERM);
    // Ended at once by the signal, not by a crash (which would give 128 and another signal).
    EXPECT_EQ(demo->wait(10), 128 + SIGTERM) << demo->output();
}

TEST_F(WindowTest, AnInterruptWhilePlayingEndsTheShowCleanly) {
    auto demo = start({"--windowed"});
    ASSERT_NE(x->waitForWindow(title, 20), 0u) << demo->output();
    demo->signal(SIGINT);
    EXPECT_EQ(demo->wait(10), 0) << demo->output();
}

// The last scene writes the bar into the title: it comes two minutes into the show, in real
// time, so this waits that long. The bars follow the clock however few frames are drawn.
TEST_F(WindowTest, TheLastSceneShowsTheBarNumberAsTheWindowTitle) {
    auto demo = start({"--windowed"}, true, true);
    ASSERT_NE(x->waitForWindow(title, 20), 0u) << demo->output();
    const unsigned long window = x->waitForWindow("72", 180);
    ASSERT_NE(window, 0u) << "no window titled 72; " << demo->output();
    x->pressKey(window, "Escape");
    EXPECT_EQ(demo->wait(20), 0) << demo->output();
}
