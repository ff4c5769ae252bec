// The watched replay as a screen: the form runs the watched frames and draws the game; P or Space
// pauses, 1-4 or Up and Down choose the speed, Left and Right jump ten seconds back or on, Home to the
// start, Escape goes back. The pad: Start or A pauses, the shoulders choose the speed, left and right on
// the d-pad jump, Y goes to the start, B or Back goes back.
#include "main/Watching.h"

#include "Game/TGame.h"
#include "audio/Audio.h"
#include "graphics/SpriteStore.h"
#include "graphics/Text.h"
#include "main/Form.h"
#include "main/MainState.h"
#include "main/Notice.h"
#include "main/ReplayCheck.h"
#include "main/ScreenHome.h"
#include "main/Screens.h"
#include "online/ReplayDownload.h"
#include "online/WebAddress.h"
#include "persistence/Options.h"
#include "platform/Clock.h"
#include "platform/Display.h"
#include "platform/Input.h"
#include "platform/Surface.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <filesystem>
#include <system_error>

namespace {

const std::array<std::string, WatchSpeedCount> SpeedCaptions = {"Replay 1x", "Replay 2x", "Replay 4x",
                                                                "Replay 8x"};
const std::string PausedCaption = "Replay paused";
const std::string WatchingHint = "P pause    1-4 speed    Left/Right 10 s    Home start    Esc back";
// Below the HUD's top bar, clear of the stage caption in the middle of the field.
constexpr int CaptionY = 60;
constexpr int TimeY = 90;
constexpr int HintY = 114;

void ShowCaption(WatchedReplay& watched) {
    watched.captionShownAt = GetTickCount();
}

void SetSpeed(WatchedReplay& watched, size_t index) {
    watched.speedIndex = std::min(index, WatchSpeedCount - 1);
    ShowCaption(watched);
}

void StepSpeed(WatchedReplay& watched, int step) {
    const int index = static_cast<int>(watched.speedIndex) + step;
    SetSpeed(watched, static_cast<size_t>(std::clamp(index, 0, static_cast<int>(WatchSpeedCount) - 1)));
}

void KeepSeekPoint(WatchedReplay& watched) {
    const size_t frame = watched.player->FramesRun();
    if (frame % SeekFrames != 0) return;
    if (!watched.seekPoints.empty() && watched.seekPoints.back().frame >= frame) return;
    watched.seekPoints.push_back({frame, watched.player->Snapshot()});
}

void StepWatchedFrame(WatchedReplay& watched) {
    watched.player->StepNextFrame();
    KeepSeekPoint(watched);
}

// "m:ss / m:ss": where the replay stands and how long it is.
void RefreshTimeText(WatchedReplay& watched) {
    const size_t second = watched.player->FramesRun() * GameFrameMs / 1000;
    if (second == watched.timeTextSecond) return;
    watched.timeTextSecond = second;
    const size_t length = watched.replay.Frames.size() * GameFrameMs / 1000;
    char text[40];
    std::snprintf(text, sizeof text, "%zu:%02zu / %zu:%02zu", second / 60, second % 60, length / 60,
                  length % 60);
    watched.timeText = text;
}

void SeekBy(WatchedReplay& watched, int direction) {
    const size_t now = watched.player->FramesRun();
    SeekWatchedReplay(watched, direction < 0 ? now - std::min(now, SeekFrames) : now + SeekFrames);
}

void TogglePause(WatchedReplay& watched) {
    watched.paused = !watched.paused;
    ShowCaption(watched);
}

void StopWatching() {
    const Screen backTo = Watching ? Watching->backTo : ScreenMainMenu;
    Watching.reset();
    RequestScreen(backTo);
    if (Options.MusicEnabled) PlayMusic("1.xm");
}

void DrawCaption(const WatchedReplay& watched, Surface& target) {
    if (!watched.paused && GetTickCount() - watched.captionShownAt >= WatchCaptionMs) return;
    const std::string& caption = watched.paused ? PausedCaption : SpeedCaptions[watched.speedIndex];
    DrawGameText(400, CaptionY, 26, 13, caption, target, ColourBrightGreen, AlignCentreTop, true);
    DrawGameText(400, TimeY, 18, 9, watched.timeText, target, ColourBrightGreen, AlignCentreTop, false);
    DrawGameText(400, HintY, 16, 8, WatchingHint, target, ColourMediumGreen, AlignCentreTop, false);
}

void ReplayKey(TForm1&, uint16_t key) {
    if (!Watching) return;
    WatchedReplay& watched = *Watching;
    if (key == VkEscape || key == VkBack)
        StopWatching();
    else if (key == VkP || key == VkSpace)
        TogglePause(watched);
    else if (key >= '1' && key < '1' + WatchSpeedCount)
        SetSpeed(watched, key - '1');
    else if (key == VkUp)
        StepSpeed(watched, 1);
    else if (key == VkDown)
        StepSpeed(watched, -1);
    else if (key == VkRight)
        SeekBy(watched, 1);
    else if (key == VkLeft)
        SeekBy(watched, -1);
    else if (key == VkHome)
        SeekWatchedReplay(watched, 0);
}

bool ReplayPad(TForm1&, PadButton button) {
    if (!Watching) return false;
    WatchedReplay& watched = *Watching;
    switch (button) {
    case PadButton::Start:
    case PadButton::A:
        TogglePause(watched);
        return true;
    case PadButton::RightShoulder:
        StepSpeed(watched, 1);
        return true;
    case PadButton::LeftShoulder:
        StepSpeed(watched, -1);
        return true;
    case PadButton::Right:
        SeekBy(watched, 1);
        return true;
    case PadButton::Left:
        SeekBy(watched, -1);
        return true;
    case PadButton::Y:
        SeekWatchedReplay(watched, 0);
        return true;
    case PadButton::B:
    case PadButton::Back:
        StopWatching();
        return true;
    default:
        return false;
    }
}

} // namespace

