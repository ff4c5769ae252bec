// The running game. Filled in by the game itself; the shell only creates it and runs its frames.
#pragma once

#include "platform/Surface.h"

#include <cstdint>
#include <memory>

inline constexpr uint8_t PhasePlay = 1;

struct TGame {
    uint8_t Phase = 0;
    void RunFrame(Surface& target);
};

extern std::unique_ptr<TGame> CurrentGame;
