#include "persistence/StoredValues.h"

#include <algorithm>

namespace {
BossKeyCheck bossKeyCheck = nullptr;

bool IsAsciiLetter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}
} // namespace

bool StoredFlagIsSound(uint8_t byte) {
    return byte <= 1;
}

bool StoredTextIsSound(const std::string& text, bool mayBeEmpty) {
    if (text.empty()) return mayBeEmpty;
    return text.size() <= StoredTextMaxLetters && std::all_of(text.begin(), text.end(), IsAsciiLetter);
}

void SetBossKeyCheck(BossKeyCheck check) {
    bossKeyCheck = check;
}

bool StoredBossKeyIsSound(int32_t key) {
    return bossKeyCheck == nullptr || bossKeyCheck(key);
}

void ConfigDamage::Note(const char* what) {
    if (!parts.empty()) parts += ", ";
    parts += what;
}

std::string ConfigDamage::Describe() const {
    std::string all = parts;
    if (names > 0) {
        if (!all.empty()) all += ", ";
        all += names == 1 ? "1 name" : std::to_string(names) + " names";
    }
    // The last ", " reads as " and ".
    const size_t last = all.rfind(", ");
    if (last != std::string::npos) all.replace(last, 2, " and ");
    return all;
}
