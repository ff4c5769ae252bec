#include "GameFixture.h"

#include "Game/TAsteroid.h"
#include "Game/TBaseBoss.h"
#include "Game/TEnemyEngine.h"
#include "Game/TEnemyShip.h"
#include "Game/TGunner.h"
#include "Game/TLineLive.h"
#include "Game/TMyShip.h"
#include "Game/TPulya.h"
#include "Game/TRunBackground.h"
#include "graphics/DerivedSprites.h"
#include "graphics/SpriteStore.h"

#include <cmath>
#include <numbers>

namespace {

class PlayerTest : public GameFixture {
  protected:
    void SetUp() override {
        GameFixture::SetUp();
        StartPlaying();
    }
    TMyShip& Ship() { return *Game().Ship; }
    TGunner& Gun() { return *Game().Ship->Gun; }
    void ShipFrames(int count, uint32_t ms = 10) {
        for (int i = 0; i < count; ++i) {
            AdvanceGameClock(ms);
            Ship().Step();
        }
        Ship().Draw(*target, 1);
    }
    void ClearShots(TGunner& gun) {
        for (auto& shot : gun.Shots)
            shot.reset();
    }
};

// Direction of travel per unit of speed for a projectile angle.
double StepX(double angle) {
    return std::cos(angle + std::numbers::pi / 2);
}

} // namespace

TEST_F(PlayerTest, DamageIsHalvedAgainstArmour) {
    struct Case {
        int16_t armour;
        uint8_t amount;
        int16_t armourAfter;
        int16_t energyLoss;
    };
    for (const Case c :
         {Case{3, 10, -2, 5}, Case{5, 1, 5, 0}, Case{0, 1, 0, 1}, Case{0, 10, 0, 10}, Case{62, 11, 57, 5}}) {
        SCOPED_TRACE(c.armour);
        Game().Armour = c.armour;
        Game().Energy = 100;
        Ship().TakeDamage(c.amount);
        EXPECT_EQ(Game().Armour, c.armourAfter);
        EXPECT_EQ(Game().Energy, 100 - c.energyLoss);
    }
    Game().Armour = 3;
    Ship().TakeDamage(10);
    ShipFrames(1);
    EXPECT_EQ(Game().Armour, 0); // armour below zero reads 0 at the next update
}

// A hit shows as the ship's picture flashing white for a moment; the damage itself is unchanged
// (DamageIsHalvedAgainstArmour) and no damage, no flash.
TEST_F(PlayerTest, AHitFlashesTheShipForAMoment) {
    LoadSpriteStore();
    const int centreX = Ship().X + ShipWidth / 2, centreY = Ship().Y + ShipHeight / 2;
    ShipFrames(1);
    const uint32_t normal = target->Pixel(centreX, centreY);
    Ship().TakeDamage(0);
    ShipFrames(1);
    EXPECT_EQ(target->Pixel(centreX, centreY), normal);
    Ship().TakeDamage(4);
    ShipFrames(1);
    EXPECT_EQ(target->Pixel(centreX, centreY), HitFlashColour(normal));
    ShipFrames(30);
    EXPECT_EQ(target->Pixel(centreX, centreY), normal);
    EXPECT_FALSE(Ship().HitFlashing);
    FreeSpriteStore();
}

TEST_F(PlayerTest, LifeIsLostOnlyOnceAndOnlyInPlay) {
    Game().Energy = -3;
    ShipFrames(1);
    EXPECT_EQ(Game().Lives, 2);
    EXPECT_EQ(Game().Phase, GamePhase::Restart);
    ShipFrames(3);
    EXPECT_EQ(Game().Lives, 2);
}

