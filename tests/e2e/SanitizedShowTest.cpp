#include "e2e/Headless.h"
#include "support/Process.h"

#include <filesystem>
#include <gtest/gtest.h>

// The whole show under the sanitizers, with its music, at a size other than its own so the scaled
// paths run too. Sanitizers find faults in code paths, not in frame counts: at a low frame rate
// every update step still runs and every scene draws each of its states, in a fraction of the
// time 60 frames a second would take.
TEST(SanitizedShow, EveryStateOfTheWholeShowRunsWithoutAReport) {
    const std::string work = test::makeTempFolder();
    test::linkArt(work);
    std::filesystem::create_symlink(std::string(ART_DIR) + "/../lf.mp3", work + "/lf.mp3");
    const auto result = test::runProcess({LUMIFLUX_EXE, "--capture", "stills/", "--fps", "6",
                                          "--every", "50", "--size", "1000x750"},
                                         work, test::headless, 1500);
    EXPECT_EQ(result.exitCode, 0) << result.output;
    // 138.3 s at 6 frames a second is 830 frames; every 50th kept.
    EXPECT_NE(result.output.find("wrote 17 frames"), std::string::npos) << result.output;
    EXPECT_EQ(result.output.find("runtime error"), std::string::npos) << result.output;
    EXPECT_EQ(result.output.find("Sanitizer"), std::string::npos) << result.output;
}
