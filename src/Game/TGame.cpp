#include "Game/TGame.h"
#include "graphics/PackRecords.h"

#include "Game/TAsteroid.h"
#include "Game/TBaseBoss.h"
#include "Game/TBonus.h"
#include "Game/TEnemyEngine.h"
#include "Game/TGunner.h"
#include "Game/THit.h"
#include "Game/TLineLive.h"
#include "Game/TMyShip.h"
#include "Game/TRunBackground.h"
#include "audio/Audio.h"
#include "core/Ticks.h"
#include "graphics/Blit.h"
#include "graphics/SpriteStore.h"
#include "graphics/Text.h"

#include <cmath>

namespace {

constexpr uint8_t FarLayerSprite = GameRecord::FarStarfield;
constexpr uint8_t FirstNearLayerSprite = GameRecord::FirstNearTile;
constexpr uint8_t NearLayerSpriteChoices = 5;

// HUD pictures and places.
constexpr int ArmourBarSprite = GameRecord::ArmourBar, EnergyBarSprite = GameRecord::EnergyBar;
constexpr int BarBottom = 454;
constexpr int BarPictureHeight = 124;
constexpr int ProgressMarkerX = 760, ProgressMarkerStartY = 245;

struct GunIcon {
    uint8_t rateIndex;
    int sprite;
    int y;
};
constexpr GunIcon GunIcons[] = {{0, 59, 518}, {1, 56, 518}, {3, 57, 518}, {5, 58, 508}, {8, 55, 518}};
constexpr int GunIconX = 663;

const GunIcon* GunIconFor(uint8_t rateIndex) {
    for (const GunIcon& icon : GunIcons)
        if (icon.rateIndex == rateIndex) return &icon;
    return nullptr;
}

const std::string GameOverText = "Game Over";
const std::string ScoreWord = "Score";

void DrawBar(Surface& target, int sprite, int height, int x) {
    if (height <= 0) return; // a bar of no height draws nothing
    DrawDirectRect(GameSprites[sprite], target, MakeRect(0, BarPictureHeight - height, 10, height), x,
                   BarBottom - height, true);
}

} // namespace

int ProgressMarkerY(uint32_t distance, uint32_t stageNumber) {
    const double climbed = distance * 0.038 / (static_cast<double>(stageNumber) + 1);
    return ProgressMarkerStartY - static_cast<int>(std::nearbyint(climbed));
}

TGame::TGame(uint32_t seed, uint32_t startTick)
    : NowTick(startTick), PhaseTick(startTick), Rng{seed}, StartTick(startTick), FrameTick(startTick) {
    Ship = std::make_unique<TMyShip>(*this);
    FarLayer = std::make_unique<TRunBackground>(Distance, FrameTick, 800, 200, FarLayerSprite, 15);
    NearLayer = std::make_unique<TRunBackground>(
        Distance, FrameTick, 300, 200,
        static_cast<uint8_t>(FirstNearLayerSprite + Rng.Next(NearLayerSpriteChoices)), 1);
    Engine = std::make_unique<TEnemyEngine>(*this);
}

TGame::~TGame() {
    for (size_t i = 0; i < GameSlotCount; ++i) {
        Hits[i].reset();
        Asteroids[i].reset();
        Bonuses[i].reset();
    }
    Ship.reset();
    NearLayer.reset();
    FarLayer.reset();
    Engine.reset();
}

uint8_t TGame::KindLimit() const {
    return static_cast<uint8_t>((StageNumber - 1) % 10 + 1);
}

uint8_t TGame::BossKind() const {
    const int kind = KindLimit() / 3 - 1;
    return kind < 0 ? 0 : static_cast<uint8_t>(kind);
}

std::string TGame::StageCaption() const {
    const uint32_t level = (StageNumber - 1) / 3 + 1;
    return "Level " + std::to_string(level) + "-" + std::to_string(StageInLevel);
}

void TGame::NextStage() {
    ++StageNumber;
    StageInLevel = static_cast<uint8_t>(StageNumber % 3 == 0 ? 3 : StageNumber % 3);
    Phase = GamePhase::Restart;
}

