// The menu widgets the shell owns: created once with the sprite store, kept across reloads.
#pragma once

void CreateMenuWidgets();
void FreeMenuWidgets();
// A click acts on the item under the last pointer position, for every collection in turn.
void CheckAllMenuWidgets();
void SetOptionsMouseMode();
void ApplyCountryToOptionsScreen();
