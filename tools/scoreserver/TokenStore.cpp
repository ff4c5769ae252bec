#include "TokenStore.h"

#include <cstdint>
#include <iterator>

namespace scoreserver {

TokenStore::TokenStore(std::size_t capacity, Clock::duration lifetime)
    : capacity_(capacity < 1 ? 1 : capacity), lifetime_(lifetime) {}

std::string TokenStore::Issue(Clock::time_point now) {
    constexpr std::string_view hex = "0123456789abcdef";
    std::lock_guard lock(mutex_);
    std::string token;
    while (token.empty() || byToken_.contains(token)) {
        token.clear();
        for (int word = 0; word < 4; ++word) {
            uint32_t bits = random_();
            for (int digit = 0; digit < 8; ++digit, bits >>= 4)
                token.push_back(hex[bits & 15]);
        }
    }

    DropExpired(now);
    if (byAge_.size() >= capacity_) {
        byToken_.erase(byAge_.front().Token);
        byAge_.pop_front();
    }
    byAge_.push_back(Entry{token, now});
    byToken_.emplace(byAge_.back().Token, std::prev(byAge_.end()));
    return token;
}

bool TokenStore::Consume(std::string_view token, Clock::time_point now) {
    std::lock_guard lock(mutex_);
    DropExpired(now);
    const auto found = byToken_.find(token);
    if (found == byToken_.end()) return false;
    const auto entry = found->second;
    byToken_.erase(found);
    byAge_.erase(entry);
    return true;
}

std::size_t TokenStore::Size() const {
    std::lock_guard lock(mutex_);
    return byAge_.size();
}

void TokenStore::DropExpired(Clock::time_point now) {
    while (!byAge_.empty() && now - byAge_.front().IssuedAt >= lifetime_) {
        byToken_.erase(byAge_.front().Token);
        byAge_.pop_front();
    }
}

} // namespace scoreserver
