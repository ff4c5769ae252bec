#include "core/PresentPacer.h"
#include "core/Random.h"
#include "core/Rect.h"
#include "core/SlotList.h"
#include "core/Ticks.h"

#include <gtest/gtest.h>

TEST(Random, KnownSeedGivesTheGeneratorsSequence) {
    Randomize(0);
    // seed 1 -> value = (n * 1) >> 32 = 0; then seed = 1 * 134775813 + 1 = 134775814
    EXPECT_EQ(Random(100), 0u);
    EXPECT_EQ(RandSeed, 1u);
    EXPECT_EQ(Random(100), static_cast<uint32_t>((100ull * 134775814u) >> 32));
    EXPECT_EQ(RandSeed, 134775814u);
    Randomize(0xFFFFFFFFu);
    Random(10); // wraps: 0xFFFFFFFF * 134775813 + 1 mod 2^32
    EXPECT_EQ(RandSeed, static_cast<uint32_t>(0xFFFFFFFFu * 134775813u + 1u));
}

TEST(Random, ValuesStayBelowTheLimit) {
    Randomize(42);
    for (int i = 0; i < 1000; ++i)
        EXPECT_LT(Random(7), 7u);
    EXPECT_EQ(Random(0), 0u);
}

TEST(Ticks, DifferencesSurviveTheWrap) {
    EXPECT_EQ(TicksSince(5, 0xFFFFFFFBu), 10u);
    EXPECT_TRUE(IntervalPassed(5, 0xFFFFFFFBu, 9));
    EXPECT_FALSE(IntervalPassed(5, 0xFFFFFFFBu, 10)); // strictly greater
    EXPECT_FALSE(IntervalPassed(1005, 1000, 5));
    EXPECT_TRUE(IntervalPassed(1006, 1000, 5));
}

TEST(Rect, TouchingRectanglesDoNotCollide) {
    const TRect a{0, 0, 10, 10};
    EXPECT_FALSE(RectsIntersect(a, TRect{10, 0, 20, 10}));
    EXPECT_FALSE(RectsIntersect(a, TRect{0, 10, 10, 20}));
    EXPECT_TRUE(RectsIntersect(a, TRect{9, 9, 20, 20}));
    EXPECT_FALSE(RectsIntersect(a, TRect{5, 5, 5, 8})); // empty
}

TEST(SlotList, NewObjectsTakeTheLowestEmptySlotAndAFullListTakesNone) {
    SlotList<int, 3> slots;
    EXPECT_EQ(LowestEmptySlot(slots), 0u);
    slots[0] = std::make_unique<int>(1);
    slots[2] = std::make_unique<int>(3);
    EXPECT_EQ(LowestEmptySlot(slots), 1u);
    slots[1] = std::make_unique<int>(2);
    EXPECT_FALSE(LowestEmptySlot(slots).has_value());
}

TEST(PresentPacer, AtMostOncePerRefreshAndOnlyWhenAFrameWaits) {
    struct Case {
        int hertz;
        uint64_t interval;
    };
    for (const Case c : {Case{60, 16666}, Case{144, 6944}, Case{0, 16666}, Case{-5, 16666}}) {
        PresentPacer pacer;
        pacer.SetRefreshRate(c.hertz);
        EXPECT_EQ(pacer.Interval(), c.interval) << c.hertz << " Hz";
        EXPECT_FALSE(pacer.Due(1000)) << "nothing drawn, nothing to show";
        pacer.FrameDrawn();
        EXPECT_TRUE(pacer.Due(1000)) << "the first frame goes at once";
        pacer.Presented(1000);
        pacer.FrameDrawn();
        EXPECT_FALSE(pacer.Due(1000 + c.interval - 1));
        EXPECT_EQ(pacer.NextPresent(), 1000 + c.interval) << "a waiting frame is never a refresh late";
        EXPECT_TRUE(pacer.Due(1000 + c.interval));
        pacer.Presented(1000 + c.interval);
        EXPECT_EQ(pacer.NextPresent(), PresentPacer::NothingWaiting);
    }
}

// The message loop against the pacer (one game frame, then the present if due, per pass), woken late
// as a real sleep is: every present shows the same number of game frames, and game frames are always
// more than 5 ms apart.
TEST(PresentPacer, GameFramesComeInEvenStepsPerPresent) {
    struct Case {
        int hertz;
        uint64_t framesPerPresent;
    };
    for (const Case c : {Case{60, 3}, Case{50, 3}, Case{75, 2}, Case{144, 1}, Case{0, 3}}) {
        SCOPED_TRACE(c.hertz);
        PresentPacer pacer;
        pacer.SetRefreshRate(c.hertz);
        EXPECT_EQ(pacer.FramesPerPresent(), c.framesPerPresent);
        uint64_t now = 0, lastFrame = 0, framesSincePresent = 0, uneven = 0, frames = 0, presents = 0;
        uint32_t lateness = 12345;
        while (presents < 2000) {
            lateness = lateness * 1103515245u + 12345u;
            // Mostly a fraction of a millisecond late; now and then more than a game frame late.
            const uint64_t late = (lateness >> 16) % 50 == 0 ? 7000 : (lateness >> 16) % 400;
            now = std::max(now, std::min(pacer.NextFrame(), pacer.NextPresent()) + late);
            if (pacer.FrameDue(now)) {
                if (frames++ > 0) {
                    EXPECT_GT(now - lastFrame, 5000u);
                }
                lastFrame = now;
                pacer.FrameRun(now);
                pacer.FrameDrawn();
                ++framesSincePresent;
            }
            if (pacer.Due(now)) {
                pacer.Presented(now);
                if (++presents > 2) uneven += framesSincePresent != c.framesPerPresent;
                framesSincePresent = 0;
            }
        }
        EXPECT_EQ(uneven, 0u);
    }
}