TEST_F(PlayerTest, HoldingRightAgainstTheEdgeLeavesShipAndLayersStill) {
    Ship().X = ShipMaxX;
    KeyState[ScanRight] = KeyDown;
    ShipFrames(1);
    const int16_t near = Game().NearLayer->OffsetX, far = Game().FarLayer->OffsetX;
    ShipFrames(5);
    EXPECT_EQ(Ship().X, ShipMaxX);
    EXPECT_EQ(Game().NearLayer->OffsetX, near);
    EXPECT_EQ(Game().FarLayer->OffsetX, far);
}

TEST_F(PlayerTest, LeftWinsOverRightAndTiltDeepensOneFramePerFrame) {
    Ship().X = 300;
    KeyState[ScanLeft] = KeyDown;
    KeyState[ScanRight] = KeyDown;
    ShipFrames(1);
    EXPECT_EQ(Ship().X, 294);
    EXPECT_EQ(Ship().Tilt, 1);
    ShipFrames(3);
    EXPECT_EQ(Ship().Tilt, 0);
    KeyState.fill(0);
    ShipFrames(1);
    EXPECT_EQ(Ship().Tilt, 2);
}

TEST_F(PlayerTest, ShipStaysInsideTheField) {
    Ship().Y = ShipMaxY;
    KeyState[ScanDown] = KeyDown;
    ShipFrames(3);
    EXPECT_EQ(Ship().Y, ShipMaxY);
    EXPECT_LE(Ship().X + ShipWidth, 799);
    EXPECT_LE(Ship().Y + ShipHeight, 600);
}

TEST_F(PlayerTest, StandardGunFiresAfterMoreThan400ms) {
    const uint32_t last = Game().FrameTick;
    Gun().LastShotTick = last;
    Game().FrameTick = last + 400; // the frame's time is what the gun reads
    EXPECT_FALSE(Gun().Fire());
    Game().FrameTick = last + 401;
    EXPECT_TRUE(Gun().Fire());
}

TEST_F(PlayerTest, FireIntervalTableIsNeverReadPastItsEnd) {
    EXPECT_EQ(FireInterval(0), 400u);
    EXPECT_EQ(FireInterval(8), 150u);
    EXPECT_EQ(FireInterval(13), 300u);
    EXPECT_EQ(FireInterval(14), 300u);
    EXPECT_EQ(FireInterval(255), 300u);
}

TEST_F(PlayerTest, FullShotListFiresTheVolleyButLaunchesAndCountsNothing) {
    for (auto& shot : Gun().Shots)
        shot = std::make_unique<TPulya>(0, 100, 100, PlayerGunAngle, Game().FrameTick);
    const int8_t before = Gun().ShotsInFlight;
    AdvanceGameClock(1000);
    EXPECT_TRUE(Gun().Fire());
    EXPECT_EQ(Gun().ShotsInFlight, before);
    EXPECT_EQ(Gun().LastShotTick, Game().FrameTick);
}

TEST_F(PlayerTest, SpreadVolleysLaunchTheirAnglesInOrder) {
    struct Case {
        bool player;
        uint8_t weapon;
        double angles[3];
        int8_t inFlight;
    };
    const Case cases[] = {
        {true, 1, {3.15, 3.45, 9.15}, 3}, {false, 4, {0.0, 0.5, -0.5}, 3}, {false, 5, {0, 0, 0}, 2}};
    int16_t x = 200, y = 300;
    for (const Case& c : cases) {
        SCOPED_TRACE(int(c.weapon));
        TGunner gun(Game(), c.weapon, c.weapon, x, y, c.player);
        AdvanceGameClock(1000);
        ASSERT_TRUE(gun.Fire());
        EXPECT_EQ(gun.ShotsInFlight, c.inFlight);
        for (int i = 0; i < c.inFlight; ++i) {
            ASSERT_NE(gun.Shots[i], nullptr);
            EXPECT_DOUBLE_EQ(gun.Shots[i]->Angle, c.angles[i]);
        }
    }
    // The player's ionic spread: straight up, up-right by 0.30 and up-left by 0.27 per unit of speed.
    EXPECT_NEAR(StepX(3.45), 0.304, 0.001);
    EXPECT_NEAR(StepX(9.15), -0.271, 0.001);
}

