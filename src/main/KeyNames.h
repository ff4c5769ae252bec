// The names shown for the boss key, by virtual-key code; "Bad" for every key that cannot be chosen.
#pragma once

#include <cstdint>
#include <string_view>

inline constexpr std::string_view BadKeyName = "Bad";

std::string_view KeyName(uint32_t key);
