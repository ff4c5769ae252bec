// The result the game sends to the score server: its 32-letter encoding and the
// "|"-separated result text inside it. Plain C++, no network code, so the game's
// own tests can round-trip their encoder through this decoder.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace scoreserver {

// Character v of this table stands for the five bits of value v.
inline constexpr std::string_view ResultAlphabet = "MNBVCXZLKJHGFDSAPUYTREW987654321";

// The fixed letter of the "key" field, the same in every result the game sends.
inline constexpr char ResultKeyLetter = 'V';

// Limits of the fields, in characters (a character may take up to 4 bytes of UTF-8).
inline constexpr std::size_t MaxNameCharacters = 10;
inline constexpr std::size_t MaxCountryCharacters = 10;
inline constexpr std::size_t MaxTokenLength = 64;

// The longest result text that can pass ParseResultText, and its encoded length.
inline constexpr std::size_t MaxResultTextLength =
    std::string_view("type=0|name=|score=-2147483648|key=V|p=|add=|z=").size() + 4 * MaxNameCharacters +
    MaxTokenLength + 4 * MaxCountryCharacters + 4;
inline constexpr std::size_t MaxEncodedResultLength = (MaxResultTextLength * 8 + 4) / 5;

struct DecodedText {
    std::optional<std::string> Text; // set on success
    std::string Error;               // set on failure
};

// The exact inverse of the game's encoding: every character must come from
// ResultAlphabet, the length must be one the encoder can produce, and the
// leading fill bits (fewer than five) must be zero.
DecodedText DecodeResult(std::string_view encoded);

struct SubmittedResult {
    std::string Name;
    int32_t Score = 0;
    std::string Country;
    std::string Token; // the "p" field: the token of the version reply
};

struct ParsedResult {
    std::optional<SubmittedResult> Result; // set on success
    std::string Error;                     // set on failure
};

// Checks the result text field by field:
// "type=0|name=N|score=S|key=K|p=P|add=A|z=" filled with "0" to a multiple of 5.
// Name and country must be printable UTF-8 of limited length, the score a plain
// 32-bit decimal, the key letter ResultKeyLetter and the token non-empty.
ParsedResult ParseResultText(std::string_view text);

} // namespace scoreserver
