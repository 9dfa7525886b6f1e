#include "support/Image.h"
#include "support/Golden.h"
#include "support/Process.h"

#include <gtest/gtest.h>

// The picture checks are only as good as the comparer: it must see one changed pixel anywhere.
TEST(ImageComparer, FailsOnOneChangedPixelInTheLastRow) {
    test::Image a;
    a.width = 800;
    a.height = 600;
    a.pixels.assign(800 * 600 * 3, 40);
    test::Image b = a;
    EXPECT_EQ(test::compareImages(a, b, 2), 0);
    b.set(799, 599, {43, 40, 40});
    EXPECT_EQ(test::compareImages(a, b, 2), 1);
    EXPECT_EQ(test::countDifferent(b, 0, 0, 800, 600, {40, 40, 40}, 2), 1);
    EXPECT_EQ(test::countDifferent(b, 0, 0, 800, 599, {40, 40, 40}, 2), 0);
    b.set(799, 599, {42, 40, 38});
    EXPECT_EQ(test::compareImages(a, b, 2), 0); // within the stated tolerance
}

namespace {

test::Image flat(int width, int height, std::uint8_t level) {
    test::Image image;
    image.width = width;
    image.height = height;
    image.pixels.assign(static_cast<std::size_t>(width) * height * 3, level);
    return image;
}

} // namespace

TEST(GoldenFrame, OnePixelInTheLastRowBeyondTheBudgetFailsAndIsShown) {
    const std::string folder = test::makeTempFolder();
    const test::Image golden = flat(800, 600, 40);
    ASSERT_TRUE(test::savePng(folder + "/g.png", golden));
    test::Image frame = golden;
    EXPECT_TRUE(test::Golden(folder + "/g.png", 2, 0).matches(frame, folder));
    frame.set(799, 599, {43, 40, 40});
    test::Golden strict(folder + "/g.png", 2, 0);
    EXPECT_FALSE(strict.matches(frame, folder));
    EXPECT_NE(strict.message().find("1 pixels differ"), std::string::npos) << strict.message();
    EXPECT_NE(strict.message().find(folder + "/g.actual.png"), std::string::npos);
    EXPECT_NE(strict.message().find(folder + "/g.diff.png"), std::string::npos);
    test::Image diff;
    ASSERT_TRUE(test::loadPng(folder + "/g.diff.png", diff));
    EXPECT_EQ(diff.at(799, 599).r, 255); // the one difference in red
    EXPECT_EQ(diff.at(0, 0).r, 96);
    // The same pixel within a budget of one passes.
    EXPECT_TRUE(test::Golden(folder + "/g.png", 2, 1).matches(frame, folder));
}

TEST(GoldenFrame, AMissingOrWronglySizedGoldenFailsWithAClearMessage) {
    const std::string folder = test::makeTempFolder();
    test::Golden missing(folder + "/none.png", 2, 100);
    EXPECT_FALSE(missing.matches(flat(800, 600, 0), folder));
    EXPECT_NE(missing.message().find("no golden picture at " + folder + "/none.png"),
              std::string::npos)
        << missing.message();

    ASSERT_TRUE(test::savePng(folder + "/small.png", flat(400, 300, 0)));
    test::Golden small(folder + "/small.png", 2, 1000000);
    EXPECT_FALSE(small.matches(flat(800, 600, 0), folder));
    EXPECT_NE(small.message().find("is 400 x 300, the frame 800 x 600"), std::string::npos)
        << small.message();
}
