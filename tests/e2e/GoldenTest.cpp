#include "support/Golden.h"
#include "support/Image.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>

// Golden frames of every scene, each held against its picture in tests/golden/ within its stated
// tolerance. The frames are the stills of the whole show's capture (ShowTest), drawn headless at
// 60 frames a second with the built art.
namespace {

constexpr int spacing = 50; // the capture's stills: every 50th frame

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
    for (const Entry& e : list)
        ASSERT_EQ(e.frame % spacing, 0) << e.frame << " is not one of the show's stills";

    std::filesystem::create_directories(GOLDEN_OUTPUT);
    for (const Entry& e : list) {
        test::Image frame;
        ASSERT_TRUE(test::loadPng(std::string(SHOW_STILLS) + "/" + frameName(e.frame), frame))
            << e.frame;
        test::Golden golden(std::string(GOLDEN_DIR) + "/" + frameName(e.frame), e.tolerance,
                            e.budget);
        EXPECT_TRUE(golden.matches(frame, GOLDEN_OUTPUT))
            << "frame " << e.frame << " (" << e.what << "): " << golden.message();
    }
}
