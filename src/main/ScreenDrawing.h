// The pieces of drawing the screens share: the menu picture, the header, titles, the panels over a
// frozen picture, and the high-score table. Drawing changes nothing.
#pragma once

#include "persistence/PersistenceState.h"
#include "platform/Surface.h"
#include "replay/ReplayShelf.h"

#include <array>
#include <cstdint>
#include <string>

// What a screen draws on: the frame's picture, and the frozen picture kept under the pause and the
// questions. Drawing functions that return bool say false when a blit failed and the surfaces must be
// restored (the form does that).
struct Canvas {
    Surface& target;
    const Surface& frozen;
};

// The full-screen menu picture.
bool DrawMenuBackground(const Canvas& canvas);
// A picture of the interface sprites at (x, y), colour-keyed unless told otherwise.
void DrawPicture(const Canvas& canvas, int picture, int x, int y, bool keyed = true);
// The logo and the frame of the heading at the top of the menu screens.
void DrawHeaderPair(const Canvas& canvas);
void DrawScreenTitle(const Canvas& canvas, int x, const std::string& title);

// The main menu's panel and its items (the intro shows them too).
void DrawMainMenuPanel(const Canvas& canvas);

// A line of text on a panel; texts are built once, so drawing a screen allocates nothing.
struct PanelText {
    int x;
    int y;
    std::string text;
};
// "Exit game?", asked over the menu and over the running game.
extern const PanelText ExitGameText;
void DrawPanelText(const Canvas& canvas, const PanelText& line, int height, int width, uint32_t colour);
// The frozen picture under the panel; false when the blit failed.
bool DrawSavedScreen(const Canvas& canvas);
// The question panel at x.
void DrawPanel(const Canvas& canvas, int x);

// The headings and the ten rows of the high-score table.
void DrawHiScores(Surface& target);
// Marks the rows whose game has a replay (an outline for one of another version, which cannot be
// watched), and frames the one chosen (-1: none).
void DrawReplayMarks(Surface& target, const std::array<TableReplayFile, HiScoreCount>& replayFiles,
                     int chosenRow);
// The table's row at a point of the screen (its mark included), or -1.
int HiScoreRowAt(int x, int y);
// Pictures kept between frames are made again from the next frame on (the sprite store was reloaded).
void ForgetScreenPictures();
