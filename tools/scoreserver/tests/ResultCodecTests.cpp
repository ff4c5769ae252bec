#include <gtest/gtest.h>

#include <string>

#include "ReferenceEncoder.h"
#include "ResultCodec.h"

namespace scoreserver {
namespace {

using reference::EncodeLikeTheGame;
using reference::ResultTextLikeTheGame;

constexpr std::string_view Token = "0123456789abcdef0123456789abcdef";

TEST(ResultDecoding, HandWorkedBytesDecode) {
    // 0x00 -> 00|00000|000 -> "00000","00000" -> M M; 0xFF -> 00111 11111 -> L 1.
    EXPECT_EQ(DecodeResult("MM").Text, std::string(1, '\0'));
    EXPECT_EQ(DecodeResult("L1").Text, std::string(1, '\xFF'));
}

TEST(ResultDecoding, RoundTripsEveryLengthAndEveryByte) {
    std::string allBytes;
    for (int b = 0; b < 256; ++b)
        allBytes += static_cast<char>(b);
    for (std::size_t length = 1; length <= allBytes.size(); ++length) {
        const std::string text = allBytes.substr(256 - length);
        const DecodedText decoded = DecodeResult(EncodeLikeTheGame(text));
        ASSERT_TRUE(decoded.Text) << "length " << length << ": " << decoded.Error;
        EXPECT_EQ(*decoded.Text, text);
    }
}

TEST(ResultDecoding, ResultTextOfFiveByteGroupsTakesEightCharactersEach) {
    const std::string text = ResultTextLikeTheGame("Beam", "12345", Token, "Norway");
    const std::string encoded = EncodeLikeTheGame(text);
    EXPECT_EQ(encoded.size(), text.size() / 5 * 8);
    EXPECT_EQ(DecodeResult(encoded).Text, text);
}

TEST(ResultDecoding, RejectsWhatTheEncoderCannotProduce) {
    struct Case {
        std::string Encoded;
        const char* Why;
    };
    const Case cases[] = {
        {"", "empty"},
        {"M", "too short for one byte"},
        {"MMM", "three characters leave seven fill bits"},
        {EncodeLikeTheGame("Vantorix") + "M", "one character too many"},
        {"mm", "lower case is not in the alphabet"},
        {"M0", "zero is not in the alphabet"},
        {"MO", "letter O is not in the alphabet"},
        {"M M", "space"},
        {std::string("M\0", 2), "NUL byte"},
        {"\xC3\x89M", "non-ASCII bytes"},
        {"JM", "two fill bits must be zero (J is 01001)"},
        {"1MMMM", "one fill bit must be zero (1 is 11111)"},
    };
    for (const Case& c : cases) {
        const DecodedText decoded = DecodeResult(c.Encoded);
        EXPECT_FALSE(decoded.Text) << c.Why;
        EXPECT_FALSE(decoded.Error.empty()) << c.Why;
    }
}

TEST(ResultText, FieldsOfAGameResultAreRead) {
    struct Case {
        std::string Name, Score, Country;
        int32_t Expected;
    };
    const Case cases[] = {
        {"Beam", "12345", "Norway", 12345},
        {"", "0", "", 0},
        {"Anna", "-250", "X", -250},
        {"Zed", "2147483647", "Chile", 2147483647},
        {"Zed", "-2147483648", "Chile", -2147483647 - 1},
        {"\xC3\x86r\xC3\xB8sk\xC3\xB8"
         "bing",
         "100", "D\xC3\xA4nemark", 100}, // ten characters, fourteen bytes
    };
    for (const Case& c : cases) {
        const ParsedResult parsed = ParseResultText(ResultTextLikeTheGame(c.Name, c.Score, Token, c.Country));
        ASSERT_TRUE(parsed.Result) << c.Name << " " << c.Score << ": " << parsed.Error;
        EXPECT_EQ(parsed.Result->Name, c.Name);
        EXPECT_EQ(parsed.Result->Score, c.Expected);
        EXPECT_EQ(parsed.Result->Country, c.Country);
        EXPECT_EQ(parsed.Result->Token, Token);
    }
}

TEST(ResultText, MalformedFieldsAreRejected) {
    const std::string token(Token);
    struct Case {
        std::string Text;
        const char* Why;
    };
    const Case cases[] = {
        {ResultTextLikeTheGame("Beam", "10", token, "No", 'X'), "wrong key letter"},
        {ResultTextLikeTheGame("Be|am", "10", token, "No"), "bar in the name"},
        {ResultTextLikeTheGame("Beam", "10", token, "N|o"), "bar in the country"},
        {ResultTextLikeTheGame("Abcdefghijk", "10", token, "No"), "eleven-letter name"},
        {ResultTextLikeTheGame("Beam", "10", token, "Abcdefghijk"), "eleven-letter country"},
        {ResultTextLikeTheGame("Be\x01m", "10", token, "No"), "control character in the name"},
        {ResultTextLikeTheGame("Be\xC2\x85m", "10", token, "No"), "C1 control character in the name"},
        {ResultTextLikeTheGame("Be\xFFm", "10", token, "No"), "invalid UTF-8"},
        {ResultTextLikeTheGame("Be\xE2\x80\x8Bm", "10", token, "No"), "zero-width space in the name"},
        {ResultTextLikeTheGame("\xE2\x80\xAEmaeB", "10", token, "No"), "right-to-left override"},
        {ResultTextLikeTheGame("Beam\xE2\x81\xA6", "10", token, "No"), "left-to-right isolate"},
        {ResultTextLikeTheGame("Be\xC2\xADm", "10", token, "No"), "soft hyphen"},
        {ResultTextLikeTheGame("Beam\xF3\xA0\x80\x81", "10", token, "No"), "tag character"},
        {ResultTextLikeTheGame("\xE3\x85\xA4", "10", token, "No"), "invisible filler for a name"},
        {ResultTextLikeTheGame("Beam", "10", token, "No\xEF\xBB\xBF"),
         "zero-width no-break space in the country"},
        {ResultTextLikeTheGame("Be\xC0\xAFm", "10", token, "No"), "overlong UTF-8"},
        {ResultTextLikeTheGame("Be\xED\xA0\x80m", "10", token, "No"), "UTF-8 surrogate"},
        {ResultTextLikeTheGame("Beam", "10", token, "N\xC3"), "truncated UTF-8 at the end"},
        {ResultTextLikeTheGame("Beam", "", token, "No"), "empty score"},
        {ResultTextLikeTheGame("Beam", "007", token, "No"), "leading zeros"},
        {ResultTextLikeTheGame("Beam", "+5", token, "No"), "plus sign"},
        {ResultTextLikeTheGame("Beam", "-0", token, "No"), "minus zero"},
        {ResultTextLikeTheGame("Beam", "-", token, "No"), "lone minus"},
        {ResultTextLikeTheGame("Beam", "2147483648", token, "No"), "score above 32 bits"},
        {ResultTextLikeTheGame("Beam", "-2147483649", token, "No"), "score below 32 bits"},
        {ResultTextLikeTheGame("Beam", "1e3", token, "No"), "not decimal"},
        {ResultTextLikeTheGame("Beam", "10", "", "No"), "empty token"},
        {ResultTextLikeTheGame("Beam", "10", "ab-cd", "No"), "token with punctuation"},
        {ResultTextLikeTheGame("Beam", "10", std::string(65, 'a'), "No"), "token too long"},
        {"type=1|name=Beam|score=10|key=V|p=" + token + "|add=No|z=000", "wrong type"},
        {"type=0|name=Beam|score=10|key=V|p=" + token + "|add=No|z=|x=00", "extra field"},
        {"type=0|name=Beam|score=10|key=V|p=" + token + "|z=0", "missing field"},
        {"type=0|nam=Beamm|score=10|key=V|p=" + token + "|add=No|z=00", "misspelt field"},
        {"type=0|score=10|name=Beam|key=V|p=" + token + "|add=No|z=00", "fields out of order"},
        {"type=0|name=Beam|score=10|key=V|p=" + token + "|add=No|z=1", "fill is not zeros"},
        {"type=0|name=Beam|score=10|key=V|p=" + token + "|add=No|z=00000", "five fill zeros"},
        {"type=0|name=Beam|score=10|key=V|p=" + token + "|add=No|z=00000000", "too much fill"},
        {"type=0|name=Beam|score=10|key=V|p=" + token + "|add=No|z=", "length not a multiple of 5"},
        {"", "empty text"},
        {std::string(MaxResultTextLength + 5, '0'), "too long"},
    };
    for (const Case& c : cases) {
        const ParsedResult parsed = ParseResultText(c.Text);
        EXPECT_FALSE(parsed.Result) << c.Why;
        EXPECT_FALSE(parsed.Error.empty()) << c.Why;
    }
}

TEST(ResultText, LongestValidResultFitsTheLimits) {
    std::string widest; // ten characters of four bytes each
    for (int i = 0; i < 10; ++i)
        widest += "\xF0\x9F\x9A\x80";
    const std::string text =
        ResultTextLikeTheGame(widest, "-2147483648", std::string(MaxTokenLength, 'f'), widest);
    const ParsedResult parsed = ParseResultText(text);
    ASSERT_TRUE(parsed.Result) << parsed.Error;
    EXPECT_LE(EncodeLikeTheGame(text).size(), MaxEncodedResultLength);
}

} // namespace
} // namespace scoreserver
