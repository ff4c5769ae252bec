#include "main/GameRecording.h"

#include "Game/GameSnapshot.h"
#include "Game/RulesIdentity.h"
#include "Game/TGame.h"
#include "main/GameVersion.h"
#include "main/MainState.h"
#include "main/Notice.h"
#include "replay/ReplayShelf.h"

#include <cstdio>

namespace {

void TellUnsavedReplay(const std::string& reason) {
    std::fprintf(stderr, "vantorix: the replay could not be saved: %s\n", reason.c_str());
    ShowNotice(ReplayNotSavedNotice);
}

} // namespace

void StartRecordingGame(uint32_t startSeed) {
    FinishedGameReplay.reset();
    GameRecorder.Start({RulesVersion, RulesHash(), GameVersion, startSeed, {}, 0});
}

void RecordGameFrame(const GameFrameInput& input, const TGame& game) {
    GameRecorder.RecordFrame(input.Controls);
    if (GameRecorder.StateHashDue()) GameRecorder.AddStateHash(GameStateHash(game));
}

void FinishRecordedGame(const TGame& game, const std::string& name) {
    if (!GameRecorder.Recording()) return; // never recorded, or too long to keep
    FinishedGameReplay = GameRecorder.Finish(name, game.Score, game.StageNumber, GameStateHash(game));
    std::string reason;
    if (!KeepLastGameReplay(*FinishedGameReplay, reason)) TellUnsavedReplay(reason);
}

void KeepFinishedGameForTable(const std::string& name) {
    if (!FinishedGameReplay) return;
    FinishedGameReplay->PlayerName = name.substr(0, MaxReplayText);
    std::string reason;
    if (!KeepTableReplay(*FinishedGameReplay, reason) || !KeepLastGameReplay(*FinishedGameReplay, reason))
        TellUnsavedReplay(reason);
}

std::vector<uint8_t> FinishedGameReplayBytes() {
    return FinishedGameReplay ? WriteReplay(*FinishedGameReplay) : std::vector<uint8_t>{};
}
