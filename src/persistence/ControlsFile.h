// Controls.cfg beside Config.cfg (which keeps its own bytes): the player's keys and pad buttons as a
// commented text a Linux user can read.
#pragma once

#include "core/ControlBindings.h"

#include <array>
#include <optional>
#include <string>
#include <string_view>

inline constexpr const char* ControlsPath = "Controls.cfg";

// The words Controls.cfg names the controls by.
inline constexpr std::array<std::string_view, GameControlCount> GameControlWords = {
    "left", "right", "up", "down", "fire", "special", "pause", "quit"};

// The file's text, and the bindings it holds: none when anything in it is not what the game writes
// (an unknown word, a key twice, a control without a key, Escape moved, a dead zone out of range).
std::string EncodeControlBindings(const ControlBindings& bindings);
std::optional<ControlBindings> DecodeControlBindings(std::string_view text);

// Start-up: a missing file gives the defaults; an unreadable or damaged one gives the defaults and one
// sentence in `notice` (the file is left as it is until the next save).
ControlBindings LoadControlBindings(const std::string& path, std::string& notice);
// Written whole and atomically, like Config.cfg; false (with one line on stderr) when it cannot be.
bool SaveControlBindings(const ControlBindings& bindings, const std::string& path);
