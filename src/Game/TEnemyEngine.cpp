#include "Game/TEnemyEngine.h"

#include "Game/EnemyKinds.h"
#include "Game/TAsteroid.h"
#include "Game/TBaseBoss.h"
#include "Game/TBonus.h"
#include "Game/TEnemyShip.h"
#include "Game/TGame.h"
#include "core/Random.h"
#include "core/Ticks.h"

#include <algorithm>

namespace {

constexpr uint32_t GroupChance = 15, GroupDraw = 3;       // a group at one spawn check in 15
constexpr uint32_t AsteroidChance = 20, AsteroidDraw = 2; // an asteroid at one spawn check in 20
constexpr uint8_t FirstStageGroupLimit = 1;               // stage 1: a new group only once every ship is gone
constexpr uint8_t GroupLimit = 5;                         // later stages: while fewer than five ships remain
constexpr uint32_t PatternCount = 4;
constexpr uint8_t LastFormationKind = 2; // heavier kinds always come alone
constexpr uint32_t FormationCount = 6;
constexpr uint8_t SingleShip = 5;
constexpr uint32_t AnchorXRange = 700;
constexpr uint32_t AnchorYRange = 400;
constexpr int FormationGap = 3;

// A ship's place in its formation, in steps of (width + 3, height + 3) from the anchor point.
struct FormationPlace {
    int8_t column;
    int8_t row;
};

struct Formation {
    uint8_t count;
    FormationPlace places[5]; // in creation order
};

constexpr Formation Formations[] = {
    {3, {{-1, 0}, {1, 0}, {0, 0}}},                    // row of three
    {3, {{0, -1}, {0, 1}, {0, 0}}},                    // column of three
    {4, {{-1, 0}, {1, 0}, {0, -1}, {0, 1}}},           // cross of four, no centre
    {5, {{-1, -1}, {1, -1}, {-1, 1}, {1, 1}, {0, 0}}}, // X of five
    {3, {{-1, -1}, {1, -1}, {0, 0}}},                  // V of three, point last
    {1, {{0, 0}}},                                     // single ship
};

struct AnchorPoint {
    int x;
    int y;
};

// The pattern is also the side the group enters from; the draws are made in x, y order.
AnchorPoint AnchorFor(uint8_t pattern, GameRandom& random) {
    switch (pattern) {
    case PatternSideToSide:
        return {0, static_cast<int>(random.Next(AnchorYRange))};
    case PatternDiagonal:
        return {0, 0};
    default:
        return {static_cast<int>(random.Next(AnchorXRange)), 0};
    }
}

// The highest row of a formation: 0, or -1 when it has ships above its anchor.
int TopRow(const Formation& shape) {
    int top = 0;
    for (uint8_t i = 0; i < shape.count; ++i)
        top = std::min<int>(top, shape.places[i].row);
    return top;
}

} // namespace

TEnemyEngine::TEnemyEngine(TGame& game) : Game(game), NowTick(game.StartTick), SpawnTick(game.StartTick) {}

TEnemyEngine::~TEnemyEngine() = default;

uint8_t TEnemyEngine::LiveShips() const {
    uint8_t count = 0;
    for (const auto& ship : Ships)
        if (ship) ++count;
    return count;
}

std::optional<size_t> TEnemyEngine::FreeShipSlot() const {
    return LowestEmptySlot(Ships);
}

void TEnemyEngine::Step() {
    CullShips();
    // A ship may destroy itself during its own Step; the slot is read afresh each time.
    for (size_t slot = 0; slot < Ships.size(); ++slot)
        if (Ships[slot]) Ships[slot]->Step(static_cast<uint8_t>(slot));
    if (Boss) Boss->Step(); // may destroy the boss
    CheckSpawn();
}

void TEnemyEngine::Draw(Surface& target, float fraction) const {
    for (const auto& ship : Ships)
        if (ship) ship->Draw(target, fraction);
    if (Boss) Boss->Draw(target, fraction);
}

void TEnemyEngine::CullShips() {
    for (auto& ship : Ships)
        if (ship && ship->Y > CullBelowY) ship.reset();
}

void TEnemyEngine::CheckSpawn() {
    NowTick = Game.FrameTick;
    if (!IntervalPassed(NowTick, SpawnTick, SpawnCheckMs)) return;
    if (Game.Rng.Next(GroupChance) == GroupDraw && GroupMayCome()) SpawnGroup();
    if (Game.Rng.Next(AsteroidChance) == AsteroidDraw) SpawnAsteroid(); // drawn whatever happened above
    SpawnTick = NowTick;
}

bool TEnemyEngine::GroupMayCome() const {
    const bool firstStage = Game.StageNumber == 1;
    return LiveShips() < (firstStage ? FirstStageGroupLimit : GroupLimit);
}

void TEnemyEngine::Clear() {
    for (auto& asteroid : Game.Asteroids)
        asteroid.reset();
    for (auto& ship : Ships)
        ship.reset();
    for (auto& bonus : Game.Bonuses)
        bonus.reset();
    Boss.reset();
}

void TEnemyEngine::SpawnGroup() {
    const uint8_t kind = Game.PickEnemyKind();
    const auto pattern = static_cast<uint8_t>(Game.Rng.Next(PatternCount));
    const uint8_t formation =
        kind > LastFormationKind ? SingleShip : static_cast<uint8_t>(Game.Rng.Next(FormationCount));
    AnchorPoint anchor = AnchorFor(pattern, Game.Rng);
    const EnemyShipKind& row = EnemyKindOf(kind);
    const int dx = row.width + FormationGap, dy = row.height + FormationGap;
    const Formation& shape = RowOf(Formations, formation);
    // Side-to-side ships never move up or down: a row above the field could never be shot, so the
    // formation comes down just far enough for its top row to be wholly on the field.
    if (pattern == PatternSideToSide) anchor.y = std::max(anchor.y, -TopRow(shape) * dy);
    for (uint8_t i = 0; i < shape.count; ++i) {
        const FormationPlace place = shape.places[i];
        SpawnShip(kind, pattern, anchor.x + place.column * dx, anchor.y + place.row * dy);
    }
}

void TEnemyEngine::SpawnShip(uint8_t kind, uint8_t pattern, int x, int y) {
    const auto slot = FreeShipSlot();
    if (!slot) return; // a full list: the ship is not created
    Ships[*slot] =
        std::make_unique<TEnemyShip>(Game, kind, pattern, static_cast<int16_t>(x), static_cast<int16_t>(y));
}

void TEnemyEngine::SpawnAsteroid() {
    auto& asteroids = Game.Asteroids;
    const auto slot = LowestEmptySlot(asteroids);
    if (!slot) return;
    asteroids[*slot] = std::make_unique<TAsteroid>(Game, static_cast<uint8_t>(*slot));
}
