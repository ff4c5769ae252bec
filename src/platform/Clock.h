// The one clock of the program: the millisecond tick count and sleeping. Tests switch it to a clock
// they set by hand, so every timed rule can be stepped exactly.
#pragma once

#include <cstdint>

uint32_t GetTickCount();
// The same clock in microseconds (the test clock's ticks times 1000), for pacing finer than a tick.
uint64_t GetMicroseconds();
void SleepMs(uint32_t ms);
// Sleeps until the tick count reaches the target (wakes at the start of that tick).
void SleepUntil(uint32_t target);
// Sleeps until GetMicroseconds reaches the target; the test clock jumps to it.
void SleepUntilMicroseconds(uint64_t target);
// GetMicroseconds at the start of a tick near the present one (ticks wrap; microseconds do not).
uint64_t MicrosecondsAtTick(uint32_t tick);

void UseTestClock(uint32_t startTick);
void UseSystemClock();
bool TestClockActive();
void SetTestClock(uint32_t tick);
void AdvanceTestClock(uint32_t ms);
