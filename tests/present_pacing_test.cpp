// The pacing of presents that the SDL and Windows backends share.
#include <gtest/gtest.h>

#include "platform/present_pacing.h"

namespace {

TEST(PresentPacing, APresentThatReturnsAtOnceIsFollowedByTheRestOfTheRefresh) {
    PresentPacing pacing;
    StartPacing(&pacing, 1000);
    uint64_t waitEnd = PacePresent(&pacing, 5000, 5010);
    EXPECT_EQ(waitEnd, 6010u) << "a whole refresh after the first present";
    for (int frame = 0; frame < 3; ++frame) {  // each drawn in 100 ticks after the wait
        uint64_t next = PacePresent(&pacing, waitEnd + 100, waitEnd + 110);
        EXPECT_EQ(next, waitEnd + 1000) << "one refresh a frame, on schedule";
        waitEnd = next;
    }
    uint64_t late = waitEnd + 1500;  // a frame late by more than a refresh
    EXPECT_EQ(PacePresent(&pacing, late, late + 10), late + 1010) << "the schedule starts again after it";
}

TEST(PresentPacing, PresentsThatWaitForTheDisplayGetNoWaitOfTheLayer) {
    PresentPacing pacing;
    StartPacing(&pacing, 1000);
    uint64_t now = 5000;
    EXPECT_NE(PacePresent(&pacing, now, now + 900), 0u) << "one present that waited may be chance";
    now += 1000;
    EXPECT_EQ(PacePresent(&pacing, now, now + 900), 0u);
    now += 1000;
    EXPECT_EQ(PacePresent(&pacing, now + 300, now + 900), 0u) << "a frame that took longer to draw waits less";
    now += 1000;
    uint64_t wait = PacePresent(&pacing, now, now + 10);
    EXPECT_GT(wait, now + 10) << "a driver that stops waiting is paced again at once";
}

// A software renderer's copy of a large window: every present takes 300 ticks of a 1000-tick
// refresh without waiting for the display, and a frame is drawn in 300.
TEST(PresentPacing, APresentThatIsOnlySlowIsStillPacedToOneARefresh) {
    PresentPacing pacing;
    StartPacing(&pacing, 1000);
    uint64_t end = 0, waitEnd = 0;
    const int frames = 600;
    for (int frame = 0; frame < frames; ++frame) {
        uint64_t start = (waitEnd > end ? waitEnd : end) + 300;
        end = start + 300;
        waitEnd = PacePresent(&pacing, start, end);
    }
    EXPECT_LE(frames, int(end / 1000) + 10) << "at most a few refreshes with two frames, in " << end << " ticks";
}

}  // namespace
