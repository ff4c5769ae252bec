#include "core/Hash64.h"
#include "replay/ReplayFile.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <unistd.h>

namespace {

// A game of `frames` frames played as a person would: controls held for a while, steps of 5 to 7 ms.
Replay PlayedGame(uint32_t frames, uint32_t seed = 7) {
    std::mt19937 draw(seed);
    Replay replay;
    replay.GameVersion = "1.0.0";
    replay.PackHash = 0x0123456789abcdefULL;
    replay.StartSeed = 0xdeadbeef;
    replay.StartTick = 0xfffff000; // the clock wraps during the game
    replay.PlayOptions = 1;
    replay.PlayerName = "Gypsyquayq";
    replay.Score = 1670;
    replay.Stage = 3;
    replay.FinalHash = 0xfeedfacecafef00dULL;
    uint8_t controls = 0;
    for (uint32_t i = 0; i < frames; ++i) {
        if (draw() % 40 == 0) controls = static_cast<uint8_t>(draw() % (AllFrameInputBits + 1));
        replay.Frames.push_back({static_cast<uint32_t>(5 + draw() % 3), controls});
    }
    for (uint32_t i = 0; i < frames / StateHashInterval; ++i)
        replay.StateHashes.push_back(draw());
    return replay;
}

void ExpectSameReplay(const Replay& read, const Replay& written) {
    EXPECT_EQ(read.GameVersion, written.GameVersion);
    EXPECT_EQ(read.PackHash, written.PackHash);
    EXPECT_EQ(read.StartSeed, written.StartSeed);
    EXPECT_EQ(read.StartTick, written.StartTick);
    EXPECT_EQ(read.PlayOptions, written.PlayOptions);
    EXPECT_EQ(read.PlayerName, written.PlayerName);
    EXPECT_EQ(read.Score, written.Score);
    EXPECT_EQ(read.Stage, written.Stage);
    EXPECT_EQ(read.FinalHash, written.FinalHash);
    EXPECT_EQ(read.Frames, written.Frames);
    EXPECT_EQ(read.StateHashes, written.StateHashes);
}

// Where the header's fields stand in a file whose version and name are "1.0.0" and "Gypsyquayq".
constexpr size_t FrameCountAt = 8 + 2 + 6 + 8 + 12 + 11 + 8;
constexpr size_t HashCountAt = FrameCountAt + 4 + 8;

void PutNumber(std::vector<uint8_t>& file, size_t at, uint32_t value) {
    for (int i = 0; i < 4; ++i)
        file[at + i] = static_cast<uint8_t>(value >> (8 * i));
}

} // namespace

TEST(ReplayFile, AGameReadsBackAsItWasWritten) {
    for (const uint32_t frames : {0u, 1u, 599u, 600u, 6001u}) {
        SCOPED_TRACE(frames);
        const Replay written = PlayedGame(frames);
        const ReplayReadResult read = ReadReplay(WriteReplay(written));
        ASSERT_TRUE(read.Read) << read.Error;
        ExpectSameReplay(*read.Read, written);
    }
}

TEST(ReplayFile, TenMinutesOfPlayTakeLessThan100KB) {
    const uint32_t tenMinutes = 166 * 60 * 10;
    EXPECT_LT(WriteReplay(PlayedGame(tenMinutes)).size(), 100u * 1024);
}

TEST(ReplayFile, EveryShortenedFileIsRefusedWithASentence) {
    const std::vector<uint8_t> file = WriteReplay(PlayedGame(1300));
    for (size_t size = 0; size < file.size(); ++size) {
        const ReplayReadResult read = ReadReplay(std::span(file.data(), size));
        ASSERT_FALSE(read.Read) << "cut to " << size << " bytes";
        ASSERT_FALSE(read.Error.empty());
    }
}

