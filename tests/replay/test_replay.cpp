#include "core/Hash64.h"
#include "persistence/HiScores.h"
#include "replay/ReplayFile.h"
#include "replay/ReplayRecorder.h"
#include "replay/ReplayShelf.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

// A game of `frames` frames played as a person would: the controls change to a random set four times a
// second. It carries a start ticket of the largest size, whose bytes take every value.
Replay PlayedGame(uint32_t frames, uint32_t seed = 7) {
    std::mt19937 draw(seed);
    Replay replay;
    replay.RulesVersion = 3;
    replay.RulesHash = 0x0123456789abcdefULL;
    replay.GameVersion = "1.0.0";
    replay.StartSeed = 0xdeadbeef;
    for (size_t i = 0; i < MaxStartTicketBytes; ++i)
        replay.StartTicket.push_back(static_cast<char>(i));
    replay.PlayOptions = PlayOptionSlowerGame;
    replay.PlayerName = "Gypsyquayq";
    replay.Score = 1670;
    replay.Stage = 3;
    replay.FinalHash = 0xfeedfacecafef00dULL;
    uint8_t controls = 0;
    for (uint32_t i = 0; i < frames; ++i) {
        if (i * GameFrameMs / 250 != (i + 1) * GameFrameMs / 250)
            controls = static_cast<uint8_t>(draw() % (AllFrameInputBits + 1));
        replay.Frames.push_back({controls});
    }
    for (uint32_t i = 0; i < frames / StateHashInterval; ++i)
        replay.StateHashes.push_back(draw());
    return replay;
}

// A game started without the score server: no ticket, no options, no name, a score below zero.
Replay OwnStartGame() {
    Replay replay = PlayedGame(1300);
    replay.StartTicket.clear();
    replay.PlayOptions = 0;
    replay.PlayerName.clear();
    replay.Score = -5;
    return replay;
}

void ExpectSameReplay(const Replay& read, const Replay& written) {
    EXPECT_EQ(read.RulesVersion, written.RulesVersion);
    EXPECT_EQ(read.RulesHash, written.RulesHash);
    EXPECT_EQ(read.GameVersion, written.GameVersion);
    EXPECT_EQ(read.StartSeed, written.StartSeed);
    EXPECT_EQ(read.StartTicket, written.StartTicket);
    EXPECT_EQ(read.PlayOptions, written.PlayOptions);
    EXPECT_EQ(read.PlayerName, written.PlayerName);
    EXPECT_EQ(read.Score, written.Score);
    EXPECT_EQ(read.Stage, written.Stage);
    EXPECT_EQ(read.FinalHash, written.FinalHash);
    EXPECT_EQ(read.Frames, written.Frames);
    EXPECT_EQ(read.StateHashes, written.StateHashes);
}

// Where the fields stand in a file of PlayedGame.
constexpr size_t GameVersionAt = 8 + 2 + 4 + 8;
constexpr size_t TicketAt = GameVersionAt + 6 + 4;
constexpr size_t OptionsAt = TicketAt + 2 + MaxStartTicketBytes;
constexpr size_t FrameCountAt = OptionsAt + 4 + 11 + 4 + 4;
constexpr size_t HashCountAt = FrameCountAt + 4 + 8;
constexpr size_t SizesAt(uint32_t frames) {
    return HashCountAt + 4 + 8 * (frames / StateHashInterval);
}

void PutNumber(std::vector<uint8_t>& file, size_t at, uint64_t value, size_t bytes = 4) {
    for (size_t i = 0; i < bytes; ++i)
        file[at + i] = static_cast<uint8_t>(value >> (8 * i));
}

void AppendNumber(std::vector<uint8_t>& file, uint64_t value, size_t bytes) {
    file.resize(file.size() + bytes);
    PutNumber(file, file.size() - bytes, value, bytes);
}

void AppendText(std::vector<uint8_t>& file, const std::string& text) {
    file.push_back(static_cast<uint8_t>(text.size()));
    file.insert(file.end(), text.begin(), text.end());
}

