// The generated tunes load in the XM player and play for at least a minute before they loop.
#include <gtest/gtest.h>
#include <xmp.h>

#include <cstdlib>
#include <ostream>
#include <string>

namespace {

// One player context; releases the module and the context however far loading got.
class Player {
  public:
    Player() : context_(xmp_create_context()) {}
    ~Player() {
        if (started_) xmp_end_player(context_);
        if (loaded_) xmp_release_module(context_);
        xmp_free_context(context_);
    }
    Player(const Player&) = delete;
    Player& operator=(const Player&) = delete;

    int Load(const char* path) {
        const int result = xmp_load_module(context_, const_cast<char*>(path));
        loaded_ = result == 0;
        return result;
    }
    bool Start() { return started_ = xmp_start_player(context_, 44100, 0) == 0; }
    xmp_context Context() const { return context_; }

  private:
    xmp_context context_;
    bool loaded_ = false;
    bool started_ = false;
};

struct PlayThrough {
    int loadResult = -1;
    int beatsPerMinute = 0;
    int orderCount = 0;
    int restartPosition = 0;
    double secondsBeforeLoop = 0.0;
    bool looped = false;
    int lastOrderReached = -1;
    double peak = 0.0;
};

// Plays a module to its first loop (or ten minutes, whichever comes first).
PlayThrough PlayToTheEnd(const char* path) {
    PlayThrough result;
    Player player;
    result.loadResult = player.Load(path);
    if (result.loadResult != 0) return result;
    xmp_module_info info;
    xmp_get_module_info(player.Context(), &info);
    result.beatsPerMinute = info.mod->bpm;
    result.orderCount = info.mod->len;
    result.restartPosition = info.mod->rst;
    if (!player.Start()) return result;
    xmp_frame_info frame;
    while (xmp_play_frame(player.Context()) == 0) {
        xmp_get_frame_info(player.Context(), &frame);
        if (frame.loop_count > 0) {
            result.looped = true;
            break;
        }
        result.secondsBeforeLoop = frame.time / 1000.0;
        if (result.secondsBeforeLoop > 600.0) break;
        result.lastOrderReached = std::max(result.lastOrderReached, frame.pos);
        const auto* samples = static_cast<const int16_t*>(frame.buffer);
        for (int i = 0; i < frame.buffer_size / 2; ++i)
            result.peak = std::max(result.peak, std::abs(samples[i]) / 32768.0);
    }
    return result;
}

struct TuneCase {
    const char* path;
    int minBeatsPerMinute;
    int maxBeatsPerMinute;
};

void PrintTo(const TuneCase& tune, std::ostream* out) {
    *out << tune.path;
}

class GeneratedTune : public testing::TestWithParam<TuneCase> {};

TEST_P(GeneratedTune, LoadsAndPlaysAMinuteBeforeLooping) {
    const TuneCase& tune = GetParam();
    const PlayThrough play = PlayToTheEnd(tune.path);
    ASSERT_EQ(play.loadResult, 0) << tune.path << " did not load (run the tests from the build folder)";
    EXPECT_GE(play.beatsPerMinute, tune.minBeatsPerMinute);
    EXPECT_LE(play.beatsPerMinute, tune.maxBeatsPerMinute);
    EXPECT_TRUE(play.looped);
    EXPECT_GE(play.secondsBeforeLoop, 60.0);
    EXPECT_EQ(play.lastOrderReached, play.orderCount - 1);
    EXPECT_GT(play.restartPosition, 0); // the intro plays once, the rest loops
    EXPECT_LT(play.restartPosition, play.orderCount);
    EXPECT_GT(play.peak, 0.1);
    EXPECT_LT(play.peak, 0.99);
}

INSTANTIATE_TEST_SUITE_P(Tunes, GeneratedTune,
                         testing::Values(TuneCase{"sound/1.xm", 60, 110}, TuneCase{"sound/2.xm", 130, 150}),
                         [](const testing::TestParamInfo<TuneCase>& info) {
                             return info.index == 0 ? std::string("TitleTune") : std::string("GameTune");
                         });

} // namespace
