#include <gtest/gtest.h>

#include <set>

#include "TokenStore.h"

namespace scoreserver {
namespace {

using namespace std::chrono_literals;
const TokenStore::Clock::time_point Start = TokenStore::Clock::time_point() + 20000 * 24h;

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
    EXPECT_FALSE(store.Consume(store.Issue(Start + 2 * 600s), Start)) << "from further ahead than a lifetime";
}

TEST(TokenStore, OnlyTheKeyThatSignedATokenTakesItAndNoDigitCanChange) {
    TokenStore store(8, 600s);
    TokenStore other(8, 600s);
    const std::string token = store.Issue(Start);
    EXPECT_FALSE(other.Consume(token, Start));
    for (std::size_t at = 0; at < token.size(); ++at) {
        std::string changed = token;
        changed[at] = changed[at] == '0' ? '1' : '0';
        EXPECT_FALSE(store.Check(changed, Start)) << at;
    }
    EXPECT_FALSE(store.Check(token.substr(0, 31), Start));
    EXPECT_FALSE(store.Check(token + "0", Start));
    EXPECT_TRUE(store.Consume(token, Start));
}

TEST(TokenStore, NoNumberOfTokensIssuedLaterVoidsAnEarlierOne) {
    TokenStore store(8, 600s);
    const std::string mine = store.Issue(Start);
    for (int i = 0; i < 100000; ++i)
        store.Issue(Start + 1ms * (i / 100));
    EXPECT_TRUE(store.Consume(mine, Start + 599s));
}

TEST(TokenStore, WhenMoreAreSpentThanRememberedOlderTokensAreRefusedNeverTakenTwice) {
    TokenStore store(3, 600s);
    std::vector<std::string> tokens;
    for (int i = 0; i < 6; ++i)
        tokens.push_back(store.Issue(Start + std::chrono::seconds(i)));
    const std::string unspent = tokens[0];
    for (int i = 1; i < 5; ++i)
        EXPECT_TRUE(store.Consume(tokens[static_cast<std::size_t>(i)], Start + 10s)) << i;
    EXPECT_EQ(store.Spent(), 3u);
    for (int i = 1; i < 5; ++i)
        EXPECT_FALSE(store.Consume(tokens[static_cast<std::size_t>(i)], Start + 10s)) << i;
    EXPECT_FALSE(store.Consume(unspent, Start + 10s)) << "issued before the forgotten ones";
    EXPECT_TRUE(store.Consume(tokens[5], Start + 10s));
    EXPECT_TRUE(store.Consume(store.Issue(Start + 700s), Start + 700s));
    EXPECT_EQ(store.Spent(), 1u) << "expired ones are forgotten";
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
