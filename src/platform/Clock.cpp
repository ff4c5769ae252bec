#include "platform/Clock.h"

#include <SDL.h>

namespace {
bool testClockActive = false;
uint32_t testTick = 0;
} // namespace

uint32_t GetTickCount() {
    return testClockActive ? testTick : SDL_GetTicks();
}

void SleepMs(uint32_t ms) {
    if (testClockActive)
        testTick += ms;
    else
        SDL_Delay(ms);
}

void SleepUntil(uint32_t target) {
    if (testClockActive) {
        if (static_cast<int32_t>(target - testTick) > 0) testTick = target;
        return;
    }
    // SDL_Delay may oversleep by a scheduler slice, so sleep to a millisecond short of the target.
    int32_t left = static_cast<int32_t>(target - SDL_GetTicks());
    if (left > 1) SDL_Delay(static_cast<uint32_t>(left - 1));
    while (static_cast<int32_t>(target - SDL_GetTicks()) > 0)
        SDL_Delay(0);
}

void UseTestClock(uint32_t startTick) {
    testClockActive = true;
    testTick = startTick;
}
void UseSystemClock() {
    testClockActive = false;
}
bool TestClockActive() {
    return testClockActive;
}
void SetTestClock(uint32_t tick) {
    testTick = tick;
}
void AdvanceTestClock(uint32_t ms) {
    testTick += ms;
}
