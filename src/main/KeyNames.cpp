#include "main/KeyNames.h"

namespace {

struct NamedKey {
    uint32_t key;
    std::string_view name;
};

constexpr NamedKey NamedKeys[] = {
    {8, "Back"}, {9, "Tab"},     {13, "Enter"},  {27, "Esc"},   {32, "Space"}, {33, "PgUp"}, {34, "PgDn"},
    {35, "End"}, {36, "Home"},   {37, "Left"},   {38, "Up"},    {39, "Right"}, {40, "Down"}, {45, "Ins"},
    {46, "Del"}, {160, "Shift"}, {161, "Shift"}, {162, "Ctrl"}, {163, "Ctrl"}, {164, "Alt"},
};

// Codes 49 to 91 show the one character of that code: the digits from 1 (the 0 key is refused), a few
// signs, the letters and "[".
constexpr uint32_t FirstCharacterKey = 49;
constexpr std::string_view CharacterKeys = "123456789:;<=>?@ABCDEFGHIJKLMNOPQRSTUVWXYZ[";

constexpr uint32_t FirstFunctionKey = 112;
constexpr std::string_view FunctionKeys[] = {"F1", "F2",  "F3",  "F4",  "F5",  "F6",  "F7", "F8",
                                             "F9", "F10", "F11", "F12", "F13", "F14", "F15"};

} // namespace

std::string_view KeyName(uint32_t key) {
    for (const NamedKey& named : NamedKeys)
        if (named.key == key) return named.name;
    if (key >= FirstCharacterKey && key - FirstCharacterKey < CharacterKeys.size())
        return CharacterKeys.substr(key - FirstCharacterKey, 1);
    if (key >= FirstFunctionKey && key - FirstFunctionKey < std::size(FunctionKeys))
        return FunctionKeys[key - FirstFunctionKey];
    return BadKeyName;
}
