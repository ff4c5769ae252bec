#include "ResultCodec.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <limits>
#include <utility>
#include <vector>

namespace scoreserver {
namespace {

constexpr int BitsPerCharacter = 5;
constexpr int NoSymbol = -1;

constexpr std::array<int, 256> MakeSymbolValues() {
    std::array<int, 256> values{};
    values.fill(NoSymbol);
    for (std::size_t v = 0; v < ResultAlphabet.size(); ++v)
        values[static_cast<unsigned char>(ResultAlphabet[v])] = static_cast<int>(v);
    return values;
}
constexpr std::array<int, 256> SymbolValues = MakeSymbolValues();

static_assert(ResultAlphabet.size() == 1u << BitsPerCharacter);

std::string Describe(char c) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte >= 0x21 && byte <= 0x7E) return std::string("'") + c + "'";
    constexpr std::string_view hex = "0123456789ABCDEF";
    return std::string("byte 0x") + hex[byte >> 4] + hex[byte & 15];
}

// Decodes one UTF-8 sequence at text[pos]; returns the code point and advances
// pos, or returns nothing for a malformed, overlong or surrogate sequence.
std::optional<char32_t> NextCodePoint(std::string_view text, std::size_t& pos) {
    const auto lead = static_cast<unsigned char>(text[pos]);
    int extra = 0;
    char32_t cp = 0;
    char32_t minimum = 0;
    if (lead < 0x80) {
        cp = lead;
    } else if ((lead & 0xE0) == 0xC0) {
        extra = 1, cp = lead & 0x1F, minimum = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        extra = 2, cp = lead & 0x0F, minimum = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        extra = 3, cp = lead & 0x07, minimum = 0x10000;
    } else {
        return std::nullopt;
    }
    if (text.size() - pos - 1 < static_cast<std::size_t>(extra)) return std::nullopt;
    for (int i = 1; i <= extra; ++i) {
        const auto next = static_cast<unsigned char>(text[pos + i]);
        if ((next & 0xC0) != 0x80) return std::nullopt;
        cp = (cp << 6) | (next & 0x3F);
    }
    if (cp < minimum || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return std::nullopt;
    pos += 1 + extra;
    return cp;
}

bool IsControl(char32_t cp) {
    return cp < 0x20 || (cp >= 0x7F && cp <= 0x9F);
}

// Characters that show nothing or turn the text's direction, so one name could
// pass for another: the format characters (soft hyphen, zero-width ones, the
// bidirectional marks, embeddings, overrides and isolates, tags ...), line and
// paragraph separators, invisible fillers and variation selectors.
constexpr std::array<std::pair<char32_t, char32_t>, 24> InvisibleRanges = {{
    {0x00AD, 0x00AD},   {0x034F, 0x034F},   {0x0600, 0x0605},   {0x061C, 0x061C},   {0x06DD, 0x06DD},
    {0x070F, 0x070F},   {0x08E2, 0x08E2},   {0x115F, 0x1160},   {0x180B, 0x180F},   {0x200B, 0x200F},
    {0x2028, 0x202E},   {0x2060, 0x206F},   {0x3164, 0x3164},   {0xFE00, 0xFE0F},   {0xFEFF, 0xFEFF},
    {0xFFA0, 0xFFA0},   {0xFFF9, 0xFFFB},   {0x110BD, 0x110BD}, {0x110CD, 0x110CD}, {0x13430, 0x1343F},
    {0x1BCA0, 0x1BCA3}, {0x1D173, 0x1D17A}, {0xE0000, 0xE007F}, {0xE0100, 0xE01EF},
}};

bool IsInvisible(char32_t cp) {
    for (const auto& [first, last] : InvisibleRanges)
        if (cp >= first && cp <= last) return true;
    return false;
}

// Empty is allowed; otherwise well-formed UTF-8 without control, format or
// invisible characters.
std::optional<std::string> CheckPrintableUtf8(std::string_view text, std::size_t maxCharacters) {
    std::size_t count = 0;
    for (std::size_t pos = 0; pos < text.size();) {
        const auto cp = NextCodePoint(text, pos);
        if (!cp) return "is not valid UTF-8";
        if (IsControl(*cp)) return "holds a control character";
        if (IsInvisible(*cp)) return "holds an invisible or direction-changing character";
        if (++count > maxCharacters) return "is longer than " + std::to_string(maxCharacters) + " characters";
    }
    return std::nullopt;
}

// Only the plain decimal the game writes: optional "-", no "+", no leading zeros, no "-0".
std::optional<int32_t> ParseScore(std::string_view text) {
    const std::string_view digits = text.starts_with('-') ? text.substr(1) : text;
    if (digits.empty() || (digits[0] == '0' && text.size() > 1)) return std::nullopt;
    for (char c : digits)
        if (c < '0' || c > '9') return std::nullopt;
    int32_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return value;
}

bool IsTokenText(std::string_view token) {
    if (token.empty() || token.size() > MaxTokenLength) return false;
    for (char c : token) {
        const bool alphanumeric = (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
        if (!alphanumeric) return false;
    }
    return true;
}

std::vector<std::string_view> SplitFields(std::string_view text) {
    std::vector<std::string_view> fields;
    for (std::size_t start = 0;;) {
        const std::size_t bar = text.find('|', start);
        fields.push_back(text.substr(start, bar == std::string_view::npos ? bar : bar - start));
        if (bar == std::string_view::npos) return fields;
        start = bar + 1;
    }
}

ParsedResult Failure(std::string error) {
    return ParsedResult{std::nullopt, std::move(error)};
}

} // namespace

DecodedText DecodeResult(std::string_view encoded) {
    const std::size_t bitCount = encoded.size() * BitsPerCharacter;
    const std::size_t byteCount = bitCount / 8;
    const std::size_t fillBits = bitCount - byteCount * 8;
    // The encoder puts fewer than five fill bits in front and never encodes an empty text.
    if (byteCount == 0 || fillBits >= BitsPerCharacter)
        return {std::nullopt,
                "encoded length " + std::to_string(encoded.size()) + " is not one the encoder produces"};

    std::string text;
    text.reserve(byteCount);
    uint32_t pending = 0; // bits read but not yet emitted, right-aligned
    int pendingCount = -static_cast<int>(fillBits);
    for (std::size_t i = 0; i < encoded.size(); ++i) {
        const int value = SymbolValues[static_cast<unsigned char>(encoded[i])];
        if (value == NoSymbol)
            return {std::nullopt,
                    Describe(encoded[i]) + " at position " + std::to_string(i) + " is not in the alphabet"};
        if (i == 0 && (value >> (BitsPerCharacter - fillBits)) != 0)
            return {std::nullopt, "the leading fill bits are not zero"};
        pending = (pending << BitsPerCharacter) | static_cast<uint32_t>(value);
        pendingCount += BitsPerCharacter;
        if (pendingCount >= 8) {
            pendingCount -= 8;
            text.push_back(static_cast<char>((pending >> pendingCount) & 0xFF));
        }
        pending &= (1u << std::max(pendingCount, 0)) - 1;
    }
    return {std::move(text), {}};
}

ParsedResult ParseResultText(std::string_view text) {
    if (text.size() > MaxResultTextLength) return Failure("result text is too long");
    if (text.size() % 5 != 0) return Failure("result text length is not a multiple of 5");

    const auto fields = SplitFields(text);
    constexpr std::array<std::string_view, 7> Prefixes = {
        "type=", "name=", "score=", "key=", "p=", "add=", "z="};
    if (fields.size() != Prefixes.size())
        return Failure("result text has " + std::to_string(fields.size()) + " fields instead of 7");
    std::array<std::string_view, Prefixes.size()> values;
    for (std::size_t i = 0; i < Prefixes.size(); ++i) {
        if (!fields[i].starts_with(Prefixes[i]))
            return Failure("field " + std::to_string(i + 1) + " does not start with \"" +
                           std::string(Prefixes[i]) + "\"");
        values[i] = fields[i].substr(Prefixes[i].size());
    }
    const auto [type, name, score, key, token, country, fill] = values;

    if (type != "0") return Failure("type is not 0");
    if (const auto problem = CheckPrintableUtf8(name, MaxNameCharacters)) return Failure("name " + *problem);
    const auto scoreValue = ParseScore(score);
    if (!scoreValue) return Failure("score is not a 32-bit decimal number");
    if (key != std::string_view(&ResultKeyLetter, 1)) return Failure("key letter is wrong");
    if (!IsTokenText(token)) return Failure("token is malformed");
    if (const auto problem = CheckPrintableUtf8(country, MaxCountryCharacters))
        return Failure("country " + *problem);
    if (fill.size() > 4 || fill.find_first_not_of('0') != std::string_view::npos)
        return Failure("fill after \"z=\" is not 0 to 4 zeros");

    return ParsedResult{
        SubmittedResult{std::string(name), *scoreValue, std::string(country), std::string(token)}, {}};
}

} // namespace scoreserver
