// The program finds its art and music beside itself when the working folder has none, so it
// runs from anywhere: from the build folder, and from where cmake --install put it.
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

TEST(Install, TheInstalledProgramRunsThroughItsLinkFromAnywhere) {
    const std::string prefix = test::makeTempFolder();
    const std::string build = fs::path(ART_DIR).parent_path().string();
    const auto install =
        test::runProcess({"cmake", "--install", build, "--prefix", prefix}, build, {}, 300);
    ASSERT_EQ(install.exitCode, 0) << install.output;
    ASSERT_TRUE(fs::is_symlink(prefix + "/bin/lumiflux"));
    EXPECT_TRUE(fs::exists(prefix + "/lib/lumiflux/data/lf.png"));
    expectAWholeStart(prefix + "/bin/lumiflux");
}