TEST(ReplayFile, DamagedOrHostileFilesAreRefused) {
    const std::vector<uint8_t> good = WriteReplay(PlayedGame(1300));
    struct Case {
        const char* what;
        void (*damage)(std::vector<uint8_t>&);
    };
    const Case cases[] = {
        {"another magic", [](std::vector<uint8_t>& f) { f[0] = 'X'; }},
        {"a later format", [](std::vector<uint8_t>& f) { f[8] = 2; }},
        {"a text longer than allowed", [](std::vector<uint8_t>& f) { f[10] = 200; }},
        {"more frames than a game can have",
         [](std::vector<uint8_t>& f) { PutNumber(f, FrameCountAt, MaxReplayFrames + 1); }},
        {"a frame count the frames do not have",
         [](std::vector<uint8_t>& f) { PutNumber(f, FrameCountAt, 1201); }},
        {"state checks that do not fit", [](std::vector<uint8_t>& f) { PutNumber(f, HashCountAt, 3); }},
        {"a byte after the end", [](std::vector<uint8_t>& f) { f.push_back(0); }},
        {"a flipped bit in the compressed frames", [](std::vector<uint8_t>& f) { f[f.size() - 20] ^= 4; }},
        {"an inflated size larger than the frames allow",
         [](std::vector<uint8_t>& f) { PutNumber(f, HashCountAt + 4 + 2 * 8, 0xffffffff); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<uint8_t> file = good;
        c.damage(file);
        const ReplayReadResult read = ReadReplay(file);
        EXPECT_FALSE(read.Read);
        EXPECT_FALSE(read.Error.empty());
    }
}

// Frames that inflate to far more than the file says are never inflated whole.
TEST(ReplayFile, ACompressionBombIsRefused) {
    const std::vector<uint8_t> game = WriteReplay(PlayedGame(1));
    const std::vector<uint8_t> zeros(64 * 1024 * 1024, 0);
    uLongf bombSize = compressBound(static_cast<uLong>(zeros.size()));
    std::vector<uint8_t> bomb(bombSize);
    ASSERT_EQ(compress2(bomb.data(), &bombSize, zeros.data(), static_cast<uLong>(zeros.size()), 9), Z_OK);
    bomb.resize(bombSize);
    // The one-frame game's header and its frames' raw size, then the bomb as its compressed frames.
    const size_t sizesAt = HashCountAt + 4;
    std::vector<uint8_t> file(game.begin(), game.begin() + static_cast<long>(sizesAt + 8));
    PutNumber(file, sizesAt + 4, static_cast<uint32_t>(bomb.size()));
    file.insert(file.end(), bomb.begin(), bomb.end());
    const ReplayReadResult read = ReadReplay(file);
    EXPECT_FALSE(read.Read);
    EXPECT_EQ(read.Error, "the replay's frames are damaged");
}

TEST(ReplayFile, AFileLoadsAndAMissingOrDamagedOneIsNamedInTheSentence) {
    const auto folder =
        std::filesystem::temp_directory_path() / ("replay-test-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    const Replay game = PlayedGame(2000);
    const std::vector<uint8_t> bytes = WriteReplay(game);
    std::ofstream(folder / "last.replay", std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    const ReplayReadResult loaded = LoadReplayFile(folder / "last.replay");
    ASSERT_TRUE(loaded.Read) << loaded.Error;
    ExpectSameReplay(*loaded.Read, game);

    std::ofstream(folder / "cut.replay", std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), 40);
    for (const char* name : {"missing.replay", "cut.replay"}) {
        const ReplayReadResult read = LoadReplayFile(folder / name);
        EXPECT_FALSE(read.Read);
        EXPECT_NE(read.Error.find(name), std::string::npos) << read.Error;
    }
    std::filesystem::remove_all(folder);
}

TEST(Hash64, SameBytesSameValueAndOrderMatters) {
    Hash64 a, b, c;
    a.AddNumber(1, 4);
    a.Add("ab");
    b.AddNumber(1, 4);
    b.Add("ab");
    c.Add("ab");
    c.AddNumber(1, 4);
    EXPECT_EQ(a.Value(), b.Value());
    EXPECT_NE(a.Value(), c.Value());
    Hash64 empty;
    EXPECT_EQ(empty.Value(), 0xcbf29ce484222325ULL);
}