TEST_F(PlayerTest, StandardShotClimbsAndDriftsSlightlyRight) {
    TPulya shot(0, 300, 600, PlayerGunAngle, Game().FrameTick);
    for (int i = 0; i < 60; ++i)
        shot.Step(Game().FrameTick);
    EXPECT_NEAR(shot.Y, 0.0f, 0.1f);
    EXPECT_NEAR(shot.X - 300.0f, 5.0f, 0.1f);
}

TEST_F(PlayerTest, ShotLeavesOnlyWhenWhollyOffTheField) {
    struct Case {
        uint8_t kind;
        float x, y;
        bool stays;
    };
    // Kind 2 is 26 x 26; kind 5, the player's missile, is 14 x 139.
    for (const Case c : {Case{2, 100, 599, true}, Case{2, 100, 600, false}, Case{2, 799, 100, true},
                         Case{2, 800, 100, false}, Case{2, -25, 100, true}, Case{2, -26, 100, false},
                         Case{2, 100, -25, true}, Case{2, 100, -26, false}, Case{5, 300, -100, true},
                         Case{5, 300, -138, true}, Case{5, 300, -139, false}, Case{2, 0, 0, true}}) {
        SCOPED_TRACE(testing::Message() << int(c.kind) << " at " << c.x << "," << c.y);
        int16_t x = 0, y = 0;
        TGunner gun(Game(), 2, 2, x, y, false);
        gun.FireOne(c.kind, 0, 0, 0, 0.0);
        ASSERT_EQ(gun.ShotsInFlight, 1);
        gun.Shots[0]->X = c.x;
        gun.Shots[0]->Y = c.y;
        gun.CheckShot(0);
        EXPECT_EQ(gun.Shots[0] != nullptr, c.stays);
        EXPECT_EQ(gun.ShotsInFlight, c.stays ? 1 : 0);
    }
}

TEST_F(PlayerTest, PlayerShotHitsTheShipBeforeTheAsteroidAndScoresAsteroidHits) {
    auto& ship = Game().Engine->Ships[0];
    ship = std::make_unique<TEnemyShip>(Game(), 4, 0, 100, 100);
    auto& asteroid = Game().Asteroids[0];
    asteroid = std::make_unique<TAsteroid>(Game(), 0);
    asteroid->X = 100;
    asteroid->Y = 100;
    const int32_t life = ship->Life;
    const int32_t score = Game().Score;

    Gun().Shots[0] = std::make_unique<TPulya>(0, 105, 105, PlayerGunAngle, Game().FrameTick);
    Gun().CheckShot(0);
    EXPECT_EQ(Gun().Shots[0], nullptr);
    EXPECT_EQ(ship->Life, life - ShotKinds[0].damage);
    EXPECT_TRUE(ship->LifeBar->Visible);
    EXPECT_EQ(asteroid->Strength, 5);
    EXPECT_EQ(Game().Score, score);
    EXPECT_EQ(CountOccupied(Game().Hits), 1u);

    ship.reset();
    for (int i = 0; i < 2; ++i) {
        Gun().Shots[0] = std::make_unique<TPulya>(8, 105, 105, PlayerGunAngle, Game().FrameTick);
        Gun().CheckShot(0);
    }
    EXPECT_EQ(Game().Score, score + 20);
    EXPECT_LT(asteroid->Strength, 1); // two heavy hits never wrap round to a living strength
}

TEST_F(PlayerTest, PlayerShotHitsWithItsOwnSizeWhateverTheGunHoldsNow) {
    Game().Engine->Ships[0] = std::make_unique<TEnemyShip>(Game(), 0, 0, 100, 100);
    // A standard shot (26 wide) just left of the ship misses, and still misses after a switch to the
    // 60-wide plasma.
    Gun().Shots[0] = std::make_unique<TPulya>(0, 60, 105, PlayerGunAngle, Game().FrameTick);
    for (const uint8_t weapon : {0, 3}) {
        Gun().SetWeapon(weapon);
        Gun().CheckShot(0);
        EXPECT_NE(Gun().Shots[0], nullptr);
    }
}

