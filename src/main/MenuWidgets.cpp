// No widgets until the menus land.
#include "main/MenuWidgets.h"

void CreateMenuWidgets() {}
void FreeMenuWidgets() {}
void CheckAllMenuWidgets() {}
void SetOptionsMouseMode() {}
void ApplyCountryToOptionsScreen() {}
