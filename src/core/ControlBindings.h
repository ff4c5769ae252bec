// The player's keys and pad buttons for the game's controls. Keys are held by their place on the
// keyboard (the key table's scan codes), so a French or German layout plays the same; pad buttons by
// the pad's own buttons. The input reads them, the controls screen changes them, Controls.cfg keeps
// them (persistence/ControlsFile.h).
#pragma once

#include "core/GameInput.h"
#include "core/PadButton.h"
#include "core/ScanCode.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>

// The first six are the ones a game frame reads, in the order of their GameControlBit bits.
enum class GameControl : uint8_t { Left, Right, Up, Down, Fire, Special, Pause, QuitQuestion };
inline constexpr size_t GameControlCount = 8;
inline constexpr size_t FrameControlCount = 6;

constexpr uint8_t ControlBitOf(GameControl control) {
    return static_cast<uint8_t>(1u << static_cast<unsigned>(control));
}
static_assert(ControlBitOf(GameControl::Left) == ControlLeft && ControlBitOf(GameControl::Up) == ControlUp &&
              ControlBitOf(GameControl::Fire) == ControlFire &&
              ControlBitOf(GameControl::Special) == ControlSpecial);

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

// What the changes above always keep: each control has a key, no key or pad button is used twice,
// Escape is the quit question's first key and nothing else's, and the dead zone is in range.
bool FollowsTheRules(const ControlBindings& bindings);
