// The controls screen, reached from the options screen's "Controls" row: the game's eight controls
// with two keys and two pad buttons each, the stick's dead zone, "Defaults" and Back. A key or button
// that another control holds is offered as a swap, never doubled; every change is saved at once.
#pragma once

#include "core/ControlBindings.h"

#include <cstdint>
#include <optional>
#include <string>

// What the screen waits for: nothing (the player moves about), a key or a pad button for the chosen box,
// or the answer to its question (take a key or button in use? give back the first start's table?).
enum class ControlsWait : uint8_t { Nothing, Key, PadButton, SwapAnswer, DefaultsAnswer };

// The rows below the eight controls.
inline constexpr int8_t DeadZoneRow = 8;
inline constexpr int8_t ButtonsRow = 9;
// The columns of a control's row: its two keys, then its two pad buttons.
inline constexpr int8_t FirstPadColumn = 2;
inline constexpr int8_t ColumnCount = 4;
// Each step of the dead zone on the screen, of the stick's 32767.
inline constexpr uint16_t DeadZoneStep = 1000;

// Where the controls screen stands; kept between visits, as the menus keep their selections.
struct ControlsCursor {
    int8_t Row = 0;    // a control (GameControl), the dead zone's row or the buttons' row
    int8_t Column = 0; // on the buttons' row, the key columns mean "Defaults" and the pad columns Back
    ControlsWait Waiting = ControlsWait::Nothing;
    // While a swap is asked about: the key or the pad button pressed for the selected slot.
    uint8_t OfferedKey = NoKey;
    std::optional<PadButton> OfferedButton;
    // Why the last choice was refused, shown until the next one.
    std::string Refusal;
    // The pointer where the screen opened: it chooses boxes only once it has moved from there, so the
    // click that opened the screen chooses nothing on it.
    int32_t OpenedAtX = 0;
    int32_t OpenedAtY = 0;
    bool PointerMoved = false;
};

// From the options screen: the screen opens waiting for nothing, where the cursor was left.
void OpenControlsScreen();
// Back to a first start: the first box chosen, nothing waited for (with the shell's reset).
void ResetControlsCursor();
