// A recording to listen to, made by driving the real shell: a tool, not a check (see the comment below).
#include "Harness.h"

#include "Game/TGame.h"
#include "Game/TGunner.h"
#include "Game/TMyShip.h"
#include "audio/Audio.h"
#include "core/ScreenState.h"
#include "persistence/Options.h"
#include "platform/Input.h"
#include "platform/SoundDevice.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <condition_variable>
#include <cstdlib>
#include <functional>
#include <iterator>
#include <mutex>
#include <string>

namespace {

// ---- The busiest minute, recorded --------------------------------------------------------------

// Runs the game from the mixer's own thread, buffer by buffer, so that a loaded machine still records
// what a player would hear: after each buffer is mixed the game plays the frames of the next one, and
// the sounds they start land in that buffer, as in play. A slow machine only makes the recording take
// longer than it lasts.
struct MixerDrivenGame {
    std::function<bool()> frame; // one 6 ms frame of play; false once the recording is complete
    double gameMs = 0;
    double mixedMs = 0;
    std::mutex mutex;
    std::condition_variable finished;
    bool done = false;
    std::atomic<bool> ready{false};

    static void AfterEachBuffer(const void*, size_t frames, void* data) {
        auto& game = *static_cast<MixerDrivenGame*>(data);
        const double bufferMs = 1000.0 * static_cast<double>(frames) / MixerRate;
        if (!game.ready || game.done) return;
        game.mixedMs += bufferMs;
        for (; game.gameMs + 6 <= game.mixedMs + bufferMs; game.gameMs += 6) {
            if (game.frame()) continue;
            std::lock_guard lock(game.mutex);
            game.done = true;
            game.finished.notify_all();
            return;
        }
    }
    void WaitUntilDone() {
        std::unique_lock lock(mutex);
        finished.wait(lock, [&] { return done; });
    }
};

// Plays the title tune with menu clicks, then a minute of the game with the fire held, every gun in
// turn, and every five seconds of play a mega-bomb (ten blasts) or a lost life (five explosions at
// once). Run by hand, with the parts to record (mix, music or effects):
//   SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE=mix.raw VANTORIX_RECORD=mix
//     build/test/tools/shots/vantorix-shots --gtest_filter='Recording.*'
// and measure the file with scripts/mix-levels.
TEST(Recording, BusiestMinute) {
    const char* partsVariable = std::getenv("VANTORIX_RECORD");
    const std::string parts = partsVariable ? partsVariable : "mix";
    MixerDrivenGame game;
    WatchMixedOutput(MixerDrivenGame::AfterEachBuffer, &game);
    Harness h("", 4242);
    ASSERT_TRUE(h.Started());
    Options.MusicEnabled = parts != "effects";
    SetSoundEnabled(parts != "music");
    if (!Options.MusicEnabled) StopMusic();

    constexpr long TitleFrames = 8000 / 6, GameFrames = 60000 / 6;
    constexpr uint8_t PlayerGuns[] = {0, 1, 8, 3, 5};
    long frame = 0, playFrames = 0, events = 0;
    auto playOneFrame = [&]() {
        if (frame < TitleFrames) {
            if (frame % 120 == 0) h.PressKey(SDLK_DOWN);
        } else if (frame == TitleFrames) {
            h.Form().StartGame();
        } else if (!CurrentGame || ScreenState != ScreenGame || frame >= TitleFrames + GameFrames) {
            return false;
        } else {
            const bool left = (frame / 90) % 2 == 0;
            SetTestKeyHeld(ScanLeftCtrl, true);
            SetTestKeyHeld(ScanLeft, left);
            SetTestKeyHeld(ScanRight, !left);
            SetTestKeyHeld(ScanSpace, false);
            TGame& game = *CurrentGame;
            game.Lives = std::max<int16_t>(game.Lives, 3);
            if (game.Phase == GamePhase::Play) {
                game.Ship->Gun->SetWeapon(PlayerGuns[(frame / 1000) % std::size(PlayerGuns)]);
                game.Ship->UpgradeSeconds = 30;
                // Every five seconds of play: a mega-bomb, then a lost life, in turn.
                if (++playFrames % 833 == 0 && events++ % 2 == 1) {
                    game.Energy = 0;
                } else if (playFrames % 833 == 0) {
                    game.Ship->MegaBombReady = true;
                    game.Ship->SpecialCharge = SpecialChargeFull;
                    SetTestKeyHeld(ScanSpace, true);
                }
            }
        }
        h.Step(1, 6);
        ++frame;
        return true;
    };
    game.frame = playOneFrame;
    game.ready = true;
    game.WaitUntilDone();
    WatchMixedOutput(nullptr, nullptr);
    ClearTestInput();
    EXPECT_EQ(frame, TitleFrames + GameFrames);
}

} // namespace
