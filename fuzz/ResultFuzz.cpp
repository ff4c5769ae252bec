// The online result: the game's text and encoding decode on the score server to exactly what was
// sent, and a text the server accepts gives back the game's fields; any letters the server decodes
// encode back to themselves.
#include "ResultCodec.h"
#include "online/WebScores.h"

#include <cstdlib>
#include <cstring>
#include <string_view>

namespace {

// The input as name, score, token and country: a 4-byte score, then three texts split at 0 bytes.
struct GameResult {
    std::string name;
    int32_t score = 0;
    std::string token;
    std::string country;
};

GameResult SplitInput(std::string_view input) {
    GameResult result;
    if (input.size() >= 4) {
        uint32_t bits = 0;
        std::memcpy(&bits, input.data(), 4);
        result.score = static_cast<int32_t>(bits);
        input.remove_prefix(4);
    }
    std::string* fields[] = {&result.name, &result.token, &result.country};
    for (std::string* field : fields) {
        const size_t end = input.find('\0');
        *field = std::string(input.substr(0, end));
        input = end == std::string_view::npos ? std::string_view() : input.substr(end + 1);
    }
    return result;
}

void CheckRoundTrip(const GameResult& game) {
    const std::string text = BuildResultText(game.name, game.score, game.token, game.country);
    const scoreserver::DecodedText decoded = scoreserver::DecodeResult(EncodeResult(text));
    if (!decoded.Text || *decoded.Text != text) std::abort();
    const scoreserver::ParsedResult parsed = scoreserver::ParseResultText(text);
    if (!parsed.Result) return;
    const scoreserver::SubmittedResult& result = *parsed.Result;
    if (result.Name != game.name || result.Score != game.score || result.Token != game.token ||
        result.Country != game.country)
        std::abort();
}

void CheckServerDecoding(std::string_view letters) {
    const scoreserver::DecodedText decoded = scoreserver::DecodeResult(letters);
    if (decoded.Text && EncodeResult(*decoded.Text) != letters) std::abort();
    if (decoded.Text) scoreserver::ParseResultText(*decoded.Text);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    CheckRoundTrip(SplitInput(input));
    CheckServerDecoding(input);
    return 0;
}
