#include "persistence/ConfigFile.h"

#include "persistence/HiScores.h"
#include "persistence/Options.h"
#include "persistence/SafeFile.h"
#include "persistence/StoredValues.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <vector>

namespace {

// The longest file the layout can describe is 4 + 256 + 10 * (256 + 4) bytes; anything after the
// last table entry is never read, so this much is always enough.
constexpr size_t ConfigReadLimit = 4096;
constexpr uint8_t StoredTrue = 1;

void WriteByte(uint8_t value, std::string& out) {
    out.push_back(static_cast<char>(value));
}

void WriteInt32(int32_t value, std::string& out) {
    const auto bits = static_cast<uint32_t>(value);
    for (int shift = 0; shift < 32; shift += 8)
        WriteByte(static_cast<uint8_t>(bits >> shift), out);
}

// A flag byte the game never writes leaves the flag at `fallback`.
bool ReadStoredBool(ConfigReader& in, bool& value, bool fallback, const char* what, ConfigDamage& damage) {
    uint8_t byte = 0;
    if (!in.ReadByte(byte)) return false;
    value = byte == StoredTrue;
    if (!StoredFlagIsSound(byte)) {
        value = fallback;
        damage.Note(what);
    }
    return true;
}

bool ReadHiScoreEntry(ConfigReader& in, THiScores& entry, ConfigDamage& damage) {
    THiScores read;
    if (!ReadConfigString(in, read.Name) || !in.ReadInt32(read.Score)) return false;
    if (!StoredTextIsSound(read.Name, false)) {
        read.Name = DefaultHiScoreName;
        damage.NoteName();
    }
    entry = std::move(read);
    return true;
}

bool DecodeOptions(ConfigReader& in, ConfigDamage& damage) {
    const TOptions defaults;
    if (!ReadStoredBool(in, Options.Windowed, defaults.Windowed, "the window mode", damage) ||
        !ReadStoredBool(in, Options.MusicEnabled, defaults.MusicEnabled, "the music setting", damage) ||
        !ReadStoredBool(in, Options.SoundEnabled, defaults.SoundEnabled, "the sound setting", damage))
        return false;
    uint8_t minimizeKey = 0;
    if (!in.ReadByte(minimizeKey)) return false;
    Options.MinimizeKey = minimizeKey;
    if (!StoredBossKeyIsSound(minimizeKey)) {
        Options.MinimizeKey = defaults.MinimizeKey;
        damage.Note("the boss key");
    }
    if (!ReadConfigString(in, Options.Country)) return false;
    if (!StoredTextIsSound(Options.Country, true)) {
        Options.Country = defaults.Country;
        damage.Note("the country");
    }
    return true;
}

// One line at most, however the file was damaged.
void ReportDamage(const std::string& path, bool complete, size_t size, const ConfigDamage& damage) {
    if (complete && !damage.Any()) return;
    const std::string values = damage.Any() ? damage.Describe() : "";
    if (!complete && damage.Any())
        std::fprintf(stderr,
                     "%s ends early (after %zu bytes) and holds values the game never writes (%s); those "
                     "and the settings it does not hold keep their defaults.\n",
                     path.c_str(), size, values.c_str());
    else if (!complete)
        std::fprintf(stderr,
                     "%s ends early (after %zu bytes); the settings it does not hold keep their defaults.\n",
                     path.c_str(), size);
    else
        std::fprintf(stderr, "%s holds values the game never writes (%s); they keep their defaults.\n",
                     path.c_str(), values.c_str());
}

} // namespace

bool ConfigReader::ReadByte(uint8_t& value) {
    if (position >= size) return false;
    value = data[position++];
    return true;
}

bool ConfigReader::ReadInt32(int32_t& value) {
    if (size - position < 4) return false;
    uint32_t bits = 0;
    for (int i = 0; i < 4; ++i)
        bits |= static_cast<uint32_t>(data[position + i]) << (8 * i);
    position += 4;
    value = static_cast<int32_t>(bits);
    return true;
}

bool ConfigReader::ReadBytes(size_t count, std::string& bytes) {
    if (size - position < count) return false;
    bytes.assign(reinterpret_cast<const char*>(data + position), count);
    position += count;
    return true;
}

bool ReadConfigString(ConfigReader& in, std::string& text) {
    uint8_t length = 0;
    std::string stored;
    if (!in.ReadByte(length) || !in.ReadBytes(length, stored)) return false;
    for (char& c : stored)
        c = static_cast<char>(~static_cast<uint8_t>(c));
    text = std::move(stored);
    return true;
}

void WriteConfigString(const std::string& text, std::string& out) {
    // The length is a single byte: a longer string is cut rather than written with a wrong length,
    // which would shift every field after it.
    const size_t length = std::min(text.size(), ConfigStringMaxLength);
    WriteByte(static_cast<uint8_t>(length), out);
    for (size_t i = 0; i < length; ++i)
        WriteByte(static_cast<uint8_t>(~static_cast<uint8_t>(text[i])), out);
}

std::string EncodeConfig() {
    std::string out;
    WriteByte(WindowedToStore() ? 1 : 0, out);
    WriteByte(Options.MusicEnabled ? 1 : 0, out);
    WriteByte(Options.SoundEnabled ? 1 : 0, out);
    WriteByte(static_cast<uint8_t>(Options.MinimizeKey & 0xFF), out);
    WriteConfigString(Options.Country, out);
    for (const THiScores& entry : HiScoreTable) {
        WriteConfigString(entry.Name, out);
        WriteInt32(entry.Score, out);
    }
    return out;
}

bool DecodeConfig(const uint8_t* data, size_t size, ConfigDamage& damage) {
    ConfigReader in(data, size);
    if (!DecodeOptions(in, damage)) return false;
    for (THiScores& entry : HiScoreTable)
        if (!ReadHiScoreEntry(in, entry, damage)) return false;
    return true;
}

bool DecodeConfig(const uint8_t* data, size_t size) {
    ConfigDamage ignored;
    return DecodeConfig(data, size, ignored);
}

void LoadConfig(const std::string& path) {
    RemoveLeftoverTemporaries(path);
    Options = TOptions{};
    ResetHighScores();
    std::vector<uint8_t> buffer;
    int error = 0;
    switch (ReadSmallFile(path, ConfigReadLimit, buffer, error)) {
    case ReadOutcome::Missing:
        SaveConfig(path);
        return;
    case ReadOutcome::Unreadable:
        std::fprintf(stderr, "%s could not be read (%s); starting with the default settings.\n", path.c_str(),
                     std::strerror(error));
        return;
    case ReadOutcome::Read:
        break;
    }
    ConfigDamage damage;
    const bool complete = DecodeConfig(buffer.data(), buffer.size(), damage);
    ReportDamage(path, complete, buffer.size(), damage);
}

bool SaveConfig(const std::string& path) {
    std::string reason;
    if (ReplaceFileAtomically(path, EncodeConfig(), reason)) return true;
    // A failed replacement never touches the old file, but on a first start there is none.
    std::error_code ignored;
    const char* consequence = std::filesystem::exists(path, ignored)
                                  ? "the previous file is kept"
                                  : "the settings and scores last only until the game ends";
    std::fprintf(stderr, "%s could not be saved (%s); %s.\n", path.c_str(), reason.c_str(), consequence);
    return false;
}
