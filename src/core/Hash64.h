// A 64-bit hash of bytes (FNV-1a), fed piece by piece: the same bytes in the same order give the same
// value on every machine. Sums up a game's state and the rule tables; not for secrets.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

class Hash64 {
  public:
    void Add(std::span<const uint8_t> bytes) {
        for (const uint8_t byte : bytes)
            value = (value ^ byte) * Prime;
    }
    void Add(std::string_view text) {
        Add(std::span(reinterpret_cast<const uint8_t*>(text.data()), text.size()));
    }
    // A whole number by its value, low byte first, whatever the machine's byte order.
    void AddNumber(uint64_t number, size_t bytes = 8) {
        for (size_t i = 0; i < bytes; ++i) {
            value = (value ^ static_cast<uint8_t>(number)) * Prime;
            number >>= 8;
        }
    }
    uint64_t Value() const { return value; }

  private:
    static constexpr uint64_t Prime = 0x100000001b3ULL;
    uint64_t value = 0xcbf29ce484222325ULL;
};
