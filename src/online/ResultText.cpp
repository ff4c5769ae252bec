// The text side of a score submission, free of any network code so the score server's decoder can
// be fuzzed against it: the token from the version reply, the result text and its encoding.
#include "online/WebScores.h"

namespace {

constexpr size_t VersionFieldTaken = 5;
constexpr size_t ResultTextBlock = 5;
constexpr int BitsPerCharacter = 5;

} // namespace

std::string FifthField(std::string_view reply) {
    std::string_view field;
    for (size_t step = 0; step < VersionFieldTaken; ++step) {
        const size_t bar = reply.find('|');
        if (bar == std::string_view::npos) return {}; // no "|" left: this and every later field is empty
        field = reply.substr(0, bar);
        reply.remove_prefix(bar + 1);
    }
    return std::string(field);
}

std::string BuildResultText(const std::string& name, int32_t score, const std::string& p,
                            const std::string& country) {
    std::string text = "type=0|name=" + name + "|score=" + std::to_string(score) + "|key=" + ResultKeyLetter +
                       "|p=" + p + "|add=" + country + "|z=";
    text.append((ResultTextBlock - text.size() % ResultTextBlock) % ResultTextBlock, '0');
    return text;
}

std::string EncodeResult(std::string_view text) {
    const size_t bits = text.size() * 8;
    std::string encoded;
    encoded.reserve((bits + BitsPerCharacter - 1) / BitsPerCharacter);
    // The leading fill bits are zeros already sitting in the accumulator.
    int pending = static_cast<int>((BitsPerCharacter - bits % BitsPerCharacter) % BitsPerCharacter);
    uint32_t bitsHeld = 0;
    for (const char c : text) {
        bitsHeld = (bitsHeld << 8) | static_cast<uint8_t>(c);
        pending += 8;
        while (pending >= BitsPerCharacter) {
            pending -= BitsPerCharacter;
            encoded += ResultAlphabet[(bitsHeld >> pending) & 31u];
        }
        bitsHeld &= (1u << pending) - 1u;
    }
    return encoded;
}
