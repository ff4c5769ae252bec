#include "Game/GameState.h"

#include "Game/TGame.h"

void ResetGameState() {
    CurrentGame.reset();
}
