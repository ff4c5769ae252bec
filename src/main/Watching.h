// Watching a recorded game: its game played again from the replay, with the real screens and sound, at
// 1x, 2x, 4x or 8x; P pauses, Escape goes back to where the watching began. At the higher speeds the
// frames between two pictures run without being drawn.
#pragma once

#include "core/ScreenState.h"
#include "main/ReplayPlayer.h"
#include "replay/ReplayFile.h"

#include <cstdint>
#include <memory>
#include <string>

class Surface;
class TForm1;

inline constexpr uint8_t WatchSpeeds[] = {1, 2, 4, 8};
inline constexpr size_t WatchSpeedCount = sizeof WatchSpeeds;
// The speed's caption shows this long after the start and after each change.
inline constexpr uint32_t WatchCaptionMs = 2000;

struct WatchedReplay {
    Replay replay;
    std::unique_ptr<ReplayPlayer> player; // plays `replay`, which stays where it is
    std::unique_ptr<Surface> picture;     // the last frame shown, shown again while no frame is due
    std::unique_ptr<Surface> unseen;      // where the frames that are not shown run
    size_t speedIndex = 0;
    bool paused = false;
    uint32_t lastClock = 0;
    uint64_t owedMs = 0; // replay time due that no frame has used yet
    uint32_t captionShownAt = 0;
    Screen backTo = ScreenMainMenu;
};

inline constexpr const char* ReplayMissingNotice = "There is no such replay file";
inline constexpr const char* ReplayDamagedNotice = "This replay is damaged and cannot be played";
inline constexpr const char* ReplayNotFetchedNotice = "The replay could not be downloaded";
inline constexpr const char* ReplayOtherBuildNotice =
    "This replay was recorded by another version of the game";

// Starts watching the replay file at `path` (or at a web address, fetched into memory), coming back to
// `backTo`. A damaged file, one of another build or one that cannot be fetched is told in one line (the
// notice; the reason on stderr) and nothing starts: false.
bool StartWatchingReplay(TForm1& form, const std::string& path, Screen backTo);
// The frames due since the last pass, the last of them drawn on `target`; the end of the replay goes back.
void RunWatchedFrames(TForm1& form, Surface& target);
