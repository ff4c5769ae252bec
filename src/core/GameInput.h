// Everything a game frame reads from outside the game: the frame's time, the six controls as the ship
// reads them (whether they came from keys, the mouse or a pad) and the player's giving up (the quit
// question's "Yes"). A game is a function of where it started and of these, frame by frame, which is
// what a replay records.
#pragma once

#include <cstdint>

// Every game frame is this much game time, whatever the display or the machine.
inline constexpr uint32_t GameFrameMs = 6;

enum GameControlBit : uint8_t {
    ControlLeft = 1,
    ControlRight = 2,
    ControlUp = 4,
    ControlDown = 8,
    ControlFire = 16,
    ControlSpecial = 32,
    // Not a control of the ship: the player gave up, and the game goes on to its game-over.
    ControlGiveUp = 64,
};
// The ship's six controls.
inline constexpr uint8_t AllControls = 63;
// Every bit a frame's input may hold.
inline constexpr uint8_t AllFrameInputBits = AllControls | ControlGiveUp;

struct GameFrameInput {
    uint32_t Tick = 0;    // the frame's time: every clock reading of the frame
    uint8_t Controls = 0; // GameControlBit bits
};