void TGame::SpawnHit(int16_t x, int16_t y, uint8_t kind, int8_t startFrame) {
    const auto slot = LowestEmptySlot(Hits);
    if (!slot) return;
    PlaySoundEffect(x, y, SoundHit);
    Hits[*slot] = std::make_unique<THit>(*this, kind, static_cast<uint8_t>(*slot), x, y, startFrame);
}

TRect TGame::PlayerBounds() const {
    return ShipBounds(*Ship);
}

const int16_t* TGame::PlayerX() const {
    return Ship ? &Ship->X : nullptr;
}

void TGame::DamagePlayer(uint8_t amount) {
    Ship->TakeDamage(amount);
}

void TGame::RamPlayer(const TRect& rammer, int32_t& life, TLineLive& lifeBar) {
    if (!RectsIntersect(rammer, PlayerBounds())) return;
    const uint8_t damage = static_cast<uint8_t>(life);
    life -= Energy;
    if (life > 0) lifeBar.Visible = true;
    DamagePlayer(damage);
}

uint8_t TGame::PickWeighted(uint8_t lightShare, uint8_t mediumShare) {
    const uint32_t r = Rng.Next(100);
    uint8_t result = 0;
    if (r <= lightShare) result = static_cast<uint8_t>(Rng.Next(3));
    if (r > lightShare && r < static_cast<uint32_t>(lightShare + mediumShare))
        result = static_cast<uint8_t>(3 + Rng.Next(3));
    if (r >= static_cast<uint32_t>(lightShare + mediumShare)) result = static_cast<uint8_t>(6 + Rng.Next(3));
    return result;
}

uint8_t TGame::PickEnemyKind() {
    uint8_t kind;
    do
        kind = PickWeighted(70, 10);
    while (kind >= KindLimit());
    return kind;
}

void TGame::Step(const GameFrameInput& input) {
    ++FrameNumber;
    FrameTick = StartTick + GameFrameMs * FrameNumber; // wraps with the ticks
    Controls = input.Controls;
    if ((Controls & ControlGiveUp) && Phase != GamePhase::GameOver) Phase = GamePhase::GameOver;
    switch (Phase) {
    case GamePhase::Restart:
        StepRestart();
        break;
    case GamePhase::Intro:
        StepIntro();
        break;
    case GamePhase::Play:
        StepPlay();
        break;
    case GamePhase::GameOver:
        StepGameOver();
        break;
    }
}

void TGame::StepLayers() {
    FarLayer->Step();
    NearLayer->Step();
}

template <typename T> static void StepSlots(SlotList<T, GameSlotCount>& slots) {
    // An object may empty its own slot during its Step; the slot is read afresh each time.
    for (size_t i = 0; i < GameSlotCount; ++i)
        if (slots[i]) slots[i]->Step();
}

template <typename T>
static void DrawSlots(const SlotList<T, GameSlotCount>& slots, Surface& target, float fraction) {
    for (const auto& object : slots)
        if (object) object->Draw(target, fraction);
}

void TGame::StepRestart() {
    NowTick = FrameTick;
    StepLayers();
    Ship->Step();
    StepSlots(Hits);
    if (CountOccupied(Hits) == 0) {
        Phase = GamePhase::Intro;
        PlaySoundEffect(400, 100, SoundNewStage);
        PhaseTick = FrameTick;
    }
}

void TGame::StepIntro() {
    NowTick = FrameTick;
    Distance = 0;
    Ship->X = ShipStartX;
    Ship->Y = ShipStartY;
    StepLayers();
    Ship->Step();
    if (IntervalPassed(NowTick, PhaseTick, PhaseCaptionMs)) StartPlay();
}

void TGame::StartPlay() {
    Phase = GamePhase::Play;
    Engine->Clear();
    Energy = FullEnergy;
    if (StageInLevel == 3) Engine->Boss = std::make_unique<TBaseBoss>(*this, BossKind());
}

void TGame::StepPlay() {
    if (Distance >= (static_cast<uint64_t>(StageNumber) + 1) * StageDistanceStep) NextStage();
    NowTick = FrameTick;
    StepLayers();
    Ship->Step();
    Engine->Step();
    StepSlots(Bonuses);
    StepSlots(Asteroids);
    StepSlots(Hits);
    if (Lives == 0) EndGame();
}

