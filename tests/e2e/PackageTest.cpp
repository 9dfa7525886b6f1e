// The Debian package as a user gets it: scripts/package run on this build, the .deb unpacked into
// a folder standing for /, its program started from an empty folder, and Debian's own checks of
// the package, its desktop entry and its metainfo.
#include "e2e/Headless.h"
#include "support/Process.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <sstream>
#include <string>

namespace fs = std::filesystem;

namespace {

// Lines of a tool's report that start with one of the given tags ("E: ", "W: ").
std::string linesTagged(const std::string& report, std::initializer_list<const char*> tags) {
    std::istringstream lines(report);
    std::string line, found;
    while (std::getline(lines, line))
        for (const char* tag : tags)
            if (line.rfind(tag, 0) == 0) found += line + "\n";
    return found;
}

class Package : public testing::Test {
  protected:
    static void SetUpTestSuite() {
        folder_ = test::makeTempFolder();
        const std::string build = fs::path(ART_DIR).parent_path().string();
        const auto made =
            test::runProcess({SOURCE_DIR "/scripts/package", build, folder_}, folder_, {}, 300);
        ASSERT_EQ(made.exitCode, 0) << made.output;
        for (const auto& entry : fs::directory_iterator(folder_))
            if (entry.path().extension() == ".deb") deb_ = entry.path().string();
        ASSERT_FALSE(deb_.empty()) << made.output;
        root_ = folder_ + "/root";
        const auto unpacked = test::runProcess({"dpkg-deb", "-x", deb_, root_}, folder_, {}, 60);
        ASSERT_EQ(unpacked.exitCode, 0) << unpacked.output;
    }

    static inline std::string folder_, deb_, root_;
};

} // namespace

TEST_F(Package, IsNamedForTheVersionAndLaysTheShowOutAsDebianGames) {
    EXPECT_EQ(fs::path(deb_).filename().string().rfind("lumiflux_" LUMIFLUX_VERSION "_", 0), 0u)
        << deb_;
    for (const char* file :
         {"usr/games/lumiflux", "usr/share/games/lumiflux/lf.mp3",
          "usr/share/games/lumiflux/data/qln.png", "usr/share/games/lumiflux/data/core2.x",
          "usr/share/icons/hicolor/48x48/apps/lumiflux.png",
          "usr/share/icons/hicolor/128x128/apps/lumiflux.png",
          "usr/share/icons/hicolor/256x256/apps/lumiflux.png",
          "usr/share/icons/hicolor/scalable/apps/lumiflux.svg", "usr/share/man/man6/lumiflux.6.gz",
          "usr/share/doc/lumiflux/copyright", "usr/share/doc/lumiflux/changelog.gz"})
        EXPECT_TRUE(fs::is_regular_file(root_ + "/" + file)) << file;
    EXPECT_FALSE(fs::exists(root_ + "/usr/games/data")); // found in share/, not beside it
}

TEST_F(Package, ItsProgramFindsItsDataInTheUnpackedTreeFromAnEmptyFolder) {
    const std::string empty = test::makeTempFolder();
    const auto result =
        test::runProcess({root_ + "/usr/games/lumiflux", "--capture", "out/", "--frames", "0-1"},
                         empty, test::headless, 300);
    ASSERT_EQ(result.exitCode, 0) << result.output;
    EXPECT_EQ(test::framesIn(empty + "/out").size(), 2u);
    EXPECT_EQ(result.output.find("失敗"), std::string::npos) << result.output; // nothing missing
}

TEST_F(Package, DependsOnTheLibrariesItLoadsAndRecommendsTheEncoder) {
    const auto fields =
        test::runProcess({"dpkg-deb", "-f", deb_, "Depends", "Recommends"}, folder_, {}, 60);
    ASSERT_EQ(fields.exitCode, 0) << fields.output;
    for (const char* library : {"libsdl2-2.0-0", "libsdl2-mixer-2.0-0", "libc6", "libstdc++6",
                                "libegl1", "libgl1-mesa-dri", "Recommends: ffmpeg"})
        EXPECT_NE(fields.output.find(library), std::string::npos) << library << "\n"
                                                                  << fields.output;
}

TEST_F(Package, PassesLintianWithoutErrorsOrWarnings) {
    // Lintian leaves a cache file in its temporary folder: given one of the test's own.
    const std::string scratch = folder_ + "/lintian";
    fs::create_directory(scratch);
    const auto report = test::runProcess({"lintian", "--fail-on", "error,warning", deb_}, folder_,
                                         {"TMPDIR=" + scratch}, 300);
    EXPECT_EQ(report.exitCode, 0) << report.output;
    EXPECT_EQ(linesTagged(report.output, {"E: ", "W: "}), "") << report.output;
}

TEST_F(Package, ItsDesktopEntryAndMetainfoValidate) {
    const std::string share = root_ + "/usr/share/";
    std::string entry, metainfo;
    for (const auto& file : fs::directory_iterator(share + "applications"))
        entry = file.path();
    for (const auto& file : fs::directory_iterator(share + "metainfo"))
        metainfo = file.path();
    ASSERT_EQ(fs::path(entry).extension(), ".desktop");
    const auto desktop = test::runProcess({"desktop-file-validate", entry}, folder_, {}, 60);
    EXPECT_EQ(desktop.exitCode, 0) << desktop.output;
    EXPECT_EQ(desktop.output, "") << "warnings or hints";
    const auto appstream =
        test::runProcess({"appstreamcli", "validate", "--no-net", metainfo}, folder_, {}, 60);
    EXPECT_EQ(appstream.exitCode, 0) << appstream.output;
    // The entry the metainfo launches is the one installed.
    EXPECT_NE(test::readFile(metainfo).find("<launchable type=\"desktop-id\">" +
                                            fs::path(entry).filename().string()),
              std::string::npos);
}
