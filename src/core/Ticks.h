// Millisecond ticks wrap after 49 days: compare differences, never values.
#pragma once

#include <cstdint>

inline uint32_t TicksSince(uint32_t now, uint32_t then) {
    return now - then;
}

// A timed step is due when strictly more than its interval has passed.
inline bool IntervalPassed(uint32_t now, uint32_t then, uint32_t interval) {
    return TicksSince(now, then) > interval;
}
