// The sound-effect bank and the music on SDL's dummy audio device (a working device that plays into
// nothing), the pan and volume scales, and a game without a sound device.
#include "Harness.h"

#include "Game/TGame.h"
#include "Game/TGunner.h"
#include "Game/TMyShip.h"
#include "core/ScreenState.h"
#include "platform/Input.h"

#include "audio/Audio.h"
#include "audio/AudioState.h"
#include "audio/SoundLevels.h"
#include "persistence/Options.h"
#include "platform/MixLimiter.h"
#include "platform/MusicPlayer.h"
#include "platform/SoundDevice.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <condition_variable>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <mutex>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1)
        lines.push_back(text.substr(start, end - start));
    if (start < text.size()) lines.push_back(text.substr(start));
    return lines;
}

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteFile(const fs::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// Waits (real time, the audio thread's clock) until the condition holds or two seconds pass.
template <typename Condition> bool WaitFor(Condition condition) {
    for (int waited = 0; waited < 2000 && !condition(); waited += 10)
        SDL_Delay(10);
    return condition();
}

const SoundItem& BankItem(int index) {
    return *EffectBank().Item(index);
}

class AudioTest : public ::testing::Test {
  protected:
    void SetUp() override {
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        Options = TOptions{};
        InitialiseAudio();
        ASSERT_TRUE(SoundDeviceOpen());
    }
    void TearDown() override {
        ShutdownAudio();
        Options = TOptions{};
    }
};

} // namespace

// ---- The pan and volume scales --------------------------------------------------------------------

