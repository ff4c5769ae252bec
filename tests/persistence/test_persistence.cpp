#include "persistence/ConfigFile.h"
#include "persistence/HiScores.h"
#include "persistence/Options.h"
#include "persistence/StoredValues.h"

#include "ReadOnlyFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

// Every test works in a fresh folder of its own, which is also the current folder (SaveConfig saves to
// "Config.cfg" there by default), and starts from the in-memory defaults.
class ConfigFileTest : public testing::Test {
  protected:
    void SetUp() override {
        static std::atomic<int> counter{0};
        previousFolder = fs::current_path();
        folder = fs::temp_directory_path() /
                 ("vantorix-config-" + std::to_string(::getpid()) + "-" + std::to_string(counter++));
        fs::remove_all(folder);
        fs::create_directories(folder);
        fs::current_path(folder);
        Options = TOptions{};
        ResetHighScores();
    }
    void TearDown() override {
        EndWindowModeOverride();
        SetBossKeyCheck(nullptr);
        Options = TOptions{};
        ResetHighScores();
        fs::current_path(previousFolder);
        std::error_code ignored;
        fs::remove_all(folder, ignored);
    }

    std::string ConfigFile() const { return (folder / ConfigPath).string(); }

    std::string FileBytes() const {
        std::ifstream in(ConfigFile(), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

    void WriteFile(const std::string& bytes) const {
        std::ofstream out(ConfigFile(), std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    }

    // Loads and returns what LoadConfig said on stderr.
    std::string LoadReportingErrors() const {
        testing::internal::CaptureStderr();
        LoadConfig(ConfigFile());
        return testing::internal::GetCapturedStderr();
    }

    fs::path folder;
    fs::path previousFolder;
};

std::string Inverted(const std::string& text) {
    std::string out;
    for (char c : text)
        out.push_back(static_cast<char>(~static_cast<unsigned char>(c)));
    return out;
}

std::string LittleEndian(int32_t value) {
    std::string out;
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<char>((static_cast<uint32_t>(value) >> (8 * i)) & 0xFF));
    return out;
}

size_t CountLines(const std::string& text) {
    return static_cast<size_t>(std::count(text.begin(), text.end(), '\n'));
}

void ExpectDefaultTable() {
    for (int i = 0; i < HiScoreCount; ++i) {
        EXPECT_EQ(HiScoreTable[i].Name, "Anonymous");
        EXPECT_EQ(HiScoreTable[i].Score, 1000 - 100 * i);
    }
}

} // namespace

TEST_F(ConfigFileTest, FirstStartWritesTheDefaultFileAndReadsItBack) {
    LoadConfig(ConfigFile());

    std::string expected("\x01\x01\x01\x7B\x00", 5);
    for (int i = 0; i < HiScoreCount; ++i)
        expected += "\x09" + Inverted("Anonymous") + LittleEndian(1000 - 100 * i);
    ASSERT_EQ(FileBytes().size(), 145u);
    EXPECT_EQ(FileBytes(), expected);

    Options = TOptions{false, false, false, 1, "x"};
    HiScoreTable[0].Score = 5;
    LoadConfig(ConfigFile());
    EXPECT_TRUE(Options.Windowed);
    EXPECT_TRUE(Options.SoundEnabled);
    EXPECT_TRUE(Options.MusicEnabled);
    EXPECT_EQ(Options.MinimizeKey, 123);
    EXPECT_EQ(Options.Country, "");
    ExpectDefaultTable();
}

TEST_F(ConfigFileTest, WindowModeOfTheCommandLineIsNotSavedUntilThePlayerSwitches) {
    Options.Windowed = false;
    ASSERT_TRUE(SaveConfig(ConfigFile()));
    LoadConfig(ConfigFile());
    OverrideWindowModeForThisRun(true);
    EXPECT_TRUE(Options.Windowed);
    ASSERT_TRUE(SaveConfig(ConfigFile()));
    EXPECT_EQ(FileBytes()[0], 0) << "the file keeps full screen";

    EndWindowModeOverride(); // the player switched in the game
    ASSERT_TRUE(SaveConfig(ConfigFile()));
    EXPECT_EQ(FileBytes()[0], 1);
}

TEST_F(ConfigFileTest, RoundTripKeepsEveryValueAndStoresMusicBeforeSound) {
    const std::string longCountry = "Qqqqqqqqqq";
    Options = TOptions{false, false, true, 0x17A, longCountry};
    for (int i = 0; i < HiScoreCount; ++i)
        HiScoreTable[i] = THiScores{"NxY" + std::string(1, static_cast<char>('a' + i)), 50000 - 7 * i};
    HiScoreTable[9].Score = -3;
    ASSERT_TRUE(SaveConfig(ConfigFile()));

    const std::string bytes = FileBytes();
    EXPECT_EQ(bytes.substr(0, 4), std::string("\x00\x01\x00\x7A", 4)); // windowed, music, sound, low key byte
    Options = TOptions{};
    ResetHighScores();
    LoadConfig(ConfigFile());
    EXPECT_FALSE(Options.Windowed);
    EXPECT_FALSE(Options.SoundEnabled);
    EXPECT_TRUE(Options.MusicEnabled);
    EXPECT_EQ(Options.MinimizeKey, 0x7A); // only the low byte of a key code above 255 is kept
    EXPECT_EQ(Options.Country, longCountry);
    for (int i = 0; i < HiScoreCount - 1; ++i) {
        EXPECT_EQ(HiScoreTable[i].Name, "NxY" + std::string(1, static_cast<char>('a' + i)));
        EXPECT_EQ(HiScoreTable[i].Score, 50000 - 7 * i);
    }
    EXPECT_EQ(HiScoreTable[9].Score, -3);
}

TEST_F(ConfigFileTest, StringLongerThan255IsCutSoTheFieldsAfterItStayInPlace) {
    Options.Country = std::string(300, 'c');
    HiScoreTable[0].Name = "Beam";
    ASSERT_TRUE(SaveConfig(ConfigFile()));
    EXPECT_EQ(FileBytes().substr(4, 2), "\xFF" + Inverted("c"));
    LoadConfig(ConfigFile());
    EXPECT_EQ(Options.Country, ""); // longer than a text field holds
    EXPECT_EQ(HiScoreTable[0].Name, "Beam");
    EXPECT_EQ(HiScoreTable[0].Score, 1000);
}

TEST_F(ConfigFileTest, ShortFilesKeepDefaultsForWhatIsMissing) {
    struct Case {
        std::string bytes;
        bool windowed, music, sound;
        int32_t key;
        std::string country;
        bool reported;
    };
    const Case cases[] = {
        {std::string("\x00", 1), false, true, true, 123, "", true},
        {"\x02", true, true, true, 123, "", true}, // neither 0 nor 1: the default
        {std::string("\x01\x02\xFF\x41", 4), true, true, true, 0x41, "", true},
        {std::string("\x01\x01\x00\x41\x05", 5) + Inverted("Fr"), true, true, false, 0x41, "", true},
        {std::string("\x01\x01\x00\x41\x02", 5) + Inverted("Fr"), true, true, false, 0x41, "Fr", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.bytes));
        Options = TOptions{};
        WriteFile(c.bytes);
        const std::string errors = LoadReportingErrors();
        EXPECT_EQ(Options.Windowed, c.windowed);
        EXPECT_EQ(Options.MusicEnabled, c.music);
        EXPECT_EQ(Options.SoundEnabled, c.sound);
        EXPECT_EQ(Options.MinimizeKey, c.key);
        EXPECT_EQ(Options.Country, c.country);
        ExpectDefaultTable();
        EXPECT_EQ(CountLines(errors), 1u) << errors;
        EXPECT_NE(errors.find("Config.cfg"), std::string::npos);
        EXPECT_EQ(FileBytes(), c.bytes); // left alone until the next regular save
    }
}

