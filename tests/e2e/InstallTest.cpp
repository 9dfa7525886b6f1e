// The program finds its art and music beside itself, or in the games data folder of the tree it
// is installed in, when the working folder has none: so it runs from anywhere, from the build
// folder and from where cmake --install put it.
#include "e2e/Headless.h"
#include "support/Process.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace fs = std::filesystem;

namespace {

void expectAWholeStart(const std::string& program) {
    const std::string elsewhere = test::makeTempFolder();
    const auto result = test::runProcess({program, "--capture", "out/", "--frames", "0-1"},
                                         elsewhere, test::headless, 300);
    ASSERT_EQ(result.exitCode, 0) << result.output;
    EXPECT_EQ(test::framesIn(elsewhere + "/out").size(), 2u);
    EXPECT_EQ(result.output.find("失敗"), std::string::npos) << result.output;
}

} // namespace

TEST(Install, TheBuiltProgramRunsFromAnotherWorkingFolder) {
    expectAWholeStart(LUMIFLUX_EXE);
}

TEST(Install, TheInstalledProgramFindsItsDataWhereDebianKeepsGames) {
    const std::string prefix = test::makeTempFolder();
    const std::string build = fs::path(ART_DIR).parent_path().string();
    const auto install =
        test::runProcess({"cmake", "--install", build, "--prefix", prefix}, build, {}, 300);
    ASSERT_EQ(install.exitCode, 0) << install.output;
    EXPECT_FALSE(fs::exists(prefix + "/games/data")); // nothing beside it to find
    EXPECT_TRUE(fs::exists(prefix + "/share/games/lumiflux/data/lf.png"));
    EXPECT_TRUE(fs::exists(prefix + "/share/games/lumiflux/lf.mp3"));
    expectAWholeStart(prefix + "/games/lumiflux");
}