TEST(SoundLevels, ScreenPositionSetsPanVolumeAndMixerLevels) {
    struct Case {
        int x, y;
        int32_t pan, volume;
        MixerLevels levels;
    };
    // 10^(-4000/2000) = 0.01 of 255 rounds to 3; 10^(-800/2000) of 128 is 50.96; 10^(-200/2000) is 101.67.
    constexpr Case cases[] = {
        {0, 0, -4000, -800, {255, 3, 51}},
        {400, 0, 0, -800, {255, 255, 51}},
        {800, 0, 4000, -800, {3, 255, 51}},
        {400, 600, 0, -200, {255, 255, 102}},
        {800, 600, 4000, -200, {3, 255, 102}},
        // Far off the screen the scales end instead of wrapping.
        {-100000, 900, PanFullLeft, VolumeFull, {255, 0, 128}},
        {2147483647, -2147483647, PanFullRight, VolumeSilent, {0, 255, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("x " + std::to_string(c.x) + ", y " + std::to_string(c.y));
        EXPECT_EQ(PanForX(c.x), c.pan);
        EXPECT_EQ(VolumeForY(c.y), c.volume);
        EXPECT_EQ(MixerLevelsFor(c.pan, c.volume), c.levels);
    }
}

TEST(SoundLevels, AttenuationIsTwentyDecibelsPerDecadeOnTheTurnedDownSide) {
    EXPECT_DOUBLE_EQ(GainForAttenuation(0), 1.0);
    EXPECT_NEAR(GainForAttenuation(-2000), 0.1, 1e-12);
    EXPECT_NEAR(GainForAttenuation(2000), 0.1, 1e-12);
    EXPECT_NEAR(GainForAttenuation(VolumeSilent), 1e-5, 1e-15);
    const StereoGains left = GainsForPan(-2000);
    EXPECT_DOUBLE_EQ(left.left, 1.0);
    EXPECT_NEAR(left.right, 0.1, 1e-12);
    const StereoGains right = GainsForPan(6000);
    EXPECT_NEAR(right.left, 0.001, 1e-12);
    EXPECT_DOUBLE_EQ(right.right, 1.0);
}

// ---- The effect bank ------------------------------------------------------------------------------

TEST_F(AudioTest, EveryItemLoadsFromItsBuiltInImage) {
    for (int index = SoundMenuClick; index <= SoundNewStage; ++index) {
        SCOPED_TRACE(index);
        EXPECT_NE(BankItem(index).Wave, nullptr);
        EXPECT_EQ(BankItem(index).Pan, 0);
        EXPECT_EQ(BankItem(index).Volume, 0);
    }
}

TEST_F(AudioTest, AnEffectTakesPanAndVolumeFromItsPositionAndKeepsThem) {
    PlaySoundEffect(0, 600, SoundLaser);
    EXPECT_EQ(BankItem(SoundLaser).Pan, -4000);
    EXPECT_EQ(BankItem(SoundLaser).Volume, -200);
    EXPECT_EQ(EffectBank().LastPlayVolume(SoundLaser), 102);
    // A direct play uses what the last positioned play left on the item.
    PlaySoundDirect(SoundLaser);
    EXPECT_EQ(EffectBank().LastPlayVolume(SoundLaser), 102);
    EXPECT_EQ(BankItem(SoundLaser).Pan, -4000);
}

TEST_F(AudioTest, SoundOffPlaysNothingAndLeavesPanAndVolumeAlone) {
    PlaySoundEffect(100, 300, SoundHit);
    Options.SoundEnabled = false;
    SetSoundEnabled(false);
    const int hitCopies = static_cast<int>(BankItem(SoundHit).Copies.size());
    for (int index = SoundMenuClick; index <= SoundNewStage; ++index)
        PlaySoundEffect(700, 500, index);

    EXPECT_EQ(BankItem(SoundHit).Pan, -3000);
    EXPECT_EQ(BankItem(SoundHit).Volume, VolumeSilent);
    EXPECT_EQ(static_cast<int>(BankItem(SoundHit).Copies.size()), hitCopies);
    for (int index = SoundMenuClick; index <= SoundNewStage; ++index) {
        if (index == SoundHit) continue;
        SCOPED_TRACE(index);
        EXPECT_EQ(BankItem(index).Pan, 0);
        EXPECT_EQ(BankItem(index).Volume, VolumeSilent);
        EXPECT_TRUE(BankItem(index).Copies.empty());
    }
}

TEST_F(AudioTest, DirectPlaysIgnoreTheFlagButFollowTheVolumeItSet) {
    SetSoundEnabled(false);
    PlaySoundDirect(SoundMenuClick);
    EXPECT_EQ(EffectBank().PlayingCopies(SoundMenuClick), 1);
    EXPECT_EQ(EffectBank().LastPlayVolume(SoundMenuClick), 0);

    SetSoundEnabled(true);
    for (int index = SoundMenuClick; index <= SoundNewStage; ++index)
        EXPECT_EQ(BankItem(index).Volume, 0);
    PlaySoundDirect(SoundMenuClick);
    EXPECT_EQ(EffectBank().LastPlayVolume(SoundMenuClick), MixerMaxVolume);
}

TEST_F(AudioTest, OverlappingPlaysLayerOnNewCopiesInsteadOfRestarting) {
    PlaySoundEffect(200, 300, SoundHit);
    PlaySoundEffect(600, 300, SoundHit);
    EXPECT_EQ(EffectBank().PlayingCopies(SoundHit), 2);
    ASSERT_EQ(BankItem(SoundHit).Copies.size(), 2u);
    EXPECT_NE(BankItem(SoundHit).Copies[0], BankItem(SoundHit).Copies[1]);

    // The mega-bomb: ten blasts in one frame, all sounding, none of the hits cut short.
    for (int i = 0; i < 10; ++i)
        PlaySoundEffect(80 * i, 400, SoundSkeel);
    EXPECT_EQ(EffectBank().PlayingCopies(SoundSkeel), 10);
    EXPECT_EQ(EffectBank().PlayingCopies(SoundHit), 2);
}

TEST_F(AudioTest, AFinishedCopyIsReused) {
    PlaySoundDirect(SoundMenuClick);
    ASSERT_TRUE(WaitFor([] { return EffectBank().PlayingCopies(SoundMenuClick) == 0; }));
    PlaySoundDirect(SoundMenuClick);
    EXPECT_EQ(BankItem(SoundMenuClick).Copies.size(), 1u);
    EXPECT_EQ(EffectBank().PlayingCopies(SoundMenuClick), 1);
}

TEST_F(AudioTest, IndexesOutsideTheBankAreIgnored) {
    PlaySoundEffect(400, 300, -1);
    PlaySoundEffect(400, 300, 7);
    PlaySoundDirect(255);
    EXPECT_EQ(EffectBank().Item(7), nullptr);
    for (int index = SoundMenuClick; index <= SoundNewStage; ++index)
        EXPECT_TRUE(BankItem(index).Copies.empty());
}

// ---- Music ----------------------------------------------------------------------------------------

TEST_F(AudioTest, ATuneReachesTheMixerAndTheNextOneReplacesIt) {
    Song::ResetPeakLoadedCount();
    PlayMusic("1.xm");
    ASSERT_TRUE(MusicLoaded());
    EXPECT_TRUE(WaitFor([] { return MusicFramesPlayed() > 0; }));
    UpdateMusic();
    EXPECT_GE(MusicLastOrder(), 0);

    PlayMusic("2.xm");
    EXPECT_TRUE(MusicLoaded());
    EXPECT_EQ(Song::LoadedCount(), 1);
    // The old tune was freed before the new one was loaded: never two at once.
    EXPECT_EQ(Song::PeakLoadedCount(), 1);
}

TEST_F(AudioTest, StopMusicWithOrWithoutATune) {
    StopMusic();
    EXPECT_FALSE(MusicLoaded());
    EXPECT_EQ(Song::LoadedCount(), 0);
    PlayMusic("1.xm");
    StopMusic();
    StopMusic();
    EXPECT_FALSE(MusicLoaded());
    EXPECT_EQ(Song::LoadedCount(), 0);
    UpdateMusic();
    EXPECT_EQ(MusicLastOrder(), 0);
}

TEST_F(AudioTest, ABadTuneSaysSoOnceAndTheNextGoodOnePlays) {
    const std::string goodTune = ReadFile("sound/1.xm");
    ASSERT_GT(goodTune.size(), 400u);
    const fs::path previous = fs::current_path();
    const fs::path folder = fs::temp_directory_path() / ("vantorix-audio-" + std::to_string(::getpid()));
    fs::create_directories(folder / "sound");
    WriteFile(folder / "sound/garbage.xm", std::string(5000, '\x5a') + "not a module at all");
    WriteFile(folder / "sound/truncated.xm", goodTune.substr(0, 100));
    WriteFile(folder / "sound/1.xm", goodTune);
    fs::create_directories(folder / "sound/folder.xm");
    fs::current_path(folder);

    const char* badTunes[] = {"missing.xm", "garbage.xm", "truncated.xm", "folder.xm"};
    testing::internal::CaptureStderr();
    for (const char* name : badTunes) {
        PlayMusic(name);
        EXPECT_FALSE(MusicLoaded()) << name;
        PlayMusic(name); // asked again (the window regains focus): tried again, not reported again
        UpdateMusic();
    }
    PlayMusic("1.xm");
    const std::vector<std::string> lines = Lines(testing::internal::GetCapturedStderr());
    EXPECT_TRUE(MusicLoaded());

    fs::current_path(previous);
    fs::remove_all(folder);
    ASSERT_EQ(lines.size(), std::size(badTunes));
    for (size_t i = 0; i < lines.size(); ++i)
        EXPECT_NE(lines[i].find(std::string("sound/") + badTunes[i]), std::string::npos) << lines[i];
    EXPECT_NE(lines[0].find("No such file"), std::string::npos) << lines[0];
}

// ---- Without a sound device -----------------------------------------------------------------------

TEST(AudioWithoutDevice, TheGameRunsSilentlyAfterOneLine) {
    setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
    Options = TOptions{};
    testing::internal::CaptureStderr();
    InitialiseAudio();
    PlaySoundEffect(400, 300, SoundHit);
    PlaySoundDirect(SoundMenuClick);
    SetSoundEnabled(false);
    SetSoundEnabled(true);
    PlayMusic("1.xm");
    PlayMusic("missing.xm");
    UpdateMusic();
    StopMusic();
    const std::vector<std::string> lines = Lines(testing::internal::GetCapturedStderr());
    EXPECT_FALSE(SoundDeviceOpen());
    EXPECT_FALSE(MusicLoaded());
    ShutdownAudio();
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    Options = TOptions{};

    ASSERT_EQ(lines.size(), 1u);
    EXPECT_NE(lines[0].find("no sound device"), std::string::npos) << lines[0];
}

// ---- The limiter at the end of the mix ----------------------------------------------------------

struct LimiterCase {
    const char* name;
    float amplitude; // of a 220 Hz tone, 1.0 = full scale
    int sounds;      // copies of the tone piled up, as overlapping effects would
};

// Stereo frames of `sounds` piled-up tones for half a second, then half a second of silence.
std::vector<float> PiledUpTones(const LimiterCase& c) {
    std::vector<float> stereo(2 * MixerRate);
    for (int frame = 0; frame < MixerRate / 2; ++frame) {
        const float tone = c.amplitude * static_cast<float>(std::sin(2.0 * M_PI * 220.0 * frame / MixerRate));
        stereo[2 * frame] = stereo[2 * frame + 1] = static_cast<float>(c.sounds) * tone;
    }
    return stereo;
}

TEST(MixLimiter, NoPileUpEverPassesTheCeilingAndQuietSoundPassesUntouched) {
    constexpr float Ceiling = 0.94f;
    constexpr LimiterCase Cases[] = {
        {"quiet tune", 0.2f, 1},
        {"one loud effect", 0.9f, 1},
        {"five explosions", 0.9f, 5},
        {"ten blasts and more", 1.0f, 12},
    };
    for (const LimiterCase& c : Cases) {
        SCOPED_TRACE(c.name);
        const std::vector<float> input = PiledUpTones(c);
        std::vector<float> output = input;
        MixLimiter limiter(MixerRate, Ceiling, 0.2f);
        for (size_t at = 0; at < output.size(); at += 2048) // in device-sized buffers
            limiter.Process(output.data() + at, std::min<size_t>(1024, (output.size() - at) / 2));
        float peak = 0.0f;
        for (float value : output)
            peak = std::max(peak, std::fabs(value));
        const float loudestIn = c.amplitude * static_cast<float>(c.sounds);
        EXPECT_LE(peak, loudestIn <= Ceiling ? loudestIn : Ceiling + 0.01f);
        if (loudestIn <= Ceiling) { // delayed by the look-ahead, otherwise unchanged
            const size_t delay = 2 * MixLimiter::LookAheadFrames;
            for (size_t i = delay; i < output.size(); i += 97)
                ASSERT_FLOAT_EQ(output[i], input[i - delay]) << i;
        }
        EXPECT_GT(peak, std::min(loudestIn, Ceiling) * 0.95f); // a limiter, not a mute
    }
}

TEST(MixLimiter, TheGainRecoversAfterABurst) {
    MixLimiter limiter(MixerRate, 0.94f, 0.2f);
    std::vector<float> burst = PiledUpTones({"burst", 1.0f, 5});
    limiter.Process(burst.data(), MixerRate / 2);
    EXPECT_LT(limiter.Gain(), 0.25f);
    std::vector<float> silence(2 * MixerRate, 0.0f);
    limiter.Process(silence.data(), MixerRate); // a second later the mix is back to full level
    EXPECT_GT(limiter.Gain(), 0.9f);
}

// ---- In the shell ---------------------------------------------------------------------------------

TEST(AudioInShell, TheTitleTunePlaysFromStartUpAndTheDeviceClosesWithTheWindow) {
    {
        Harness h;
        ASSERT_TRUE(h.Started());
        EXPECT_TRUE(SoundDeviceOpen());
        EXPECT_TRUE(MusicLoaded());
    }
    EXPECT_FALSE(SoundDeviceOpen());
    EXPECT_FALSE(MusicLoaded());
    EXPECT_EQ(Song::LoadedCount(), 0);
}
