#include "persistence/ControlsFile.h"

#include "persistence/SafeFile.h"

#include <charconv>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {

// Far more than the file ever holds; anything longer is not ours.
constexpr size_t ControlsReadLimit = 4096;
constexpr std::string_view DeadZoneWord = "deadzone";
constexpr std::string_view NoneWord = "none";

template <typename T> std::optional<T> NumberFrom(std::string_view word) {
    T value{};
    const auto [end, error] = std::from_chars(word.data(), word.data() + word.size(), value);
    if (error != std::errc() || end != word.data() + word.size()) return std::nullopt;
    return value;
}

template <size_t N>
std::optional<size_t> IndexOfWord(const std::array<std::string_view, N>& words, std::string_view word) {
    for (size_t i = 0; i < N; ++i)
        if (words[i] == word) return i;
    return std::nullopt;
}

std::vector<std::string_view> WordsOf(std::string_view line) {
    std::vector<std::string_view> words;
    size_t at = 0;
    while (at < line.size()) {
        const size_t start = line.find_first_not_of(" \t\r", at);
        if (start == std::string_view::npos) break;
        const size_t end = std::min(line.find_first_of(" \t\r", start), line.size());
        words.push_back(line.substr(start, end - start));
        at = end;
    }
    return words;
}

// "fire 29 157 a none": a control's two keys and two pad buttons.
bool DecodeControlLine(const std::vector<std::string_view>& words, ControlBinding& binding) {
    if (words.size() != 1 + 2 * SlotsPerControl) return false;
    for (size_t slot = 0; slot < SlotsPerControl; ++slot) {
        const auto key = NumberFrom<uint8_t>(words[1 + slot]);
        if (!key) return false;
        binding.Keys[slot] = *key;
        const std::string_view pad = words[1 + SlotsPerControl + slot];
        if (pad == NoneWord) {
            binding.PadButtons[slot].reset();
            continue;
        }
        const auto button = IndexOfWord(PadButtonWords, pad);
        if (!button) return false;
        binding.PadButtons[slot] = static_cast<PadButton>(*button);
    }
    return true;
}

} // namespace

std::string EncodeControlBindings(const ControlBindings& bindings) {
    std::string text =
        "# VANTORIX controls: for each control two keys by their place on the keyboard (scan codes,\n"
        "# 0 for none) and two pad buttons (or none) of:\n#";
    for (const std::string_view word : PadButtonWords) {
        text += ' ';
        text += word;
    }
    text += "\n# and the stick's dead zone of 32767. Change them in the game: Options, Controls.\n";
    for (size_t control = 0; control < GameControlCount; ++control) {
        const ControlBinding& binding = bindings.Controls[control];
        text += GameControlWords[control];
        for (const uint8_t key : binding.Keys) {
            text += ' ';
            text += std::to_string(key);
        }
        for (const auto& button : binding.PadButtons) {
            text += ' ';
            text += button ? PadButtonWords[static_cast<size_t>(*button)] : NoneWord;
        }
        text += "\n";
    }
    text += std::string(DeadZoneWord) + " " + std::to_string(bindings.PadDeadZone) + "\n";
    return text;
}

std::optional<ControlBindings> DecodeControlBindings(std::string_view text) {
    ControlBindings bindings;
    std::array<bool, GameControlCount + 1> seen{}; // each control, then the dead zone
    while (!text.empty()) {
        const size_t end = std::min(text.find('\n'), text.size());
        const std::string_view line = text.substr(0, end);
        text.remove_prefix(std::min(end + 1, text.size()));
        const std::vector<std::string_view> words = WordsOf(line);
        if (words.empty() || words[0].starts_with('#')) continue;
        if (words[0] == DeadZoneWord) {
            const auto zone = words.size() == 2 ? NumberFrom<uint16_t>(words[1]) : std::nullopt;
            if (!zone || seen[GameControlCount]) return std::nullopt;
            bindings.PadDeadZone = *zone;
            seen[GameControlCount] = true;
            continue;
        }
        const auto control = IndexOfWord(GameControlWords, words[0]);
        if (!control || seen[*control] || !DecodeControlLine(words, bindings.Controls[*control]))
            return std::nullopt;
        seen[*control] = true;
    }
    for (const bool line : seen)
        if (!line) return std::nullopt;
    if (!FollowsTheRules(bindings)) return std::nullopt;
    return bindings;
}

ControlBindings LoadControlBindings(const std::string& path, std::string& notice) {
    std::vector<uint8_t> bytes;
    int error = 0;
    switch (ReadSmallFile(path, ControlsReadLimit + 1, bytes, error)) {
    case ReadOutcome::Missing:
        return DefaultControlBindings();
    case ReadOutcome::Unreadable:
        notice =
            path + " could not be read (" + std::strerror(error) + "); the default controls are in force.";
        return DefaultControlBindings();
    case ReadOutcome::Read:
        break;
    }
    const std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    const auto bindings = bytes.size() <= ControlsReadLimit ? DecodeControlBindings(text) : std::nullopt;
    if (bindings) return *bindings;
    notice = path + " is damaged; the default controls are in force.";
    return DefaultControlBindings();
}

bool SaveControlBindings(const ControlBindings& bindings, const std::string& path) {
    std::string reason;
    if (ReplaceFileAtomically(path, EncodeControlBindings(bindings), reason)) return true;
    std::fprintf(stderr, "%s could not be saved (%s); the controls last only until the game ends.\n",
                 path.c_str(), reason.c_str());
    return false;
}
