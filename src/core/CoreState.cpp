#include "core/CoreState.h"

#include "core/ScreenState.h"

Screen ScreenState = ScreenIntro;

void ResetCoreState() {
    ScreenState = ScreenIntro;
    RandSeed = 0;
    DataFolder.clear();
}
