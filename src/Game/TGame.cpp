#include "Game/TGame.h"

std::unique_ptr<TGame> CurrentGame;

void TGame::RunFrame(Surface&) {}
