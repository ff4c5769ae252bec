// The game's result encoding, written out step by step from its rules, so the
// tests check the server's decoder against an independent encoder.
#pragma once

#include <string>
#include <string_view>

#include "ResultCodec.h"

namespace scoreserver::reference {

inline std::string EncodeLikeTheGame(std::string_view text) {
    std::string bits;
    for (char c : text)
        for (int bit = 7; bit >= 0; --bit)
            bits += ((static_cast<unsigned char>(c) >> bit) & 1) ? '1' : '0';
    while (bits.size() % 5 != 0)
        bits.insert(bits.begin(), '0');
    std::string encoded;
    for (std::size_t group = 0; group < bits.size(); group += 5) {
        int value = 0;
        for (std::size_t i = group; i < group + 5; ++i)
            value = value * 2 + (bits[i] != '0');
        encoded += ResultAlphabet[value];
    }
    return encoded;
}

// The result text as the game builds it, filled with "0" to a multiple of 5.
inline std::string ResultTextLikeTheGame(std::string_view name, std::string_view score,
                                         std::string_view token, std::string_view country,
                                         char key = ResultKeyLetter) {
    std::string text = "type=0|name=" + std::string(name) + "|score=" + std::string(score) + "|key=" + key +
                       "|p=" + std::string(token) + "|add=" + std::string(country) + "|z=";
    while (text.size() % 5 != 0)
        text += '0';
    return text;
}

} // namespace scoreserver::reference
