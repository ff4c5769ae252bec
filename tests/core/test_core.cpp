#include "core/FrameClock.h"
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

TEST(PresentPacer, AtMostOncePerRefreshAndOnlyWhenAPictureWaits) {
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
        EXPECT_TRUE(pacer.Due(1000)) << "the first picture goes at once";
        pacer.Presented(1000);
        pacer.FrameDrawn();
        EXPECT_FALSE(pacer.Due(1000 + c.interval - 1));
        EXPECT_EQ(pacer.NextPresent(), 1000 + c.interval) << "a waiting picture is never a refresh late";
        EXPECT_TRUE(pacer.Due(1000 + c.interval));
        pacer.Presented(1000 + c.interval);
        EXPECT_FALSE(pacer.Due(1000 + 5 * c.interval)) << "shown once";
    }
}

// The message loop against the frame clock and the pacer: woken at each refresh (late by up to
// `lateness` microseconds, and now and then stalled), it runs the frames due, draws once and presents.
// Game time keeps to real time at 6 ms a frame on every display; a stall moves it on by at most four
// frames.
TEST(FrameClock, GameTimeKeepsToRealTimeAtEveryRefreshRate) {
    struct Case {
        int hertz;
        uint64_t lateness;
        bool stalls;
    };
    for (const Case c :
         {Case{60, 0, false}, Case{75, 0, false}, Case{100, 0, false}, Case{120, 0, false},
          Case{144, 0, false}, Case{240, 0, false}, Case{60, 3000, false}, Case{144, 3000, false}}) {
        SCOPED_TRACE(testing::Message() << c.hertz << " Hz, late by up to " << c.lateness << " us");
        FrameClock frames;
        PresentPacer pacer;
        pacer.SetRefreshRate(c.hertz);
        const uint64_t start = 5'000'000;
        frames.Restart(start);
        uint64_t now = start, run = 0, most = 0;
        uint32_t noise = 12345;
        while (now < start + 10'000'000) {
            noise = noise * 1103515245u + 12345u;
            now = std::max(now, pacer.NextPresent()) + (c.lateness ? (noise >> 8) % c.lateness : 0);
            const uint32_t due = frames.TakeDueFrames(now);
            run += due;
            most = std::max<uint64_t>(most, due);
            const float fraction = frames.Fraction(now);
            ASSERT_GE(fraction, 0.0f);
            ASSERT_LE(fraction, 1.0f);
            pacer.FrameDrawn();
            if (pacer.Due(now)) pacer.Presented(now);
        }
        // Every frame whose start has passed has run: 10 s hold 1,666.7 frames.
        EXPECT_NEAR(static_cast<double>(run), (now - start) / 6000.0, 1.0);
        EXPECT_LE(most, 4u);
    }
}

TEST(FrameClock, AStallMovesGameTimeOnByAtMostFourFramesThenItKeepsPace) {
    FrameClock frames;
    frames.Restart(1'000'000);
    EXPECT_EQ(frames.TakeDueFrames(1'000'000), 0u) << "the first frame starts with the clock";
    EXPECT_EQ(frames.TakeDueFrames(1'000'001), 1u);
    EXPECT_EQ(frames.TakeDueFrames(1'006'000), 0u) << "the second starts 6 ms after the first";
    EXPECT_EQ(frames.TakeDueFrames(1'006'001), 1u);
    EXPECT_NEAR(frames.Fraction(1'009'001), 0.5f, 0.001f);
    EXPECT_EQ(frames.TakeDueFrames(1'206'001), 4u) << "200 ms late: 24 ms of game time";
    EXPECT_FLOAT_EQ(frames.Fraction(1'206'001), 1.0f) << "the picture shows the last frame run";
    EXPECT_EQ(frames.TakeDueFrames(1'206'001), 0u);
    EXPECT_EQ(frames.TakeDueFrames(1'212'001), 1u) << "then every 6 ms again";
    frames.RunNextFrameNow(1'212'001);
    EXPECT_EQ(frames.TakeDueFrames(1'212'001), 1u) << "a frame wanted at once";
}