TEST_F(PlayerTest, OnlyThePartOfAShotOnTheFieldHits) {
    // A missile (14 x 139) reaching up past the top edge, over a boss (180 high) above the field.
    for (const int16_t bossY : {-180, -170}) {
        SCOPED_TRACE(bossY);
        auto& boss = Game().Engine->Boss;
        boss = std::make_unique<TBaseBoss>(Game(), 0);
        boss->Y = bossY;
        Gun().Shots[0] = std::make_unique<TPulya>(5, boss->X + 50, -100, PlayerGunAngle, Game().FrameTick);
        Gun().CheckShot(0);
        EXPECT_EQ(Gun().Shots[0] == nullptr, bossY + 180 > 0);
    }
}

TEST_F(PlayerTest, EnemyShotHurtsOnlyWhereItsPictureLies) {
    Ship().X = 300;
    Ship().Y = 400;
    struct Case {
        const char* what;
        uint8_t kind;
        float x, y;
        bool hurts;
    };
    // The boss of kind 0 fires orbs (kind 9, 32 x 32) and beams (kind 10, 75 x 420) and switches
    // between them from frame to frame: each is tested with its own size under either weapon.
    for (const Case c :
         {Case{"orb far above the ship", 9, 310, 16, false}, Case{"orb on the ship", 9, 310, 410, true},
          Case{"beam over the ship, top well above it", 10, 290, 100, true},
          Case{"beam beside the ship", 10, 380, 100, false}}) {
        for (const uint8_t weapon : {9, 10}) {
            SCOPED_TRACE(testing::Message() << c.what << ", gun holding weapon " << int(weapon));
            Game().Energy = FullEnergy;
            int16_t x = 0, y = 0;
            TGunner gun(Game(), weapon, weapon, x, y, false);
            gun.FireOne(c.kind, 0, 0, 0, 0.0);
            gun.Shots[0]->X = c.x;
            gun.Shots[0]->Y = c.y;
            gun.CheckShot(0);
            EXPECT_EQ(gun.Shots[0] == nullptr, c.hurts);
            EXPECT_EQ(Game().Energy, c.hurts ? FullEnergy - ShotKinds[c.kind].damage : FullEnergy);
            EXPECT_EQ(gun.ShotsInFlight, c.hurts ? 0 : 1); // a hit counts the projectile out
        }
    }
}

TEST_F(PlayerTest, EnemyGunFiresAgainAfterFiveHitsOnThePlayer) {
    Ship().X = 300;
    Ship().Y = 400;
    int16_t x = 300, y = 50;
    TGunner enemy(Game(), 0, 0, x, y, false);
    for (int hit = 0; hit < 5; ++hit) {
        AdvanceGameClock(1000);
        ASSERT_TRUE(enemy.Fire());
        enemy.Shots[0]->Y = 410; // arrived on the ship
        enemy.CheckShot(0);
        ASSERT_EQ(enemy.Shots[0], nullptr);
        Game().Energy = FullEnergy;
    }
    EXPECT_EQ(enemy.ShotsInFlight, 0);
    const uint32_t lastVolley = enemy.LastShotTick;
    for (int frame = 0; frame < 3000 && enemy.LastShotTick == lastVolley; ++frame) {
        AdvanceGameClock(10);
        enemy.Step();
    }
    EXPECT_NE(enemy.LastShotTick, lastVolley);
}

