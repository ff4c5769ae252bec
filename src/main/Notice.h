// A one-line notice laid over whatever screen is drawn for a few seconds: how the shell tells the
// player about something that went wrong behind a screen that has already moved on (a score that
// could not be saved, a browser that could not be started).
#pragma once

#include "platform/Surface.h"

#include <cstdint>
#include <string>

inline constexpr uint32_t NoticeShowMs = 4000;

inline constexpr const char* NoBrowserNotice = "No web browser could be started";
inline constexpr const char* NameMissingNotice = "Please type your name first";
inline constexpr const char* ResultSentNotice = "Your result was sent";
inline constexpr const char* ResultNotSentNotice = "Your result was not sent";
inline constexpr const char* ReplayNotSentNotice = "Your result was sent, but not its replay";
inline constexpr const char* ScoreNotSavedNotice = "Your score could not be saved to Config.cfg";
inline constexpr const char* ReplayNotSavedNotice = "The replay of your game could not be saved";
inline constexpr const char* ControlsNotSavedNotice = "Your controls could not be saved to Controls.cfg";

// Shows `text` from now on for NoticeShowMs, in place of any notice still showing.
void ShowNotice(const std::string& text);
// The notice showing now; empty when there is none.
const std::string& CurrentNotice();
// Lays the notice, if one is showing, over the finished picture of a frame.
void DrawNotice(Surface& target);
// Takes any notice away (a new program start).
void ClearNotice();
