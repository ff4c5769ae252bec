#include "Game/GameStateHash.h"

#include "Game/TAsteroid.h"
#include "Game/TBaseBoss.h"
#include "Game/TBonus.h"
#include "Game/TEnemyEngine.h"
#include "Game/TEnemyShip.h"
#include "Game/TGame.h"
#include "Game/TGunner.h"
#include "Game/THit.h"
#include "Game/TMyShip.h"
#include "Game/TPulya.h"
#include "Game/TRunBackground.h"
#include "core/CoreState.h"
#include "core/Hash64.h"

#include <bit>
#include <type_traits>

namespace {

// Every value goes in by its width, so a change of type cannot pass for a change of value.
template <typename T> void Add(Hash64& hash, T value) {
    if constexpr (std::is_floating_point_v<T>)
        hash.AddNumber(std::bit_cast<std::conditional_t<sizeof(T) == 4, uint32_t, uint64_t>>(value),
                       sizeof(T));
    else
        hash.AddNumber(static_cast<uint64_t>(value), sizeof(T));
}

template <typename... T> void AddAll(Hash64& hash, T... values) {
    (Add(hash, values), ...);
}

void AddGun(Hash64& hash, const TGunner& gun) {
    AddAll(hash, gun.ShotsInFlight, gun.Angle, gun.MuzzleX, gun.MuzzleY, gun.HoldFire, gun.RateIndex,
           gun.WeaponType, gun.LastTick, gun.LastShotTick);
    for (size_t slot = 0; slot < gun.Shots.size(); ++slot) {
        const TPulya* shot = gun.Shots[slot].get();
        if (!shot) continue;
        AddAll(hash, slot, shot->Kind, shot->X, shot->Y, shot->Angle, shot->FrameTick);
    }
}

void AddShip(Hash64& hash, const TMyShip& ship) {
    AddAll(hash, ship.X, ship.Y, ship.Tilt, ship.SpecialCharge, ship.MegaBombReady, ship.MegaSkullReady,
           ship.UpgradeSeconds, ship.LastTick, ship.UpgradeTick);
    AddGun(hash, *ship.Gun);
}

void AddOpposition(Hash64& hash, const TEnemyEngine& engine) {
    AddAll(hash, engine.NowTick, engine.SpawnTick);
    for (size_t slot = 0; slot < engine.Ships.size(); ++slot) {
        const TEnemyShip* ship = engine.Ships[slot].get();
        if (!ship) continue;
        AddAll(hash, slot, ship->X, ship->Y, ship->DriftStep, ship->WeaveBaseX, ship->Kind, ship->Pattern,
               ship->Life);
        AddGun(hash, *ship->Gun);
    }
    if (const TBaseBoss* boss = engine.Boss.get()) {
        AddAll(hash, boss->X, boss->Y, boss->Kind, boss->GunType, boss->VerticalDir, boss->VerticalSpeed,
               boss->Life);
        AddGun(hash, *boss->Gun);
    }
}

void AddSlotLists(Hash64& hash, const TGame& game) {
    for (size_t slot = 0; slot < GameSlotCount; ++slot) {
        if (const THit* hit = game.Hits[slot].get())
            AddAll(hash, 'h', slot, hit->SizeClass, hit->X, hit->Y, hit->Counter, hit->NowTick,
                   hit->FrameTick);
        if (const TAsteroid* rock = game.Asteroids[slot].get())
            AddAll(hash, 'a', slot, rock->Kind, rock->X, rock->Y, rock->StepX, rock->StepY, rock->Strength);
        if (const TBonus* bonus = game.Bonuses[slot].get())
            AddAll(hash, 'b', slot, bonus->Kind, bonus->X, bonus->Y, bonus->LastTick);
    }
}

} // namespace

uint64_t GameStateHash(const TGame& game) {
    Hash64 hash;
    AddAll(hash, RandSeed, game.StageNumber, game.StageInLevel, game.Score, game.Distance,
           static_cast<uint8_t>(game.Phase), game.NowTick, game.PhaseTick, game.Lives, game.Energy,
           game.Armour, game.FrameTick, game.Finished);
    for (const TRunBackground* layer : {game.FarLayer.get(), game.NearLayer.get()})
        AddAll(hash, layer->OffsetX, layer->OffsetY, layer->StepTick, layer->SpriteIndex);
    AddShip(hash, *game.Ship);
    AddOpposition(hash, *game.Engine);
    AddSlotLists(hash, game);
    return hash.Value();
}
