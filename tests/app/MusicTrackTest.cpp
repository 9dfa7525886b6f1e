#include "app/MusicTrack.h"
#include "support/PlatformProbe.h"

#include <gtest/gtest.h>

namespace {


// The bar, ms after play, for a clock that started at start.
int barAfter(double start, double ms) {
    test::setClock(start);
    MusicTrack track;
    track.setBpm(144);
    track.play(); // nothing opened: the clock runs all the same
    test::setClock(start + ms);
    return track.getBar();
}

} // namespace

TEST(BarClock, WholeBarsAtTheirBoundaries) {
    EXPECT_EQ(barAfter(0, 0), 0);
    EXPECT_EQ(barAfter(0, 1666), 0);
    EXPECT_EQ(barAfter(0, 1667), 1);
    EXPECT_EQ(barAfter(0, 3333), 1);
    EXPECT_EQ(barAfter(0, 3334), 2);
    EXPECT_EQ(barAfter(0, 13333), 7);
    EXPECT_EQ(barAfter(0, 13334), 8); // the first cue, never earlier
    EXPECT_EQ(barAfter(0, 138334), 83);
}

TEST(BarClock, AcrossTheTimerWrapAndFarBeyondThirtyTwoBitProducts) {
    const double nearWrap = 4294967296.0 - 5000.0; // the 32-bit timer wraps 5 s after play
    EXPECT_EQ(barAfter(nearWrap, 13334), 8);
    EXPECT_EQ(barAfter(nearWrap, 1666), 0);
    // 9 hours: a 32-bit elapsed x bpm product would have wrapped back to bar 0.
    EXPECT_EQ(barAfter(0, 9.0 * 3600 * 1000), 19440);
}

TEST(BarClock, BeatsAtOtherTempi) {
    test::setClock(0);
    MusicTrack track;
    track.setBpm(60);
    track.play();
    test::setClock(2999);
    EXPECT_EQ(track.getBeat(), 2);
    test::setClock(3000);
    EXPECT_EQ(track.getBeat(), 3);
}
