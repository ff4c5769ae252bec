#include "TokenStore.h"

#include <random>

namespace scoreserver {
namespace {

// A stamp is the issue time in milliseconds since 1970 (44 bits, good until
// the year 2527) above a 20-bit serial number, so tokens issued in the same
// millisecond differ.
constexpr int SerialBits = 20;
constexpr uint64_t SerialMask = (uint64_t{1} << SerialBits) - 1;
constexpr std::string_view Hex = "0123456789abcdef";

uint64_t Milliseconds(TokenStore::Clock::time_point when) {
    const auto count = std::chrono::duration_cast<std::chrono::milliseconds>(when.time_since_epoch()).count();
    return count < 0 ? 0 : static_cast<uint64_t>(count);
}

uint64_t Rotate(uint64_t x, int bits) {
    return (x << bits) | (x >> (64 - bits));
}

// SipHash-2-4 of one 64-bit word: a keyed hash made to sign short inputs.
uint64_t Sign(const TokenStore::Key& key, uint64_t stamp) {
    uint64_t v0 = key[0] ^ 0x736f6d6570736575ULL;
    uint64_t v1 = key[1] ^ 0x646f72616e646f6dULL;
    uint64_t v2 = key[0] ^ 0x6c7967656e657261ULL;
    uint64_t v3 = key[1] ^ 0x7465646279746573ULL;
    auto round = [&] {
        v0 += v1, v1 = Rotate(v1, 13), v1 ^= v0, v0 = Rotate(v0, 32);
        v2 += v3, v3 = Rotate(v3, 16), v3 ^= v2;
        v0 += v3, v3 = Rotate(v3, 21), v3 ^= v0;
        v2 += v1, v1 = Rotate(v1, 17), v1 ^= v2, v2 = Rotate(v2, 32);
    };
    auto absorb = [&](uint64_t word) {
        v3 ^= word;
        round();
        round();
        v0 ^= word;
    };
    absorb(stamp);
    absorb(uint64_t{8} << 56); // the length of the input, in the last word
    v2 ^= 0xff;
    for (int i = 0; i < 4; ++i)
        round();
    return v0 ^ v1 ^ v2 ^ v3;
}

void AppendHex(std::string& out, uint64_t value) {
    for (int shift = 60; shift >= 0; shift -= 4)
        out.push_back(Hex[(value >> shift) & 15]);
}

std::optional<uint64_t> ReadHex(std::string_view text) {
    uint64_t value = 0;
    for (char c : text) {
        const std::size_t digit = Hex.find(c);
        if (digit == std::string_view::npos) return std::nullopt;
        value = value << 4 | digit;
    }
    return value;
}

} // namespace

TokenStore::TokenStore(std::size_t capacity, Clock::duration lifetime, Key key)
    : capacity_(capacity < 1 ? 1 : capacity), lifetime_(lifetime), key_(key),
      serial_(std::random_device()()) {}

TokenStore::Key TokenStore::RandomKey() {
    std::random_device random;
    auto word = [&] { return uint64_t{random()} << 32 | random(); };
    return {word(), word()};
}

std::string TokenStore::KeyText(const Key& key) {
    std::string text;
    AppendHex(text, key[0]);
    AppendHex(text, key[1]);
    return text;
}

std::optional<TokenStore::Key> TokenStore::ReadKey(std::string_view text) {
    if (text.size() != 32) return std::nullopt;
    const auto first = ReadHex(text.substr(0, 16));
    const auto second = ReadHex(text.substr(16));
    if (!first || !second) return std::nullopt;
    return Key{*first, *second};
}

std::optional<int64_t> TokenStore::IssuedMs(std::string_view token) {
    const auto stamp = token.size() == 32 ? ReadHex(token.substr(0, 16)) : std::nullopt;
    if (!stamp) return std::nullopt;
    return static_cast<int64_t>(*stamp >> SerialBits);
}

std::string TokenStore::Issue(Clock::time_point now) {
    uint64_t stamp = 0;
    {
        std::lock_guard lock(mutex_);
        stamp = Milliseconds(now) << SerialBits | (serial_++ & SerialMask);
    }
    std::string token;
    AppendHex(token, stamp);
    AppendHex(token, Sign(key_, stamp));
    return token;
}

std::optional<uint64_t> TokenStore::Check(std::string_view token, Clock::time_point now) const {
    if (token.size() != 32) return std::nullopt;
    const auto stamp = ReadHex(token.substr(0, 16));
    const auto signature = ReadHex(token.substr(16));
    if (!stamp || !signature || *signature != Sign(key_, *stamp)) return std::nullopt;
    // A token from the future (another server's clock runs ahead) counts as
    // new, unless it is further ahead than a whole lifetime.
    const uint64_t issued = *stamp >> SerialBits;
    if (Expired(*stamp, now) || issued >= Milliseconds(now) + LifetimeMilliseconds()) return std::nullopt;
    return stamp;
}

bool TokenStore::Consume(std::string_view token, Clock::time_point now) {
    const auto stamp = Check(token, now);
    if (!stamp) return false;
    std::lock_guard lock(mutex_);
    ForgetExpired(now);
    if (*stamp <= floor_ || !spent_.insert(*stamp).second) return false;
    if (spent_.size() > capacity_) {
        floor_ = *spent_.begin();
        spent_.erase(spent_.begin());
    }
    return *stamp > floor_;
}

std::size_t TokenStore::Spent() const {
    std::lock_guard lock(mutex_);
    return spent_.size();
}

uint64_t TokenStore::LifetimeMilliseconds() const {
    return static_cast<uint64_t>(std::chrono::duration_cast<std::chrono::milliseconds>(lifetime_).count());
}

bool TokenStore::Expired(uint64_t stamp, Clock::time_point now) const {
    return (stamp >> SerialBits) + LifetimeMilliseconds() <= Milliseconds(now);
}

void TokenStore::ForgetExpired(Clock::time_point now) {
    while (!spent_.empty() && Expired(*spent_.begin(), now))
        spent_.erase(spent_.begin());
}

} // namespace scoreserver
