// The menu widgets the shell owns: created once with the sprite store, kept across reloads, freed at
// the end.
#pragma once

#include "DXCtrl/TDDBtnCollection.h"
#include "DXCtrl/TDDEdit.h"
#include "DXCtrl/TDDOptBtnCollection.h"
#include "DXCtrl/TDDTextBtnCollection.h"
#include "main/MainState.h"

#include <memory>

// Main menu items, high-score buttons and help-page buttons, in their order on screen.
enum MainMenuItem : int { ItemNewGame, ItemOptions, ItemHiScores, ItemHelp, ItemWebSite, ItemExit };
enum HiScoreItem : int { ItemClearTable, ItemOnlineTable, ItemHiScoreBack };
enum PageItem : int { ItemPreviousPage, ItemNextPage, ItemPageBack };
enum OptionsItem : int {
    ItemDisplay,
    ItemMusic,
    ItemSound,
    ItemCountry,
    ItemBossKey,
    ItemOptionsBack,
    ItemControls, // a row below the boss key's, to the controls screen
};

// The options screen draws its labels and faces at the item rectangles.
inline constexpr TRect OptionItemRects[TDDOptBtnCollection::ItemCount] = {
    {295, 226, 437, 256}, {322, 287, 390, 317}, {322, 347, 390, 377}, {305, 409, 677, 450},
    {305, 473, 491, 509}, {614, 533, 730, 584}, {305, 533, 491, 569},
};

// Creates whatever does not exist yet (FreeMenuWidgets, in MainState.h, frees them).
void CreateMenuWidgets();
// A click: the current screen's collection takes the item under the pointer, then every collection
// notes whether the pointer is on one of its items.
void CheckAllMenuWidgets();
void SetOptionsMouseMode();
// The stored country goes into the options screen's field; the configuration reads it back from there
// whenever it is saved.
void ApplyCountryToOptionsScreen();
// The name as the name entry's field holds it (the last name typed, before a new entry).
std::string NameEntryText();
// Saves Config.cfg as the screens leave it: the country as its field shows it, then the whole file;
// the kept replays of games no longer on the saved table go. False when the save failed (the file says
// why on stderr).
bool SaveSettings();