TEST_F(ConfigFileTest, TrailingBytesAreNeverRead) {
    Options.Windowed = false;
    ASSERT_TRUE(SaveConfig(ConfigFile()));
    WriteFile(FileBytes() + "trailing bytes are never read");
    Options = TOptions{};
    EXPECT_EQ(LoadReportingErrors(), "");
    EXPECT_FALSE(Options.Windowed);
}

// A value the game never writes falls back to its own default; everything else of the file is kept,
// and the load says in one line what was replaced.
TEST_F(ConfigFileTest, ValuesTheGameNeverWritesFallBackToTheirDefaults) {
    SetBossKeyCheck([](int32_t key) { return key == 123 || key == 'P'; });
    Options = TOptions{false, false, false, 'P', "Peru"};
    for (int i = 0; i < HiScoreCount; ++i)
        HiScoreTable[i] = THiScores{"Ace", 5000 - i};
    ASSERT_TRUE(SaveConfig(ConfigFile()));
    const std::string sound = FileBytes();
    const size_t firstName = 4 + 5; // after the flags, the key and "Peru"
    struct Case {
        const char* what;
        std::string bytes;
        const char* told;
    };
    const auto withName = [&](const std::string& name) {
        return sound.substr(0, firstName) + static_cast<char>(name.size()) + Inverted(name) +
               sound.substr(firstName + 4);
    };
    const Case cases[] = {
        {"window mode 2", "\x02" + sound.substr(1), "the window mode"},
        {"music 0xFF", sound.substr(0, 1) + "\xFF" + sound.substr(2), "the music setting"},
        {"sound 7", sound.substr(0, 2) + "\x07" + sound.substr(3), "the sound setting"},
        {"boss key F13", sound.substr(0, 3) + "\x7C" + sound.substr(4), "the boss key"},
        {"country with a digit", sound.substr(0, 4) + "\x04" + Inverted("Pe1u") + sound.substr(9),
         "the country"},
        {"country of eleven letters", sound.substr(0, 4) + "\x0B" + Inverted("Abcdefghijk") + sound.substr(9),
         "the country"},
        {"empty name", withName(""), "1 name"},
        {"name with a control byte", withName("A\x01\xFF"), "1 name"},
        {"name of eleven letters", withName("Abcdefghijk"), "1 name"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        WriteFile(c.bytes);
        const std::string told = LoadReportingErrors();
        EXPECT_EQ(CountLines(told), 1u) << told;
        EXPECT_NE(told.find(c.told), std::string::npos) << told;
        const TOptions defaults;
        const std::string what = c.told;
        EXPECT_EQ(Options.Windowed, what == "the window mode" ? defaults.Windowed : false);
        EXPECT_EQ(Options.MusicEnabled, what == "the music setting" ? defaults.MusicEnabled : false);
        EXPECT_EQ(Options.SoundEnabled, what == "the sound setting" ? defaults.SoundEnabled : false);
        EXPECT_EQ(Options.MinimizeKey, what == "the boss key" ? defaults.MinimizeKey : 'P');
        EXPECT_EQ(Options.Country, what == "the country" ? defaults.Country : "Peru");
        EXPECT_EQ(HiScoreTable[0].Name, what == "1 name" ? "Anonymous" : "Ace");
        EXPECT_EQ(HiScoreTable[0].Score, 5000); // the score of a damaged name stays
        EXPECT_EQ(HiScoreTable[9].Name, "Ace");
        EXPECT_EQ(FileBytes(), c.bytes); // left alone until the next regular save
    }
}

// Random bytes never give the game a value it could not have written, and say so in one line.
TEST_F(ConfigFileTest, RandomBytesLoadOnlyValuesTheGameCouldWrite) {
    SetBossKeyCheck([](int32_t key) { return key == 123 || (key >= 'A' && key <= 'Z'); });
    uint32_t seed = 2026;
    for (int file = 0; file < 200; ++file) {
        std::string bytes(300, '\0');
        for (char& byte : bytes) {
            seed = seed * 1103515245u + 12345u;
            byte = static_cast<char>(seed >> 24);
        }
        bytes[4] = static_cast<char>(static_cast<uint8_t>(bytes[4]) % 16); // a country short enough to
        WriteFile(bytes);                                                  // leave room for names
        const std::string told = LoadReportingErrors();
        SCOPED_TRACE(told);
        EXPECT_LE(CountLines(told), 1u);
        EXPECT_TRUE(StoredBossKeyIsSound(Options.MinimizeKey));
        EXPECT_TRUE(StoredTextIsSound(Options.Country, true));
        for (const THiScores& entry : HiScoreTable)
            EXPECT_TRUE(StoredTextIsSound(entry.Name, false)) << testing::PrintToString(entry.Name);
    }
}

TEST_F(ConfigFileTest, TruncatedTableKeepsReadEntriesAndDefaultsAfterThemWithoutRewriting) {
    for (int i = 0; i < HiScoreCount; ++i)
        HiScoreTable[i] = THiScores{"P" + std::string(1, static_cast<char>('a' + i)), 9000 - 100 * i};
    Options.MinimizeKey = 80;
    ASSERT_TRUE(SaveConfig(ConfigFile()));
    // Options take 5 bytes, each entry 1 + 2 + 4: cut in the middle of the fourth entry's score.
    const std::string truncated = FileBytes().substr(0, 5 + 3 * 7 + 5);
    WriteFile(truncated);
    const auto writtenAt = fs::last_write_time(ConfigFile());
    Options = TOptions{};
    ResetHighScores();

    const std::string errors = LoadReportingErrors();
    EXPECT_EQ(Options.MinimizeKey, 80);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(HiScoreTable[i].Name, "P" + std::string(1, static_cast<char>('a' + i)));
    for (int i = 3; i < HiScoreCount; ++i) {
        EXPECT_EQ(HiScoreTable[i].Name, "Anonymous");
        EXPECT_EQ(HiScoreTable[i].Score, 1000 - 100 * i);
    }
    EXPECT_EQ(CountLines(errors), 1u) << errors;
    EXPECT_EQ(FileBytes(), truncated);
    EXPECT_EQ(fs::last_write_time(ConfigFile()), writtenAt);
}

TEST_F(ConfigFileTest, UnreadableFileStartsWithDefaultsAndIsLeftAlone) {
    fs::create_directory(ConfigFile()); // opens, but cannot be read as a file
    Options.Windowed = false;
    const std::string errors = LoadReportingErrors();
    EXPECT_TRUE(Options.Windowed);
    ExpectDefaultTable();
    EXPECT_EQ(CountLines(errors), 1u) << errors;
    EXPECT_TRUE(fs::is_directory(ConfigFile()));
}

TEST_F(ConfigFileTest, FailedSaveSaysSoAndLeavesNoTemporaryFile) {
    fs::create_directories(fs::path(ConfigFile()) / "in-the-way");
    testing::internal::CaptureStderr();
    EXPECT_FALSE(SaveConfig(ConfigFile()));
    const std::string errors = testing::internal::GetCapturedStderr();
    EXPECT_EQ(CountLines(errors), 1u) << errors;
    EXPECT_NE(errors.find("could not be saved"), std::string::npos);
    EXPECT_TRUE(fs::exists(fs::path(ConfigFile()) / "in-the-way"));
    int entries = 0;
    for ([[maybe_unused]] const auto& entry : fs::directory_iterator(folder))
        ++entries;
    EXPECT_EQ(entries, 1);
}

TEST_F(ConfigFileTest, SaveInAReadOnlyFolderFailsAndSaysWhatIsLeft) {
    for (const bool hadFile : {false, true}) {
        SCOPED_TRACE(hadFile ? "a file from before" : "a first start");
        fs::remove(ConfigFile());
        if (hadFile) WriteFile("old bytes");
        StderrPipe stderrPipe;
        bool saved = true;
        {
            ReadOnlyFolder readOnly(folder);
            InsertHiScore("Ann", 999999);
            saved = SaveConfig();
        }
        const std::string errors = stderrPipe.Take();
        EXPECT_FALSE(saved);
        EXPECT_EQ(CountLines(errors), 1u) << errors;
        EXPECT_EQ(errors.find("previous file is kept") != std::string::npos, hadFile) << errors;
        EXPECT_EQ(fs::exists(ConfigFile()), hadFile);
        if (hadFile) {
            EXPECT_EQ(FileBytes(), "old bytes");
        }
        EXPECT_EQ(HiScoreTable[0].Name, "Ann"); // the table in memory keeps the score
    }
}

TEST_F(ConfigFileTest, SaveReplacesALongerFileWhole) {
    WriteFile(std::string(3000, '\x01'));
    Options.Country = "Peru";
    ASSERT_TRUE(SaveConfig(ConfigFile()));
    EXPECT_EQ(FileBytes().size(), 149u);
    EXPECT_EQ(FileBytes().substr(4, 5), "\x04" + Inverted("Peru"));
}

TEST_F(ConfigFileTest, HighScoreInsertionFollowsTheBubbleRule) {
    struct Case {
        int32_t score;
        bool enters;
        int place; // 1-based, 0 when it does not enter
    };
    const Case cases[] = {{100, false, 0}, {101, true, 10}, {500, true, 7}, {100000, true, 1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.score);
        ResetHighScores();
        EXPECT_EQ(ScoreEntersTable(c.score), c.enters);
        if (!c.enters) continue;
        InsertHiScore("Beam", c.score);
        for (int i = 0; i < HiScoreCount; ++i) {
            const bool isNew = i + 1 == c.place;
            EXPECT_EQ(HiScoreTable[i].Name, isNew ? "Beam" : "Anonymous") << "place " << i + 1;
            if (i > 0) {
                EXPECT_GE(HiScoreTable[i - 1].Score, HiScoreTable[i].Score);
            }
        }
        EXPECT_EQ(HiScoreTable[c.place - 1].Score, c.score);
        for (const THiScores& entry : HiScoreTable)
            EXPECT_NE(entry.Score, 100); // the old tenth is gone
        // Saved, the inserted entry is in the file.
        ASSERT_TRUE(SaveConfig());
        const auto inFile = FileBytes().find("\x04" + Inverted("Beam") + LittleEndian(c.score));
        EXPECT_NE(inFile, std::string::npos);
    }
}
namespace {

// A process id that no process has any more: a child that has already ended and been reaped.
pid_t EndedProcess() {
    const pid_t child = fork();
    if (child == 0) _exit(0);
    waitpid(child, nullptr, 0);
    return child;
}

} // namespace

TEST_F(ConfigFileTest, StartRemovesOnlyTheTemporariesNoRunningCopyIsWriting) {
    // A running copy of the game: a child that waits until it is told to end.
    const pid_t running = fork();
    if (running == 0) {
        pause();
        _exit(0);
    }
    const pid_t ended = EndedProcess();
    const std::string dead = std::to_string(ended);
    struct Case {
        std::string name;
        bool removed;
    };
    const Case cases[] = {
        {"Config.cfg." + dead + ".tmp", true},                        // a save killed midway
        {"Config.cfg." + std::to_string(running) + ".tmp", false},    // another copy saving now
        {"Config.cfg." + std::to_string(::getpid()) + ".tmp", false}, // this process's own
        {"Config.cfg.tmp", false},                                    // not a name the game writes
        {"Config.cfg." + dead + "x.tmp", false},
        {"Other.cfg." + dead + ".tmp", false},
    };
    ASSERT_TRUE(SaveConfig(ConfigFile())); // a start that finds a file does not save
    for (const Case& c : cases)
        std::ofstream(folder / c.name) << "partial";
    // A writer that holds the lock keeps its file even when its name's process is gone.
    const fs::path locked = folder / ("Config.cfg." + std::to_string(EndedProcess()) + ".tmp");
    std::ofstream(locked) << "being written";
    const int lockHolder = ::open(locked.c_str(), O_RDONLY);
    ASSERT_EQ(::flock(lockHolder, LOCK_EX), 0);

    LoadConfig(ConfigFile());
    for (const Case& c : cases)
        EXPECT_EQ(fs::exists(folder / c.name), !c.removed) << c.name;
    EXPECT_TRUE(fs::exists(locked));
    EXPECT_TRUE(fs::exists(ConfigFile()));
    ::close(lockHolder);
    kill(running, SIGTERM);
    waitpid(running, nullptr, 0);
}
