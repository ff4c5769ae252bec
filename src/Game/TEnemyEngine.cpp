#include "Game/TEnemyEngine.h"

#include "Game/TAsteroid.h"
#include "Game/TBaseBoss.h"
#include "Game/TBonus.h"
#include "Game/TEnemyShip.h"
#include "Game/TGame.h"

TEnemyEngine::TEnemyEngine() = default;
TEnemyEngine::~TEnemyEngine() = default;

void TEnemyEngine::Update(Surface& target) {
    for (auto& ship : Ships)
        if (ship) ship->Update(target);
    if (Boss) Boss->Update(target);
}

void TEnemyEngine::Clear() {
    for (size_t i = 0; i < 20; ++i) {
        if (CurrentGame) CurrentGame->Asteroids[i].reset();
        Ships[i].reset();
        if (CurrentGame) CurrentGame->Bonuses[i].reset();
    }
    Boss.reset();
}
