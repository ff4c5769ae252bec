// The player's keys and pad buttons for the game's controls, kept in Controls.cfg beside Config.cfg
// (which keeps its own bytes). Keys are stored by their place on the keyboard (the key table's scan
// codes), so a French or German layout plays the same; pad buttons by the pad's own buttons.
#pragma once

#include "core/PadButton.h"
#include "core/ScanCode.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

inline constexpr const char* ControlsPath = "Controls.cfg";

enum class GameControl : uint8_t { Left, Right, Up, Down, Fire, Special, Pause, QuitQuestion };
inline constexpr size_t GameControlCount = 8;
// The words Controls.cfg names the controls by.
inline constexpr std::array<std::string_view, GameControlCount> GameControlWords = {
    "left", "right", "up", "down", "fire", "special", "pause", "quit"};

inline constexpr size_t SlotsPerControl = 2;
inline constexpr uint8_t NoKey = 0;
// The quit question always keeps Escape as its first key, and Escape drives nothing else.
inline constexpr uint8_t EscapeScanCode = ScanEscape;
// How far a stick must lean (of 32767) before it counts.
inline constexpr uint16_t DefaultPadDeadZone = 8000;
inline constexpr uint16_t MaxPadDeadZone = 30000;

struct ControlBinding {
    std::array<uint8_t, SlotsPerControl> Keys{};                        // scan codes, NoKey for none
    std::array<std::optional<PadButton>, SlotsPerControl> PadButtons{}; // none when empty
    bool operator==(const ControlBinding&) const = default;
};

struct ControlBindings {
    std::array<ControlBinding, GameControlCount> Controls{};
    uint16_t PadDeadZone = DefaultPadDeadZone;
    bool operator==(const ControlBindings&) const = default;

    ControlBinding& operator[](GameControl control) { return Controls[static_cast<size_t>(control)]; }
    const ControlBinding& operator[](GameControl control) const {
        return Controls[static_cast<size_t>(control)];
    }
};

ControlBindings DefaultControlBindings();

// Where a key or a pad button is in use.
struct BindingPlace {
    GameControl Control;
    size_t Slot;
};
std::optional<BindingPlace> FindKey(const ControlBindings& bindings, uint8_t scanCode);
std::optional<BindingPlace> FindPadButton(const ControlBindings& bindings, PadButton button);

// Whether the key may be given to that slot: Escape stays where it is and goes nowhere else.
bool KeyMayGo(GameControl control, size_t slot, uint8_t scanCode);
// Gives the key (or the pad button) to the slot. Where another slot holds it already, that slot gets
// what this slot held (a swap), so one key never drives two controls. False, and nothing changed,
// when the key may not go there.
bool PlaceKey(ControlBindings& bindings, GameControl control, size_t slot, uint8_t scanCode);
void PlacePadButton(ControlBindings& bindings, GameControl control, size_t slot, PadButton button);
// Empties a slot; refused (false) when the control would be left without a key, or for Escape.
bool ClearKey(ControlBindings& bindings, GameControl control, size_t slot);
void ClearPadButton(ControlBindings& bindings, GameControl control, size_t slot);

// The file's text, and the bindings it holds: none when anything in it is not what the game writes
// (an unknown word, a key twice, a control without a key, Escape moved, a dead zone out of range).
std::string EncodeControlBindings(const ControlBindings& bindings);
std::optional<ControlBindings> DecodeControlBindings(std::string_view text);

// Start-up: a missing file gives the defaults; an unreadable or damaged one gives the defaults and one
// sentence in `notice` (the file is left as it is until the next save).
ControlBindings LoadControlBindings(const std::string& path, std::string& notice);
// Written whole and atomically, like Config.cfg; false (with one line on stderr) when it cannot be.
bool SaveControlBindings(const ControlBindings& bindings, const std::string& path);
