// Watching a recorded game: its game played again from the replay, with the real screens and sound, at
// 1x, 2x, 4x or 8x (that many recorded frames a frame of the program's clock); P pauses, Escape goes
// back to where the watching began; the arrows or the pad's d-pad jump ten seconds back or on, Home (the
// pad's Y) to the start. Only the pictures shown are drawn.
#pragma once

#include "core/ScreenState.h"
#include "main/ReplayPlayer.h"
#include "replay/ReplayFile.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class Surface;
class TForm1;

inline constexpr uint8_t WatchSpeeds[] = {1, 2, 4, 8};
inline constexpr size_t WatchSpeedCount = sizeof WatchSpeeds;
// The speed's caption shows this long after the start and after each change.
inline constexpr uint32_t WatchCaptionMs = 2000;
// A jump back or on is ten seconds of play; the game is kept as a snapshot every ten seconds as the
// replay reaches it, so a jump back replays at most ten seconds without pictures or sound.
inline constexpr size_t SeekFrames = 10'000 / GameFrameMs;

// The game as it stood after `frame` frames.
struct SeekPoint {
    size_t frame = 0;
    std::vector<uint8_t> snapshot;
};

struct WatchedReplay {
    Replay replay;
    std::unique_ptr<ReplayPlayer> player; // plays `replay`, which stays where it is
    std::vector<SeekPoint> seekPoints;    // in order of frame
    size_t speedIndex = 0;
    bool paused = false;
    uint32_t captionShownAt = 0;
    std::string timeText; // "1:05 / 4:12", rebuilt when its second changes
    size_t timeTextSecond = ~size_t{0};
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
// One frame of the program's clock: as many recorded frames as the speed says (none while paused); the
// end of the replay goes back.
void StepWatchedReplay(TForm1& form);
// Jumps to the moment after `frame` recorded frames (at most the last but one): from the nearest kept
// snapshot before it, the frames between run without pictures or sound.
void SeekWatchedReplay(WatchedReplay& watched, size_t frame);
// The watched game as it stands `fraction` of the way through its last frame, and the caption.
void DrawWatchedReplay(Surface& target, float fraction);
