// Tokens handed out by the version reply. A result is accepted only with a token
// that this store signed, that has not expired and that has not been used yet.
// A token carries its issue time and a signature under a secret key, so issuing
// one stores nothing and no flood of version requests can push a player's token
// out. Only spent tokens are remembered, until they expire: at most Capacity of
// them. When more are spent, the oldest are forgotten and every token issued up
// to the last forgotten one is refused from then on, so none is good twice.
#pragma once

#include <array>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <string_view>

namespace scoreserver {

class TokenStore {
  public:
    // The wall clock: servers sharing a key read each other's issue times.
    using Clock = std::chrono::system_clock;
    using Key = std::array<uint64_t, 2>;

    TokenStore(std::size_t capacity, Clock::duration lifetime, Key key = RandomKey());

    static Key RandomKey();
    // A key as 32 hexadecimal digits, to be kept where several servers find it.
    static std::string KeyText(const Key& key);
    static std::optional<Key> ReadKey(std::string_view text);

    // When a token says it was issued, in ms since 1970; its signature is not checked.
    static std::optional<int64_t> IssuedMs(std::string_view token);

    // A fresh token of 32 hexadecimal digits: issue time, serial number, signature.
    std::string Issue(Clock::time_point now);

    // The token's stamp (issue time and serial) if this key signed it and it is
    // still valid at now; spent or not is not checked.
    std::optional<uint64_t> Check(std::string_view token, Clock::time_point now) const;

    // True, and the token is spent, if it is valid at now and was not spent before.
    bool Consume(std::string_view token, Clock::time_point now);

    std::size_t Spent() const;
    Clock::duration Lifetime() const { return lifetime_; }

  private:
    uint64_t LifetimeMilliseconds() const;
    bool Expired(uint64_t stamp, Clock::time_point now) const;
    void ForgetExpired(Clock::time_point now);

    const std::size_t capacity_;
    const Clock::duration lifetime_;
    const Key key_;
    mutable std::mutex mutex_;
    uint32_t serial_;
    std::set<uint64_t> spent_; // stamps, which sort by issue time
    uint64_t floor_ = 0;       // stamps up to this one are refused
};

} // namespace scoreserver
