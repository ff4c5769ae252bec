// The one clock of the program: the millisecond tick count and sleeping. Tests switch it to a clock
// they set by hand, so every timed rule can be stepped exactly.
#pragma once

#include <cstdint>

uint32_t GetTickCount();
void SleepMs(uint32_t ms);
// Sleeps until the tick count reaches the target, waking early enough to spin the last millisecond.
void SleepUntil(uint32_t target);

void UseTestClock(uint32_t startTick);
void UseSystemClock();
bool TestClockActive();
void SetTestClock(uint32_t tick);
void AdvanceTestClock(uint32_t ms);
