#include "support/Image.h"

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
