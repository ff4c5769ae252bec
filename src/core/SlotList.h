// Slot lists: fixed arrays of owned objects. A new object takes the lowest empty slot; when every slot
// is taken it is simply not created.
#pragma once

#include <array>
#include <cstddef>
#include <memory>
#include <optional>

template <typename T, size_t N> using SlotList = std::array<std::unique_ptr<T>, N>;

template <typename T, size_t N> std::optional<size_t> LowestEmptySlot(const SlotList<T, N>& slots) {
    for (size_t i = 0; i < N; ++i)
        if (!slots[i]) return i;
    return std::nullopt;
}

template <typename T, size_t N> size_t CountOccupied(const SlotList<T, N>& slots) {
    size_t count = 0;
    for (const auto& slot : slots)
        if (slot) ++count;
    return count;
}
