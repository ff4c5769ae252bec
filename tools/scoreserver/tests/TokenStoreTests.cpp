#include <gtest/gtest.h>

#include <set>

#include "TokenStore.h"

namespace scoreserver {
namespace {

using namespace std::chrono_literals;
const TokenStore::Clock::time_point Start{};

TEST(TokenStore, TokenIsGoodForOneResultOnly) {
    TokenStore store(8, 600s);
    const std::string token = store.Issue(Start);
    EXPECT_EQ(token.size(), 32u);
    EXPECT_EQ(token.find_first_not_of("0123456789abcdef"), std::string::npos);
    EXPECT_FALSE(store.Consume("0123456789abcdef0123456789abcdef", Start)) << "never issued";
    EXPECT_TRUE(store.Consume(token, Start + 1s));
    EXPECT_FALSE(store.Consume(token, Start + 2s)) << "already used";
}

TEST(TokenStore, TokenExpiresAfterItsLifetime) {
    TokenStore store(8, 600s);
    const std::string early = store.Issue(Start);
    const std::string late = store.Issue(Start + 1s);
    EXPECT_FALSE(store.Consume(early, Start + 600s));
    EXPECT_TRUE(store.Consume(late, Start + 600s));
}

TEST(TokenStore, FullStoreForgetsTheOldestToken) {
    TokenStore store(3, 600s);
    std::vector<std::string> tokens;
    for (int i = 0; i < 5; ++i)
        tokens.push_back(store.Issue(Start + std::chrono::seconds(i)));
    EXPECT_EQ(store.Size(), 3u);
    EXPECT_FALSE(store.Consume(tokens[0], Start + 10s));
    EXPECT_FALSE(store.Consume(tokens[1], Start + 10s));
    for (int i = 2; i < 5; ++i)
        EXPECT_TRUE(store.Consume(tokens[i], Start + 10s)) << i;
    EXPECT_EQ(store.Size(), 0u);
}

TEST(TokenStore, TokensAreDistinct) {
    TokenStore store(1000, 600s);
    std::set<std::string> seen;
    for (int i = 0; i < 1000; ++i)
        seen.insert(store.Issue(Start));
    EXPECT_EQ(seen.size(), 1000u);
}

} // namespace
} // namespace scoreserver