std::vector<uint8_t> Packed(const std::vector<uint8_t>& raw) {
    uLongf size = compressBound(static_cast<uLong>(raw.size()));
    std::vector<uint8_t> packed(size);
    EXPECT_EQ(compress2(packed.data(), &size, raw.data(), static_cast<uLong>(raw.size()), 9), Z_OK);
    packed.resize(size);
    return packed;
}

// The file of `game` with its compressed frames replaced by `packed`, said to inflate to `rawSize`.
std::vector<uint8_t> WithPackedFrames(const Replay& game, uint32_t rawSize,
                                      const std::vector<uint8_t>& packed) {
    std::vector<uint8_t> file = WriteReplay(game);
    file.resize(SizesAt(static_cast<uint32_t>(game.Frames.size())));
    AppendNumber(file, rawSize, 4);
    AppendNumber(file, packed.size(), 4);
    file.insert(file.end(), packed.begin(), packed.end());
    return file;
}

std::vector<uint8_t> WithRawFrames(const Replay& game, const std::vector<uint8_t>& raw) {
    return WithPackedFrames(game, static_cast<uint32_t>(raw.size()), Packed(raw));
}

// A game of no frames as the first format kept it: the pack's hash, a start tick and, per frame, a time
// step after the controls' runs.
std::vector<uint8_t> FirstFormatFile(const std::string& name, int32_t score) {
    std::vector<uint8_t> file = {'V', 'T', 'X', 'R', 'E', 'P', 'L', 'Y', 1, 0};
    AppendText(file, "1.0.0");
    AppendNumber(file, 0x0123456789abcdefULL, 8); // pack hash
    AppendNumber(file, 0xdeadbeef, 4);            // start seed
    AppendNumber(file, 0xfffff000, 4);            // start tick
    AppendNumber(file, 0, 4);                     // play options
    AppendText(file, name);
    AppendNumber(file, static_cast<uint32_t>(score), 4);
    AppendNumber(file, 1, 4);                        // stage
    AppendNumber(file, 0, 4);                        // frames
    AppendNumber(file, 0, 8);                        // final hash
    AppendNumber(file, 0, 4);                        // state hashes
    const std::vector<uint8_t> packed = Packed({0}); // no runs, no steps
    AppendNumber(file, 1, 4);
    AppendNumber(file, packed.size(), 4);
    file.insert(file.end(), packed.begin(), packed.end());
    return file;
}

void WriteFile(const fs::path& path, std::span<const uint8_t> bytes) {
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

std::vector<uint8_t> FileBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

constexpr const char* OtherVersion = "This replay was recorded by another version of the game.";

} // namespace

TEST(ReplayFile, AGameReadsBackAsItWasWritten) {
    std::vector<Replay> games;
    for (const uint32_t frames : {0u, 1u, 599u, 600u, 6001u})
        games.push_back(PlayedGame(frames));
    games.push_back(OwnStartGame());
    for (const Replay& written : games) {
        SCOPED_TRACE(written.Frames.size());
        const ReplayReadResult read = ReadReplay(WriteReplay(written));
        ASSERT_TRUE(read.Read) << read.Error;
        EXPECT_EQ(read.Kind, ReplayReadError::None);
        ExpectSameReplay(*read.Read, written);
    }
}

TEST(ReplayFile, TenMinutesOfPlayTakeLessThan100KB) {
    const uint32_t tenMinutes = 10 * 60 * 1000 / GameFrameMs;
    EXPECT_LT(WriteReplay(PlayedGame(tenMinutes)).size(), 100u * 1024);
}

TEST(ReplayFile, EveryShortenedFileIsRefusedAsDamaged) {
    const std::vector<uint8_t> file = WriteReplay(PlayedGame(1300));
    for (size_t size = 0; size < file.size(); ++size) {
        const ReplayReadResult read = ReadReplay(std::span(file.data(), size));
        ASSERT_FALSE(read.Read) << "cut to " << size << " bytes";
        ASSERT_EQ(read.Kind, ReplayReadError::Damaged) << "cut to " << size << " bytes";
        ASSERT_FALSE(read.Error.empty());
    }
}

