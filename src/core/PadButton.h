// The pad buttons the game knows, in the order of their names in Controls.cfg.
#pragma once

#include <array>
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
};
inline constexpr size_t PadButtonCount = 12;

// The words Controls.cfg names the buttons by.
inline constexpr std::array<std::string_view, PadButtonCount> PadButtonWords = {
    "a", "b", "x", "y", "back", "start", "leftshoulder", "rightshoulder", "up", "down", "left", "right"};