TEST_F(PlayerTest, OppositionFiresAtRandomAtMostOncePerSecondAndThePlayerNever) {
    int16_t x = 300, y = 50;
    TGunner enemy(Game(), 0, 0, x, y, false);
    int volleys = 0;
    uint32_t lastVolley = enemy.LastShotTick;
    for (int frame = 0; frame < 3000; ++frame) {
        AdvanceGameClock(10);
        const uint32_t before = enemy.LastShotTick;
        enemy.Step();
        Gun().Step();
        if (enemy.LastShotTick != before) {
            EXPECT_GT(enemy.LastShotTick - lastVolley, 1000u);
            lastVolley = enemy.LastShotTick;
            ++volleys;
        }
        ClearShots(enemy);
        enemy.ShotsInFlight = 0;
    }
    EXPECT_GT(volleys, 3);
    EXPECT_EQ(CountOccupied(Gun().Shots), 0u);
}

TEST_F(PlayerTest, ProjectileAnimationCyclesItsFramesOnlyForAnimatedKinds) {
    TPulya skull(6, 100, 300, 0.0, Game().FrameTick), plain(2, 100, 300, 0.0, Game().FrameTick);
    int wraps = 0;
    uint8_t last = 0;
    for (int i = 0; i < 20; ++i) {
        AdvanceGameClock(201);
        skull.Step(Game().FrameTick);
        plain.Step(Game().FrameTick);
        if (skull.Frame < last) ++wraps;
        last = skull.Frame;
        EXPECT_LT(skull.Frame, 8);
        EXPECT_EQ(plain.Frame, 0);
    }
    EXPECT_EQ(wraps, 2);
}

TEST_F(PlayerTest, LifeBarLengthUsesSinglePrecisionScale) {
    struct Case {
        uint16_t length, maxLife;
        int32_t life, pixels;
    };
    for (const Case c : {Case{225, 3000, 3000, 225}, Case{225, 3000, 1500, 113}, Case{75, 50, 20, 30}}) {
        int32_t life = c.life;
        TLineLive bar(life, c.length, c.maxLife);
        EXPECT_EQ(bar.Length(), c.pixels);
    }
}

TEST_F(PlayerTest, LifeBarShowsFor101Frames) {
    int32_t life = 50;
    TLineLive bar(life, 75, 50);
    bar.Visible = true;
    bar.Draw(*target, 100, 100);
    int shown = 0;
    while (bar.Visible && shown < 500)
        bar.Step(), ++shown;
    EXPECT_EQ(shown, 101);
    EXPECT_EQ(target->Pixel(102, 90), LifeBarColour);
    EXPECT_EQ(target->Pixel(102 + 75, 90), 0u);
}

TEST_F(PlayerTest, UpgradeRunsOutBackToTheStandardGun) {
    EXPECT_EQ(Ship().UpgradeSeconds, StandardGunSeconds);
    Gun().SetWeapon(1);
    Ship().UpgradeSeconds = 30;
    Ship().UpgradeTick = Game().FrameTick;
    int steps = 0;
    while (Gun().RateIndex == 1 && steps < 100)
        ShipFrames(1, 1001), ++steps;
    EXPECT_EQ(steps, 31);
    EXPECT_EQ(Ship().UpgradeSeconds, StandardGunSeconds);
}

TEST_F(PlayerTest, MegaSkullFiresFirstThenTheBombNeedsAnotherCharge) {
    Game().Engine->Ships[0] = std::make_unique<TEnemyShip>(Game(), 0, 0, 100, 100);
    Game().Asteroids[0] = std::make_unique<TAsteroid>(Game(), 0);
    Game().Engine->Boss = std::make_unique<TBaseBoss>(Game(), 0);
    const int32_t bossLife = Game().Engine->Boss->Life;
    Ship().MegaSkullReady = Ship().MegaBombReady = true;
    Ship().SpecialCharge = SpecialChargeFull - 1;
    KeyState[ScanSpace] = KeyDown;
    ShipFrames(1);
    EXPECT_FALSE(Ship().MegaSkullReady);
    EXPECT_TRUE(Ship().MegaBombReady);
    EXPECT_EQ(CountOccupied(Gun().Shots), 10u);
    ShipFrames(SpecialChargeFull - 1);
    EXPECT_TRUE(Ship().MegaBombReady);
    ShipFrames(1);
    EXPECT_FALSE(Ship().MegaBombReady);
    EXPECT_EQ(Game().Engine->Ships[0]->Life, -1);
    EXPECT_EQ(Game().Asteroids[0]->Strength, -1);
    EXPECT_EQ(Game().Engine->Boss->Life, bossLife - 100);
}