void TGame::EndGame() {
    StopMusic();
    Phase = GamePhase::GameOver;
    PlaySoundDirect(SoundLaser);
    PhaseTick = FrameTick;
}

void TGame::StepGameOver() {
    NowTick = FrameTick;
    StepLayers();
    if (IntervalPassed(NowTick, PhaseTick, PhaseCaptionMs)) {
        Finished = true;
        PhaseTick = FrameTick;
    }
}

// What each phase shows, back to front: the layers, the weapon corner, then the phase's own objects and
// caption, the HUD on top.
void TGame::Draw(Surface& target, float fraction) const {
    FarLayer->Draw(target, fraction);
    NearLayer->Draw(target, fraction);
    DrawHudIcons(target);
    switch (Phase) {
    case GamePhase::Restart:
        Ship->Draw(target, fraction);
        DrawSlots(Hits, target, fraction);
        break;
    case GamePhase::Intro:
        Ship->Draw(target, fraction);
        DrawTitleText(310, 300, 32, 20, hud.caption, target, ColourBrightGreen);
        break;
    case GamePhase::Play:
        Ship->Draw(target, fraction);
        Engine->Draw(target, fraction);
        DrawSlots(Bonuses, target, fraction);
        DrawSlots(Asteroids, target, fraction);
        DrawSlots(Hits, target, fraction);
        break;
    case GamePhase::GameOver:
        DrawTitleText(310, 300, 32, 20, GameOverText, target, ColourBrightGreen);
        break;
    }
    DrawHud(target);
}

void TGame::RefreshHudTexts() const {
    if (!hud.valid || hud.stage != StageNumber) {
        hud.stage = StageNumber;
        hud.caption = StageCaption();
    }
    if (!hud.valid || hud.lives != Lives) {
        hud.lives = Lives;
        hud.livesText = std::to_string(Lives);
    }
    if (!hud.valid || hud.score != Score) {
        hud.score = Score;
        hud.scoreText = std::to_string(Score);
    }
    if (!hud.valid || hud.upgradeSeconds != Ship->UpgradeSeconds) {
        hud.upgradeSeconds = Ship->UpgradeSeconds;
        hud.upgradeText = "X " + std::to_string(Ship->UpgradeSeconds);
    }
    hud.valid = true;
}

void TGame::DrawHud(Surface& target) const {
    RefreshHudTexts();
    DrawDirect(InterfaceSprites[InterfaceRecord::TopBar], target, 0, 0, true);
    DrawDirect(InterfaceSprites[InterfaceRecord::SidePanel], target, 652, 37, true);
    DrawDirect(InterfaceSprites[InterfaceRecord::LivesPlate], target, 80, 4, true);
    DrawDirect(InterfaceSprites[InterfaceRecord::StageMarker], target, ProgressMarkerX,
               ProgressMarkerY(Distance, StageNumber), true);
    DrawTitleText(315, 5, 18, 10, hud.caption, target, ColourBrightGreen);
    DrawTitleText(140, 5, 18, 10, hud.livesText, target, ColourBrightGreen);
    DrawGameText(533, 5, 18, 10, ScoreWord, target, ColourBrightGreen, AlignLeftTop, false);
    DrawGameText(720, 5, 18, 10, hud.scoreText, target, ColourBrightGreen, AlignRightTop, false);
    DrawBar(target, EnergyBarSprite, Energy, 780);
    DrawBar(target, ArmourBarSprite, 2 * Armour, 747);
}

// The weapon corner lies where the ship and falling bonuses pass: it is drawn under them, straight
// after the background, so they stay readable over it.
void TGame::DrawHudIcons(Surface& target) const {
    RefreshHudTexts();
    if (Ship->MegaSkullReady)
        DrawDirect(InterfaceSprites[InterfaceRecord::SkullIcon], target, 733, 545, true);
    if (Ship->MegaBombReady) DrawDirect(InterfaceSprites[InterfaceRecord::BombIcon], target, 670, 545, true);
    if (const GunIcon* icon = GunIconFor(Ship->Gun->RateIndex))
        DrawDirect(GameSprites[icon->sprite], target, GunIconX, icon->y, true);
    DrawTitleText(721, 521, 18, 10, hud.upgradeText, target, ColourBrightGreen);
}
