// The running game: the player's ship, the two background layers, the enemy engine and the slot lists
// of hit effects, asteroids and bonuses; the stage, score, lives, energy and armour; its own random
// generator and its own clock. A game frame (Step) is GameFrameMs of game time and changes the game; a
// picture (Draw) shows the game between its last two frames and changes nothing. Every game object is
// given the game it belongs to when it is made.
#pragma once

#include "core/GameInput.h"
#include "core/Random.h"
#include "core/Rect.h"
#include "core/SlotList.h"
#include "platform/Input.h"
#include "platform/Surface.h"

#include <cstdint>
#include <memory>
#include <string>

struct TMyShip;
struct TRunBackground;
struct THit;
struct TEnemyEngine;
struct TEnemyShip;
struct TBaseBoss;
struct TAsteroid;
struct TBonus;
struct TLineLive;

// Phases of a game.
enum class GamePhase : uint8_t {
    Intro,    // the stage caption shows for two seconds
    Play,     // in play
    GameOver, // "Game Over" shows for two seconds
    Restart,  // waiting for every hit effect to run out
};

inline constexpr size_t GameSlotCount = 20;

inline constexpr int16_t FullEnergy = 124;
inline constexpr int16_t FullArmour = 62;
inline constexpr int16_t StartLives = 3;
inline constexpr uint32_t PhaseCaptionMs = 2000;
inline constexpr uint32_t StageDistanceStep = 5000;

struct TGame {
    // A new game drawing from a generator seeded with `seed`, whose clock stands at `startTick`: only
    // differences of ticks count, so the same seed plays the same game from any start tick.
    explicit TGame(uint32_t seed, uint32_t startTick = 0);
    ~TGame();
    TGame(const TGame&) = delete;
    TGame& operator=(const TGame&) = delete;

    // Counts up from 1 without end: wider than a byte so that captions and distance thresholds past
    // stage 255 keep working (KindLimit keeps its 1..10 cycle).
    uint32_t StageNumber = 1;
    uint8_t StageInLevel = 1; // 1, 2 or 3
    int32_t Score = 0;
    uint32_t Distance = 0; // scroll steps of either layer in this stage
    std::unique_ptr<TMyShip> Ship;
    std::unique_ptr<TEnemyEngine> Engine;
    SlotList<THit, GameSlotCount> Hits;
    SlotList<TAsteroid, GameSlotCount> Asteroids;
    SlotList<TBonus, GameSlotCount> Bonuses;
    std::unique_ptr<TRunBackground> NearLayer;
    std::unique_ptr<TRunBackground> FarLayer;
    GamePhase Phase = GamePhase::Restart;
    uint32_t NowTick = 0;
    uint32_t PhaseTick = 0;
    int16_t Lives = StartLives;
    int16_t Energy = FullEnergy;
    int16_t Armour = 0;

    GameRandom Rng;
    uint32_t StartTick = 0;
    uint32_t FrameNumber = 0; // game frames run so far
    // The running frame's time (StartTick + GameFrameMs * FrameNumber; every clock reading of the frame)
    // and its controls.
    uint32_t FrameTick = 0;
    uint8_t Controls = 0;
    // The "Game Over" caption has been shown: the shell takes the player back to its screens.
    bool Finished = false;
    // Every field but the objects the game owns and its start tick (the snapshot counts ticks from it),
    // for the game's snapshot (GameSnapshot.h).
    template <typename Fields> void ListFields(Fields& f) {
        f(StageNumber, StageInLevel, Score, Distance, Phase, Lives, Energy, Armour, Rng.Seed, FrameNumber,
          Controls, Finished);
        f.Ticks(NowTick, PhaseTick, FrameTick);
    }

    // One game frame with the player's input.
    void Step(const GameFrameInput& input);
    // The picture `fraction` of the way from the frame before to the last one (1: as it stands now).
    void Draw(Surface& target, float fraction) const;
    void DrawHud(Surface& target) const;
    void DrawHudIcons(Surface& target) const;
    void NextStage();
    // StageNumber mod 10, where 0 counts as 10: runs 1 .. 10 and starts again at 1 with stage 11.
    uint8_t KindLimit() const;
    // The boss that closes a third stage: KindLimit div 3 - 1, and kind 0 where that gives no kind.
    uint8_t BossKind() const;
    // "Level L-S" for the current stage.
    std::string StageCaption() const;

    // Places a hit effect in the lowest empty hit slot and plays the "Hit" sound at (x, y); with every
    // slot taken nothing happens at all.
    void SpawnHit(int16_t x, int16_t y, uint8_t kind, int8_t startFrame);
    // The player's ship as the opposition sees it: its rectangle, the damage it takes, and a ram: in
    // every frame an enemy body's rectangle overlaps the ship, the player takes the low 8 bits of the
    // rammer's life before the ram, and the rammer loses the player's whole energy.
    TRect PlayerBounds() const;
    const int16_t* PlayerX() const; // the ship's column, followed by a boss; none without a ship
    void DamagePlayer(uint8_t amount);
    void RamPlayer(const TRect& rammer, int32_t& life, TLineLive& lifeBar);

    // Enemy kinds for the engine (defined in TGame.cpp): a light (0..2), medium (3..5) or heavy (6..8)
    // kind by the shares, and a kind below KindLimit.
    uint8_t PickWeighted(uint8_t lightShare, uint8_t mediumShare);
    uint8_t PickEnemyKind();

  private:
    void StepRestart();
    void StepIntro();
    void StepPlay();
    void StepGameOver();
    void StepLayers();
    void StartPlay();
    void EndGame();
    void RefreshHudTexts() const;

    // HUD texts, rebuilt only when their value changes: a cache of the picture, not of the game.
    mutable struct HudTexts {
        uint32_t stage = 0;
        int16_t lives = -1;
        int32_t score = -1;
        int8_t upgradeSeconds = -1;
        bool valid = false;
        std::string caption, livesText, scoreText, upgradeText;
    } hud;
};

// The stage-progress marker's y: 245 at the start of a stage, 55 when its distance is covered.
int ProgressMarkerY(uint32_t distance, uint32_t stageNumber);
