#pragma once
#include "support/Image.h"

#include <gtest/gtest.h>
#include <vector>

namespace test {

// Share of the picture inside the side bars and letterbox whose pixels pass a test.
template <class Test> double share(const Image& image, Test test) {
    int n = 0;
    for (int y = 75; y < 525; ++y)
        for (int x = 75; x < 720; ++x)
            n += test(image.at(x, y));
    return n / (645.0 * 450.0);
}

// Letterbox rows and side bars exactly black in every frame.
inline void expectBlackFrame(const std::vector<Image>& frames) {
    for (const auto& image : frames) {
        EXPECT_EQ(countDifferent(image, 0, 0, 800, 75, {0, 0, 0}, 0), 0);
        EXPECT_EQ(countDifferent(image, 0, 525, 800, 600, {0, 0, 0}, 0), 0);
        EXPECT_EQ(countDifferent(image, 0, 75, 75, 525, {0, 0, 0}, 0), 0);
        EXPECT_EQ(countDifferent(image, 720, 75, 800, 525, {0, 0, 0}, 0), 0);
    }
}

} // namespace test