bool StartWatchingReplay(TForm1&, const std::string& path, Screen backTo) {
    ReplayReadResult read;
    if (IsWebAddress(path)) {
        const ReplayDownload download = DownloadReplay(path);
        if (!download.Error.empty()) {
            std::fprintf(stderr, "vantorix: %s: %s\n", path.c_str(), download.Error.c_str());
            ShowNotice(ReplayNotFetchedNotice);
            return false;
        }
        read = ReadReplay(download.Bytes);
    } else {
        read = LoadReplayFile(path);
    }
    if (!read.Read) {
        std::fprintf(stderr, "vantorix: %s\n", read.Error.c_str());
        ShowNotice(read.Kind == ReplayReadError::OtherFormat ? ReplayOtherBuildNotice
                   : read.Kind == ReplayReadError::Missing   ? ReplayMissingNotice
                                                             : ReplayDamagedNotice);
        return false;
    }
    if (const std::optional<std::string> reason = OtherBuildReason(*read.Read, ThisBuild())) {
        std::fprintf(stderr, "vantorix: %s: %s\n", path.c_str(), reason->c_str());
        ShowNotice(ReplayOtherBuildNotice);
        return false;
    }
    auto watched = std::make_unique<WatchedReplay>();
    watched->replay = std::move(*read.Read);
    watched->player = std::make_unique<ReplayPlayer>(watched->replay);
    watched->backTo = backTo;
    watched->timeText.reserve(32);
    KeepSeekPoint(*watched);
    RefreshTimeText(*watched);
    ShowCaption(*watched);
    Watching = std::move(watched);
    RequestScreen(ScreenReplay);
    if (Options.MusicEnabled) PlayMusic("2.xm");
    return true;
}

void StepWatchedReplay(TForm1&) {
    if (!Watching) return;
    WatchedReplay& watched = *Watching;
    if (watched.paused) return;
    for (uint8_t frame = 0; frame < WatchSpeeds[watched.speedIndex] && !watched.player->Done(); ++frame)
        StepWatchedFrame(watched);
    RefreshTimeText(watched);
    if (watched.player->Done()) StopWatching();
}

void SeekWatchedReplay(WatchedReplay& watched, size_t frame) {
    ReplayPlayer& player = *watched.player;
    const size_t frames = watched.replay.Frames.size();
    frame = std::min(frame, frames > 0 ? frames - 1 : 0);
    const SeekPoint* from = nullptr;
    for (const SeekPoint& point : watched.seekPoints)
        if (point.frame <= frame) from = &point;
    // From the kept game before the frame, unless the game already stands between it and the frame.
    const size_t now = player.FramesRun();
    // A kept snapshot that does not restore is a fault of this build: the player starts the replay again
    // and the jump still reaches its moment, only slower.
    if (from && !(from->frame <= now && now <= frame) && !player.Restore(from->frame, from->snapshot))
        std::fprintf(stderr, "vantorix: the replay's game at frame %zu could not be restored\n", from->frame);
    SetSoundEnabled(false); // the frames on the way are not heard
    while (player.FramesRun() < frame && !player.Done())
        StepWatchedFrame(watched);
    SetSoundEnabled(Options.SoundEnabled);
    RefreshTimeText(watched);
    ShowCaption(watched);
}

void DrawWatchedReplay(Surface& target, float fraction) {
    if (!Watching) return;
    const WatchedReplay& watched = *Watching;
    // A paused game stands still: it is shown as its last frame left it.
    watched.player->Game().Draw(target, watched.paused ? 1.0f : fraction);
    DrawCaption(watched, target);
}

const ScreenHome ReplayHome = {nullptr, nullptr, ReplayKey, ReplayPad, PadKeys::None,
                               nullptr, nullptr, true,      true};
