// Tokens handed out by the version reply. A result is accepted only with a token
// that this server issued, that has not expired and that has not been used yet.
// The store holds at most Capacity tokens; when full, the oldest is forgotten.
#pragma once

#include <chrono>
#include <cstddef>
#include <list>
#include <mutex>
#include <random>
#include <string>
#include <string_view>
#include <unordered_map>

namespace scoreserver {

class TokenStore {
  public:
    using Clock = std::chrono::steady_clock;

    TokenStore(std::size_t capacity, Clock::duration lifetime);

    // A fresh random token of 32 hexadecimal digits, remembered from now on.
    std::string Issue(Clock::time_point now);

    // True, and the token is forgotten, if it was issued and is still valid at now.
    bool Consume(std::string_view token, Clock::time_point now);

    std::size_t Size() const;
    Clock::duration Lifetime() const { return lifetime_; }

  private:
    struct Entry {
        std::string Token;
        Clock::time_point IssuedAt;
    };
    void DropExpired(Clock::time_point now);

    const std::size_t capacity_;
    const Clock::duration lifetime_;
    mutable std::mutex mutex_;
    std::random_device random_;
    std::list<Entry> byAge_;                                                   // oldest first
    std::unordered_map<std::string_view, std::list<Entry>::iterator> byToken_; // keys view byAge_ strings
};

} // namespace scoreserver
