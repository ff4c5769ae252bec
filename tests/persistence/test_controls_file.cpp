#include "persistence/ControlsFile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <unistd.h>

namespace {

constexpr uint8_t KeyZ = 0x2C;

class ControlsFile : public ::testing::Test {
  protected:
    void SetUp() override { std::filesystem::create_directories(folder); }
    void TearDown() override { std::filesystem::remove_all(folder); }
    void Write(const std::string& bytes) { std::ofstream(path, std::ios::binary) << bytes; }

    std::filesystem::path folder =
        std::filesystem::temp_directory_path() / ("controls-test-" + std::to_string(::getpid()));
    std::string path = (folder / "Controls.cfg").string();
};

// The table as the game would write it again: it reads back to itself.
bool IsWellFormed(const ControlBindings& bindings) {
    const auto again = DecodeControlBindings(EncodeControlBindings(bindings));
    return again && *again == bindings;
}

} // namespace

TEST_F(ControlsFile, RemappedControlsRoundTripThroughTheFile) {
    ControlBindings bindings = DefaultControlBindings();
    ASSERT_TRUE(PlaceKey(bindings, GameControl::Fire, 1, KeyZ));
    PlacePadButton(bindings, GameControl::Fire, 1, PadButton::RightShoulder);
    bindings.PadDeadZone = 12000;
    ASSERT_TRUE(SaveControlBindings(bindings, path));
    std::string notice;
    EXPECT_EQ(LoadControlBindings(path, notice), bindings);
    EXPECT_EQ(notice, "");

    std::filesystem::remove(path);
    EXPECT_EQ(LoadControlBindings(path, notice), DefaultControlBindings());
    EXPECT_EQ(notice, "") << "a first start has no file and nothing to say";
}

TEST_F(ControlsFile, ADamagedFileGivesTheDefaultsWithOneNotice) {
    const std::string good = EncodeControlBindings(DefaultControlBindings());
    auto replaced = [&](const std::string& from, const std::string& to) {
        std::string text = good;
        text.replace(text.find(from), from.size(), to);
        return text;
    };
    std::mt19937 draw(300);
    std::string noise(300, '\0');
    for (char& c : noise)
        c = static_cast<char>(draw());
    const std::pair<const char*, std::string> cases[] = {
        {"300 random bytes", noise},
        {"cut in the middle", good.substr(0, good.size() / 2)},
        {"a key used twice", replaced("left 203", "left 57")},
        {"Escape moved to fire", replaced("fire 29", "fire 1")},
        {"Escape taken from the quit question", replaced("quit 1", "quit 44")},
        {"a control without a key", replaced("left 203 0", "left 0 0")},
        {"a key number past 255", replaced("left 203", "left 300")},
        {"an unknown pad button", replaced("25 0 start", "25 0 select")},
        {"a pad button used twice", replaced("1 0 back", "1 0 start")},
        {"a control given twice", good + "left 44 0 none none\n"},
        {"an unknown word", good + "jump 44 0 none none\n"},
        {"a dead zone out of range", replaced("deadzone 8000", "deadzone 40000")},
        {"far too long", good + std::string(5000, '#')},
    };
    for (const auto& [what, bytes] : cases) {
        SCOPED_TRACE(what);
        Write(bytes);
        std::string notice;
        EXPECT_EQ(LoadControlBindings(path, notice), DefaultControlBindings());
        EXPECT_EQ(notice, path + " is damaged; the default controls are in force.");
    }
}

// Whatever a player does on the remapping screen, the table stays one the game can write and read.
TEST(ControlBindingsTable, AnySequenceOfChangesKeepsOneControlPerKey) {
    std::mt19937 draw(25);
    ControlBindings bindings = DefaultControlBindings();
    for (int step = 0; step < 5000; ++step) {
        const auto control = static_cast<GameControl>(draw() % GameControlCount);
        const size_t slot = draw() % SlotsPerControl;
        switch (draw() % 4) {
        case 0:
            PlaceKey(bindings, control, slot, static_cast<uint8_t>(draw() % 12)); // few keys: many clashes
            break;
        case 1:
            ClearKey(bindings, control, slot);
            break;
        case 2:
            PlacePadButton(bindings, control, slot, static_cast<PadButton>(draw() % PadButtonCount));
            break;
        default:
            ClearPadButton(bindings, control, slot);
            break;
        }
        ASSERT_TRUE(IsWellFormed(bindings)) << "after step " << step << ":\n"
                                            << EncodeControlBindings(bindings);
    }
}
