// The program-wide values of the game, declared here and nowhere else, and their reset.
#pragma once

#include <memory>

struct TGame;

// The running game, or empty outside a game (see TGame.h).
extern std::unique_ptr<TGame> CurrentGame;

// Back to the values at program start: no game.
void ResetGameState();
