#include "online/WebAddress.h"

#include <array>
#include <cctype>
#include <fstream>
#include <iterator>

namespace {

constexpr std::array<std::string_view, 2> WebSchemes = {"http://", "https://"};
constexpr std::string_view ShortcutSection = "[InternetShortcut]";
constexpr std::string_view AddressKey = "URL";
// A shortcut is a few lines; anything bigger is not one.
constexpr std::streamoff MaxShortcutBytes = 64 * 1024;

bool SameLetters(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

bool StartsWithLetters(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() && SameLetters(text.substr(0, prefix.size()), prefix);
}

bool HasControlCharacter(std::string_view text) {
    for (const char c : text)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) return true;
    return false;
}

std::string_view Trimmed(std::string_view text) {
    const auto isSpace = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    while (!text.empty() && isSpace(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isSpace(text.back()))
        text.remove_suffix(1);
    return text;
}

bool FileSmallEnough(std::ifstream& file) {
    file.seekg(0, std::ios::end);
    const std::streamoff size = file.tellg();
    file.seekg(0, std::ios::beg);
    return size >= 0 && size <= MaxShortcutBytes;
}

} // namespace

bool IsWebAddress(std::string_view address) {
    if (HasControlCharacter(address)) return false;
    for (const std::string_view scheme : WebSchemes) {
        if (!StartsWithLetters(address, scheme)) continue;
        const std::string_view rest = address.substr(scheme.size());
        return !rest.empty() && rest.front() != '/';
    }
    return false;
}

std::string ShortcutAddressIn(std::string_view text) {
    bool inShortcutSection = false;
    while (!text.empty()) {
        const size_t end = text.find('\n');
        const std::string_view line = Trimmed(text.substr(0, end));
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        if (line.starts_with('[')) {
            inShortcutSection = SameLetters(line, ShortcutSection);
            continue;
        }
        const size_t equals = line.find('=');
        if (!inShortcutSection || equals == std::string_view::npos) continue;
        if (SameLetters(Trimmed(line.substr(0, equals)), AddressKey))
            return std::string(Trimmed(line.substr(equals + 1)));
    }
    return {};
}

std::string ReadShortcutAddress(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file || !FileSmallEnough(file)) return {};
    const std::string text{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    return ShortcutAddressIn(text);
}