TEST(ReplayFile, DamagedOrHostileFilesAreRefused) {
    const std::vector<uint8_t> good = WriteReplay(PlayedGame(1300));
    struct Case {
        const char* what;
        void (*damage)(std::vector<uint8_t>&);
        const char* sentence;
    };
    const Case cases[] = {
        {"another magic", [](std::vector<uint8_t>& f) { f[0] = 'X'; }, "not a replay file"},
        {"a text longer than allowed", [](std::vector<uint8_t>& f) { f[GameVersionAt] = MaxReplayText + 1; },
         "the replay holds a text longer than allowed"},
        {"a start ticket longer than allowed",
         [](std::vector<uint8_t>& f) {
             PutNumber(f, TicketAt, MaxStartTicketBytes + 1, 2);
             f.insert(f.begin() + static_cast<long>(OptionsAt), 'x');
         },
         "the replay's start ticket is longer than allowed"},
        {"more frames than a game can have",
         [](std::vector<uint8_t>& f) { PutNumber(f, FrameCountAt, MaxReplayFrames + 1); },
         "the replay holds more frames than a game can have"},
        {"a frame count the frames do not have",
         [](std::vector<uint8_t>& f) { PutNumber(f, FrameCountAt, 1201); },
         "the replay's frames do not decode"},
        {"state checks that do not fit", [](std::vector<uint8_t>& f) { PutNumber(f, HashCountAt, 3); },
         "the replay's state checks do not fit its frames"},
        {"a byte after the end", [](std::vector<uint8_t>& f) { f.push_back(0); },
         "the replay file has bytes after its end"},
        {"a flipped bit in the compressed frames", [](std::vector<uint8_t>& f) { f[f.size() - 20] ^= 4; },
         "the replay's frames are damaged"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<uint8_t> file = good;
        c.damage(file);
        const ReplayReadResult read = ReadReplay(file);
        EXPECT_FALSE(read.Read);
        EXPECT_EQ(read.Kind, ReplayReadError::Damaged);
        EXPECT_EQ(read.Error, c.sentence);
    }
}

// The runs of controls must cover the frames exactly, one byte of controls and one length each.
TEST(ReplayFile, FramesThatDoNotDecodeAreRefused) {
    const Replay game = PlayedGame(3);
    const ReplayReadResult sound = ReadReplay(WithRawFrames(game, {2, 5, 1, 0, 2}));
    ASSERT_TRUE(sound.Read) << sound.Error;
    EXPECT_EQ(sound.Read->Frames, (std::vector<ReplayFrame>{{5}, {0}, {0}}));

    struct Case {
        const char* what;
        std::vector<uint8_t> raw;
    };
    const Case cases[] = {
        {"nothing", {}},
        {"controls with bit 7", {1, 0x80, 3}},
        {"a run of no frames", {2, 1, 0, 0, 3}},
        {"runs short of the frames", {1, 0, 2}},
        {"runs past the frames", {1, 0, 4}},
        {"more runs than frames", {4, 0, 1, 1, 1, 0, 1, 1, 1}},
        {"a time step after the runs, as the first format had", {1, 0, 3, 6}},
        {"a count of runs past 32 bits that wraps to 1", {0x81, 0x80, 0x80, 0x80, 0x10, 0, 3}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const ReplayReadResult read = ReadReplay(WithRawFrames(game, c.raw));
        EXPECT_FALSE(read.Read);
        EXPECT_EQ(read.Error, "the replay's frames do not decode");
    }
}

// Frames that inflate to far more than the file says are never inflated whole, and a file cannot say
// that its frames inflate to more than its frame count needs.
TEST(ReplayFile, ACompressionBombIsRefused) {
    const Replay game = PlayedGame(1);
    const std::vector<uint8_t> bomb = Packed(std::vector<uint8_t>(64 * 1024 * 1024, 0));
    const ReplayReadResult small = ReadReplay(WithPackedFrames(game, 3, bomb));
    EXPECT_FALSE(small.Read);
    EXPECT_EQ(small.Error, "the replay's frames are damaged");
    const ReplayReadResult large = ReadReplay(WithPackedFrames(game, 64 * 1024 * 1024, bomb));
    EXPECT_FALSE(large.Read);
    EXPECT_EQ(large.Error, "the replay's frames are larger than its frame count allows");
}

// A game may last exactly as long as a replay holds; the recorder lets go of a longer one.
TEST(ReplayFile, TheLongestGameIsRecordedAndReadAndOneFrameMoreIsNot) {
    ReplayRecorder recorder;
    recorder.Start({3, 0x0123456789abcdefULL, "1.0.0", 42, "ticket", PlayOptionSlowerGame});
    for (uint32_t frame = 1; frame <= MaxReplayFrames; ++frame) {
        recorder.RecordFrame(static_cast<uint8_t>(frame / 1000 % (AllFrameInputBits + 1)));
        if (recorder.StateHashDue()) recorder.AddStateHash(frame);
    }
    ASSERT_TRUE(recorder.Recording());
    const Replay longest = recorder.Finish("Ace", 100, 9, 77);
    EXPECT_EQ(longest.StateHashes.size(), MaxReplayFrames / StateHashInterval);
    EXPECT_EQ(longest.StartTicket, "ticket");
    const ReplayReadResult read = ReadReplay(WriteReplay(longest));
    ASSERT_TRUE(read.Read) << read.Error;
    ExpectSameReplay(*read.Read, longest);

    recorder.Start({});
    for (uint32_t frame = 0; frame < MaxReplayFrames; ++frame)
        recorder.RecordFrame(0);
    EXPECT_FALSE(recorder.Overflowed());
    recorder.RecordFrame(0);
    EXPECT_TRUE(recorder.Overflowed());
    EXPECT_FALSE(recorder.Recording());
}

// A file of the first format, of a later one, or with an option this build does not know was recorded
// by another version; who played it can still be read.
TEST(ReplayFile, AFileOfAnotherVersionIsToldApartFromADamagedOne) {
    struct Case {
        const char* what;
        std::vector<uint8_t> file;
    };
    std::vector<uint8_t> laterFormat = WriteReplay(PlayedGame(10));
    PutNumber(laterFormat, 8, 3, 2);
    std::vector<uint8_t> unknownOption = WriteReplay(PlayedGame(10));
    PutNumber(unknownOption, OptionsAt, PlayOptionSlowerGame | 2);
    std::vector<uint8_t> topOption = WriteReplay(PlayedGame(10));
    PutNumber(topOption, OptionsAt, 0x80000000);
    const Case cases[] = {
        {"the first format", FirstFormatFile("Gypsyquayq", 1670)},
        {"a later format", laterFormat},
        {"an unknown option", unknownOption},
        {"the top option bit", topOption},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const ReplayReadResult read = ReadReplay(c.file);
        EXPECT_FALSE(read.Read);
        EXPECT_EQ(read.Kind, ReplayReadError::OtherFormat);
        EXPECT_EQ(read.Error, OtherVersion);
    }

    for (const std::vector<uint8_t>& file : {FirstFormatFile("Gypsyquayq", 1670), unknownOption}) {
        const std::optional<ReplayClaim> claim = ReadReplayClaim(file);
        ASSERT_TRUE(claim);
        EXPECT_EQ(claim->PlayerName, "Gypsyquayq");
        EXPECT_EQ(claim->Score, 1670);
    }
    EXPECT_FALSE(ReadReplayClaim(laterFormat)) << "a later format's start is not known";
    const std::vector<uint8_t> firstFormat = FirstFormatFile("Gypsyquayq", 1670);
    EXPECT_FALSE(ReadReplayClaim(std::span(firstFormat.data(), 30))) << "the name is cut";
}

TEST(ReplayFile, AFileLoadsAndAMissingOrDamagedOneIsNamedInTheSentence) {
    const fs::path folder = fs::temp_directory_path() / ("replay-test-" + std::to_string(::getpid()));
    fs::create_directories(folder);
    const Replay game = PlayedGame(2000);
    const std::vector<uint8_t> bytes = WriteReplay(game);
    WriteFile(folder / "last.replay", bytes);
    const ReplayReadResult loaded = LoadReplayFile(folder / "last.replay");
    ASSERT_TRUE(loaded.Read) << loaded.Error;
    ExpectSameReplay(*loaded.Read, game);

    WriteFile(folder / "cut.replay", std::span(bytes.data(), 40));
    WriteFile(folder / "old.replay", FirstFormatFile("Ace", 10));
    std::vector<uint8_t> huge = bytes;
    huge.resize(MaxReplayFileBytes + 1);
    WriteFile(folder / "huge.replay", huge);
    const std::pair<const char*, ReplayReadError> cases[] = {
        {"missing.replay", ReplayReadError::Missing},
        {"cut.replay", ReplayReadError::Damaged},
        {"huge.replay", ReplayReadError::Damaged},
        {"old.replay", ReplayReadError::OtherFormat},
    };
    for (const auto& [name, kind] : cases) {
        SCOPED_TRACE(name);
        const ReplayReadResult read = LoadReplayFile(folder / name);
        EXPECT_FALSE(read.Read);
        EXPECT_EQ(read.Kind, kind);
        EXPECT_NE(read.Error.find(name), std::string::npos) << read.Error;
    }
    fs::remove_all(folder);
}

// The shelf works in the current folder, as the game does beside Config.cfg.
class ReplayShelfTest : public testing::Test {
  protected:
    void SetUp() override {
        previousFolder = fs::current_path();
        folder = fs::temp_directory_path() / ("vantorix-shelf-" + std::to_string(::getpid()));
        fs::remove_all(folder);
        fs::create_directories(folder / ReplayFolder);
        fs::current_path(folder);
        ResetHighScores();
    }
    void TearDown() override {
        ResetHighScores();
        fs::current_path(previousFolder);
        std::error_code ignored;
        fs::remove_all(folder, ignored);
    }

    fs::path previousFolder, folder;
};

// A row's replay kept by an earlier version stays the row's, is left as it is and is marked as one that
// cannot be watched; files no row holds go when the table is saved.
TEST_F(ReplayShelfTest, AReplayOfAnotherVersionStaysWithItsRow) {
    HiScoreTable[0] = {"Ace", 5000};
    HiScoreTable[1] = {"Old", 4000};
    Replay ace = PlayedGame(700);
    ace.PlayerName = "Ace";
    ace.Score = 5000;
    std::string reason;
    ASSERT_TRUE(KeepTableReplay(ace, reason)) << reason;
    const fs::path old = fs::path(ReplayFolder) / "top-4000-0000000000000000.vtxreplay";
    const std::vector<uint8_t> oldBytes = FirstFormatFile("Old", 4000);
    WriteFile(old, oldBytes);
    const fs::path gone = fs::path(ReplayFolder) / "top-3000-0000000000000000.vtxreplay";
    WriteFile(gone, FirstFormatFile("Gone", 3000));
    const fs::path damaged = fs::path(ReplayFolder) / "top-5000-0000000000000001.vtxreplay";
    WriteFile(damaged, std::span(oldBytes.data(), 12));

    const std::array<TableReplayFile, HiScoreCount> files = TableReplayFiles();
    ASSERT_FALSE(files[0].Path.empty());
    EXPECT_TRUE(ReadReplay(FileBytes(files[0].Path)).Read);
    EXPECT_FALSE(files[0].OtherFormat);
    EXPECT_EQ(files[1].Path, old.string());
    EXPECT_TRUE(files[1].OtherFormat);
    for (int row = 2; row < HiScoreCount; ++row)
        EXPECT_TRUE(files[row].Path.empty()) << row;

    ForgetReplaysOffTheTable();
    EXPECT_EQ(FileBytes(old), oldBytes);
    EXPECT_FALSE(fs::exists(gone));
    EXPECT_TRUE(fs::exists(files[0].Path));
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
