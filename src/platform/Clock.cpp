#include "platform/Clock.h"

#include <algorithm>
#include <chrono>
#include <thread>

namespace {
using SteadyClock = std::chrono::steady_clock;

bool testClockActive = false;
uint64_t testMicroseconds = 0; // the test clock, finer than its ticks so a display's refresh can be set
// The tick count is whole milliseconds since the first time anything asked for the time, so the
// moment a tick begins is known exactly and can be slept to.
SteadyClock::time_point Origin() {
    static const SteadyClock::time_point origin = SteadyClock::now();
    return origin;
}

uint64_t SystemMicroseconds() {
    return static_cast<uint64_t>(
        std::chrono::duration_cast<std::chrono::microseconds>(SteadyClock::now() - Origin()).count());
}
} // namespace

uint32_t GetTickCount() {
    // Kept 32 bits wide on purpose: differences wrap after 49 days, like the system tick count.
    return static_cast<uint32_t>((testClockActive ? testMicroseconds : SystemMicroseconds()) / 1000);
}

uint64_t GetMicroseconds() {
    return testClockActive ? testMicroseconds : SystemMicroseconds();
}

void SleepMs(uint32_t ms) {
    if (testClockActive)
        testMicroseconds += uint64_t{ms} * 1000;
    else
        std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

void SleepUntil(uint32_t target) {
    if (testClockActive) {
        const int32_t ticksAway = static_cast<int32_t>(target - GetTickCount());
        if (ticksAway > 0)
            testMicroseconds = (testMicroseconds / 1000 + static_cast<uint64_t>(ticksAway)) * 1000;
        return;
    }
    // One sleep to the first microsecond of the target tick: no spinning, no early wake-up.
    if (static_cast<int32_t>(target - GetTickCount()) > 0) SleepUntilMicroseconds(MicrosecondsAtTick(target));
}

uint64_t MicrosecondsAtTick(uint32_t tick) {
    const uint64_t now = GetMicroseconds();
    const int64_t ticksAway = static_cast<int32_t>(tick - GetTickCount());
    const int64_t start = static_cast<int64_t>(now / 1000 * 1000) + ticksAway * 1000;
    return start > 0 ? static_cast<uint64_t>(start) : 0;
}

void SleepUntilMicroseconds(uint64_t target) {
    if (testClockActive) {
        testMicroseconds = std::max(testMicroseconds, target);
        return;
    }
    std::this_thread::sleep_until(Origin() + std::chrono::microseconds(target));
}

void UseTestClock(uint32_t startTick) {
    testClockActive = true;
    testMicroseconds = uint64_t{startTick} * 1000;
}
void UseSystemClock() {
    testClockActive = false;
}
bool TestClockActive() {
    return testClockActive;
}
void SetTestClock(uint32_t tick) {
    testMicroseconds = uint64_t{tick} * 1000;
}
void AdvanceTestClock(uint32_t ms) {
    testMicroseconds += uint64_t{ms} * 1000;
}
