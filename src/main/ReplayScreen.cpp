// The watched replay as a screen: the game draws itself (the form runs the watched frames); P or Space
// pauses, 1-4 or the arrows choose the speed, Escape goes back. The pad: Start or A pauses, left and
// right on the d-pad or the shoulders choose the speed, B or Back goes back.
#include "main/Watching.h"

#include "Game/TGame.h"
#include "audio/Audio.h"
#include "graphics/GraphicsState.h"
#include "graphics/SpriteStore.h"
#include "graphics/Text.h"
#include "main/Form.h"
#include "main/GameVersion.h"
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

// A recorded pause or stall is not sat through: no frame waits longer than this to be shown.
constexpr uint32_t LongestWaitMs = 250;
// After a stall of the program the watching picks up where it was rather than racing to catch up.
constexpr uint32_t LongestPassMs = 100;

const std::array<std::string, WatchSpeedCount> SpeedCaptions = {"Replay 1x", "Replay 2x", "Replay 4x",
                                                                "Replay 8x"};
const std::string PausedCaption = "Replay paused";
const std::string WatchingHint = "P pause    1-4 speed    Esc back";
// Below the HUD's top bar, clear of the stage caption in the middle of the field.
constexpr int CaptionY = 60;
constexpr int HintY = 92;

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

// How many of the next frames the owed time reaches, and the time they use.
size_t FramesDue(const WatchedReplay& watched, uint64_t& used) {
    const ReplayPlayer& player = *watched.player;
    size_t count = 0;
    used = 0;
    const size_t left = player.Recorded().Frames.size() - player.FramesRun();
    while (count < left) {
        const uint32_t step = std::min(player.TimeStepAhead(count), LongestWaitMs);
        if (used + step > watched.owedMs) break;
        used += step;
        ++count;
    }
    return count;
}

void DrawCaption(const WatchedReplay& watched, Surface& target) {
    if (!watched.paused && GetTickCount() - watched.captionShownAt >= WatchCaptionMs) return;
    const std::string& caption = watched.paused ? PausedCaption : SpeedCaptions[watched.speedIndex];
    DrawGameText(400, CaptionY, 26, 13, caption, target, ColourBrightGreen, AlignCentreTop, true);
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
    else if (key == VkRight || key == VkUp)
        StepSpeed(watched, 1);
    else if (key == VkLeft || key == VkDown)
        StepSpeed(watched, -1);
}

bool ReplayPad(TForm1&, PadButton button) {
    if (!Watching) return false;
    WatchedReplay& watched = *Watching;
    switch (button) {
    case PadButton::Start:
    case PadButton::A:
        TogglePause(watched);
        return true;
    case PadButton::Right:
    case PadButton::RightShoulder:
        StepSpeed(watched, 1);
        return true;
    case PadButton::Left:
    case PadButton::LeftShoulder:
        StepSpeed(watched, -1);
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
        std::error_code error;
        std::fprintf(stderr, "vantorix: %s\n", read.Error.c_str());
        ShowNotice(std::filesystem::exists(path, error) ? ReplayDamagedNotice : ReplayMissingNotice);
        return false;
    }
    if (const std::optional<std::string> reason = OtherBuildReason(*read.Read, {GameVersion, PackHash})) {
        std::fprintf(stderr, "vantorix: %s: %s\n", path.c_str(), reason->c_str());
        ShowNotice(ReplayOtherBuildNotice);
        return false;
    }
    auto watched = std::make_unique<WatchedReplay>();
    watched->unseen = Surface::CreateUnseen();
    watched->picture = Surface::Create(ScreenWidth, ScreenHeight);
    if (!watched->unseen || !watched->picture) {
        std::fprintf(stderr, "vantorix: there is no memory to watch %s\n", path.c_str());
        return false;
    }
    watched->replay = std::move(*read.Read);
    watched->player = std::make_unique<ReplayPlayer>(watched->replay);
    watched->backTo = backTo;
    watched->lastClock = GetTickCount();
    ShowCaption(*watched);
    Watching = std::move(watched);
    RequestScreen(ScreenReplay);
    if (Options.MusicEnabled) PlayMusic("2.xm");
    return true;
}

void RunWatchedFrames(TForm1&, Surface& target) {
    if (!Watching) return;
    WatchedReplay& watched = *Watching;
    const uint32_t now = GetTickCount();
    const uint32_t passed = std::min(now - watched.lastClock, LongestPassMs);
    watched.lastClock = now;
    if (!watched.paused) watched.owedMs += static_cast<uint64_t>(passed) * WatchSpeeds[watched.speedIndex];
    uint64_t used = 0;
    const size_t due = FramesDue(watched, used);
    watched.owedMs -= used;
    for (size_t i = 0; i + 1 < due; ++i)
        watched.player->RunNextFrame(*watched.unseen);
    if (due > 0) {
        watched.picture->Fill(ColourBlack); // as the shell clears the back buffer before a game frame
        watched.player->RunNextFrame(*watched.picture);
    }
    target.BlitWhole(*watched.picture, 0, 0, false);
    DrawCaption(watched, target);
    if (watched.player->Done()) StopWatching();
}

const ScreenHome ReplayHome = {nullptr, nullptr, ReplayKey, ReplayPad, PadKeys::None,
                               nullptr, nullptr, true,      true};
