#include "support/Golden.h"
#include "e2e/Headless.h"
#include "support/Image.h"
#include "support/Process.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>

// Golden frames of every scene: one headless capture at 60 frames a second with the built art,
// each chosen frame held against its picture in tests/golden/ within its stated tolerance.
namespace {

constexpr int spacing = 100; // the goldens lie on one grid, so one capture writes them all

struct Entry {
    int frame, tolerance, budget;
    std::string what;
};

std::vector<Entry> readList() {
    std::ifstream in(std::string(GOLDEN_DIR) + "/goldens.txt");
    std::vector<Entry> list;
    for (std::string line; std::getline(in, line);) {
        if (line.empty() || line[0] == '#') continue;
        std::istringstream fields(line);
        Entry e;
        fields >> e.frame >> e.tolerance >> e.budget;
        std::getline(fields >> std::ws, e.what);
        list.push_back(e);
    }
    return list;
}

std::string frameName(int frame) {
    char name[32];
    std::snprintf(name, sizeof name, "frame_%05d.png", frame);
    return name;
}

} // namespace

TEST(Golden, EveryChosenFrameOfTheShowMatchesItsPicture) {
    const auto list = readList();
    ASSERT_GE(list.size(), 12u) << "tests/golden/goldens.txt";
    const auto [low, high] = std::minmax_element(
        list.begin(), list.end(), [](const Entry& a, const Entry& b) { return a.frame < b.frame; });
    for (const Entry& e : list)
        ASSERT_EQ((e.frame - low->frame) % spacing, 0) << e.frame << " is off the grid";

    const std::string work = test::makeTempFolder();
    test::linkArt(work);
    const auto result =
        test::runProcess({LUMIFLUX_EXE, "--capture", "g/", "--frames",
                          std::to_string(low->frame) + "-" + std::to_string(high->frame), "--every",
                          std::to_string(spacing)},
                         work, test::headless, 1500);
    ASSERT_EQ(result.exitCode, 0) << result.output;

    std::filesystem::create_directories(GOLDEN_OUTPUT);
    for (const Entry& e : list) {
        test::Image frame;
        ASSERT_TRUE(test::loadPng(work + "/g/" + frameName(e.frame), frame)) << e.frame;
        test::Golden golden(std::string(GOLDEN_DIR) + "/" + frameName(e.frame), e.tolerance,
                            e.budget);
        EXPECT_TRUE(golden.matches(frame, GOLDEN_OUTPUT))
            << "frame " << e.frame << " (" << e.what << "): " << golden.message();
    }
}
