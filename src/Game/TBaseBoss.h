// The command ship that closes the third stage of every level: waits above the field, drifts up and down
// in its upper part, slides sideways to stay above the player, fires two alternating weapons, rams, and
// when destroyed bursts into ten explosions, scores its value and ends the stage.
#pragma once

#include "core/Rect.h"
#include "platform/Surface.h"

#include <cstdint>
#include <memory>

struct TGame;
struct TGunner;
struct TLineLive;

inline constexpr int16_t BossStartX = 340;
inline constexpr int16_t BossTurnUpY = 350; // the boss turns up once its Y passes this

struct TBaseBoss {
    TBaseBoss(TGame& game, uint8_t kind);
    TGame& Game;
    ~TBaseBoss();
    TBaseBoss(const TBaseBoss&) = delete;
    TBaseBoss& operator=(const TBaseBoss&) = delete;

    int16_t X = BossStartX;
    int16_t Y = 0;
    int16_t PrevX = BossStartX; // where the frame before left it: the picture slides from there
    int16_t PrevY = 0;
    // The player ship's X, watched; null when there was no game to watch (then the boss does not steer).
    const int16_t* TargetX = nullptr;
    uint8_t Kind = 0;
    uint8_t GunType = 0;
    uint8_t VerticalDir = 0;   // 0 down, 1 up
    uint8_t VerticalSpeed = 0; // pixels per frame, 0 .. 3; 0 keeps it waiting above the field
    int32_t Life = 0;
    std::unique_ptr<TGunner> Gun;
    std::unique_ptr<TLineLive> LifeBar;
    // Every field but the watched target, the gun and the life bar, for the game's snapshot
    // (GameSnapshot.h).
    template <typename Fields> void ListFields(Fields& f) {
        f(X, Y, PrevX, PrevY, Kind, GunType, VerticalDir, VerticalSpeed, Life);
    }

    // One game frame. May destroy the boss (emptying the engine's Boss slot) and end the stage.
    void Step();
    void Draw(Surface& target, float fraction) const;
    void Steer();
    TRect GetBounds() const;

  private:
    void MoveVertically();
    void FollowTarget();
    void Ram();
    void ChooseWeapon();
    void Explode();
};
