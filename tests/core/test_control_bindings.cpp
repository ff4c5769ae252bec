// The controls table's rules: a key in use is swapped, never doubled; Escape stays the quit question's.
#include "core/ControlBindings.h"

#include <gtest/gtest.h>

namespace {
constexpr uint8_t KeyLeftArrow = 0xCB, KeyLeftCtrl = 0x1D, KeyA = 0x1E;
} // namespace

TEST(ControlBindingsTable, AKeyInUseIsSwappedNeverDoubled) {
    ControlBindings bindings = DefaultControlBindings();
    ASSERT_TRUE(PlaceKey(bindings, GameControl::Left, 0, KeyLeftCtrl));
    EXPECT_EQ(bindings[GameControl::Left].Keys[0], KeyLeftCtrl);
    EXPECT_EQ(bindings[GameControl::Fire].Keys[0], KeyLeftArrow) << "fire took left's old key";

    // An empty slot has nothing to give back: special's only key stays with special.
    const ControlBindings before = bindings;
    EXPECT_FALSE(PlaceKey(bindings, GameControl::Up, 1, 0x39));
    EXPECT_EQ(bindings, before);
    // Escape stays the quit question's first key and goes nowhere else.
    EXPECT_FALSE(PlaceKey(bindings, GameControl::Fire, 1, EscapeScanCode));
    EXPECT_FALSE(PlaceKey(bindings, GameControl::QuitQuestion, 0, KeyA));
    EXPECT_FALSE(ClearKey(bindings, GameControl::QuitQuestion, 0));
    // A control keeps at least one key.
    EXPECT_FALSE(ClearKey(bindings, GameControl::Up, 0));
    EXPECT_TRUE(ClearKey(bindings, GameControl::Fire, 1));
    EXPECT_EQ(bindings, [&] {
        ControlBindings expected = before;
        expected[GameControl::Fire].Keys[1] = 0;
        return expected;
    }());
}
