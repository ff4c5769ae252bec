// The keys and pad buttons in force, put into words: the controls screen's rows, the controls help page
// and the --help text all say what the player's controls are, never what they were by default.
#pragma once

#include "core/ControlBindings.h"
#include "core/PadButton.h"

#include <array>
#include <string>
#include <string_view>
#include <vector>

// What the screens call each control, in the order of GameControl.
inline constexpr std::array<std::string_view, GameControlCount> GameControlNames = {
    "Fly left", "Fly right", "Fly up", "Fly down", "Fire", "Special weapon", "Pause", "Quit game"};

// A name in the double quotes the help pages put around keys.
std::string Quoted(const std::string& name);
// A key's or a pad button's name as the controls screen shows it; empty for an empty slot.
std::string KeySlotText(const ControlBinding& binding, size_t slot);
std::string PadSlotText(const ControlBinding& binding, size_t slot, PadLabels labels);
// All of a control's keys or pad buttons, each in quotes, joined by "/" ("\"W\"/\"Up\""); empty for none.
std::string QuotedKeys(const ControlBinding& binding);
std::string QuotedPadButtons(const ControlBinding& binding, PadLabels labels);

// The keys and buttons a first start has (the dead zone aside): the controls help page then keeps its
// own words, otherwise it shows the player's table.
bool ControlsAsAtFirstStart(const ControlBindings& controls);
// The controls page's lines under "GAME NAVIGATIONS" for the first start's controls: its own lines
// about the keys, then the pad's buttons by the labels of the pad in use.
inline constexpr size_t ControlsPageLineCount = 8;
std::array<std::string, ControlsPageLineCount> FirstStartControlsPageLines(PadLabels labels);

// --help's "Keys:" and "Gamepad:" paragraphs, wrapped, each line ending in a newline.
std::string ControlsHelpText(const ControlBindings& controls, PadLabels labels);
