// The pad buttons the game knows, in the order of their names in Controls.cfg, and what each kind of
// pad prints on them.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

enum class PadButton : uint8_t {
    A,
    B,
    X,
    Y,
    Back,
    Start,
    LeftShoulder,
    RightShoulder,
    Up,
    Down,
    Left,
    Right,
    LeftTrigger, // the triggers count as pressed past a quarter of their travel
    RightTrigger,
};
inline constexpr size_t PadButtonCount = 14;

// The words Controls.cfg names the buttons by.
inline constexpr std::array<std::string_view, PadButtonCount> PadButtonWords = {
    "a",  "b",    "x",    "y",     "back",        "start",       "leftshoulder", "rightshoulder",
    "up", "down", "left", "right", "lefttrigger", "righttrigger"};

// How a pad labels its buttons: the common layout (A, B, X, Y, as the library's own names), the
// PlayStation's shapes, or Nintendo's (the library gives Nintendo's buttons by their labels).
enum class PadLabels : uint8_t { Common, PlayStation, Nintendo };
inline constexpr size_t PadLabelsCount = 3;

inline constexpr std::array<std::array<std::string_view, PadButtonCount>, PadLabelsCount> PadButtonNames = {{
    {"A", "B", "X", "Y", "Back", "Start", "LB", "RB", "D-pad up", "D-pad down", "D-pad left", "D-pad right",
     "LT", "RT"},
    {"Cross", "Circle", "Square", "Triangle", "Share", "Options", "L1", "R1", "D-pad up", "D-pad down",
     "D-pad left", "D-pad right", "L2", "R2"},
    {"A", "B", "X", "Y", "-", "+", "L", "R", "D-pad up", "D-pad down", "D-pad left", "D-pad right", "ZL",
     "ZR"},
}};

constexpr std::string_view PadButtonName(PadButton button, PadLabels labels) {
    return PadButtonNames.at(static_cast<size_t>(labels)).at(static_cast<size_t>(button));
}