TEST_F(PlayerTest, BackgroundTileSizeComesFromTheSprite) {
    TRunBackground far(Game().Distance, Game().FrameTick, 800, 200, 2, 15);
    EXPECT_EQ(far.TileWidth, 512);
    EXPECT_EQ(far.TileHeight, 486);
    EXPECT_EQ(far.Columns, 1);
    EXPECT_EQ(far.Rows, 1);
    TRunBackground other(Game().Distance, Game().FrameTick, 123, 45, 20, 15);
    EXPECT_EQ(other.TileWidth, 123);
    EXPECT_EQ(other.Columns, 6);
}

TEST_F(PlayerTest, BackgroundStepsAtMostOncePerFrameAndWraps) {
    TRunBackground layer(Game().Distance, Game().FrameTick, 300, 200, 3, 15);
    const uint32_t distance = Game().Distance;
    for (int i = 0; i < 10; ++i)
        AdvanceGameClock(10), layer.Step();
    EXPECT_EQ(layer.OffsetY, 5);
    for (int i = 0; i < 10; ++i)
        AdvanceGameClock(100), layer.Step();
    EXPECT_EQ(layer.OffsetY, 15);
    EXPECT_EQ(Game().Distance, distance + 15);
    layer.OffsetY = 199;
    AdvanceGameClock(16);
    layer.Step();
    EXPECT_EQ(layer.OffsetY, 0);
}

// Every hit that costs energy flashes the ship, whatever struck it: each kind of enemy projectile,
// and a loss of energy or armour made anywhere else in the frame.
TEST_F(PlayerTest, EveryLossOfEnergyFlashesTheShip) {
    LoadSpriteStore();
    const auto expectFlashDrawn = [&] {
        ASSERT_TRUE(Ship().HitFlashing);
        ShipFrames(1);
        const int centreX = Ship().X + ShipWidth / 2, centreY = Ship().Y + ShipHeight / 2;
        EXPECT_EQ(target->Pixel(centreX, centreY),
                  ShipHitFlashSprite->Pixel(ShipWidth * (2 * Ship().Tilt + Ship().FlameFrame) + ShipWidth / 2,
                                            ShipHeight / 2));
    };
    for (uint8_t kind = 0; kind < ShotKindCount; ++kind) {
        SCOPED_TRACE(testing::Message() << "kind " << int(kind));
        ShipFrames(40); // the last flash is over
        ASSERT_FALSE(Ship().HitFlashing);
        Game().Energy = 100;
        int16_t x = 0, y = 0;
        TGunner gun(Game(), 2, 2, x, y, false);
        gun.FireOne(kind, 0, 0, 0, 0.0);
        gun.Shots[0]->X = Ship().X + 10;
        gun.Shots[0]->Y = Ship().Y + 10;
        gun.CheckShot(0);
        EXPECT_LT(Game().Energy, 100);
        expectFlashDrawn();
    }
    for (const bool armour : {false, true}) {
        SCOPED_TRACE(armour ? "armour" : "energy");
        ShipFrames(40);
        ASSERT_FALSE(Ship().HitFlashing);
        Game().Armour = 20;
        ShipFrames(1);
        if (armour)
            Game().Armour = 10;
        else
            Game().Energy = static_cast<int16_t>(Game().Energy - 5);
        ShipFrames(1);
        expectFlashDrawn();
    }
    FreeSpriteStore();
}
