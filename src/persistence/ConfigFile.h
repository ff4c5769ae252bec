// Config.cfg: the options and the high-score table in one small file of fixed layout, no header,
// little-endian: Windowed, MusicEnabled, SoundEnabled (1 byte each, only 1 is true), the low byte of
// MinimizeKey, Country, then ten times name and 32-bit score. Strings are a length byte followed by
// the characters with every bit inverted.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

inline constexpr const char* ConfigPath = "Config.cfg";
// A config string holds at most this many bytes; longer text is cut when written.
inline constexpr size_t ConfigStringMaxLength = 255;

// A cursor over the bytes of a config file; every read fails cleanly past the end.
class ConfigReader {
  public:
    ConfigReader(const uint8_t* data, size_t size) : data(data), size(size) {}
    bool ReadByte(uint8_t& value);
    bool ReadInt32(int32_t& value);
    bool ReadBytes(size_t count, std::string& bytes);
    size_t Position() const { return position; }

  private:
    const uint8_t* data;
    size_t size;
    size_t position = 0;
};

bool ReadConfigString(ConfigReader& in, std::string& text);
void WriteConfigString(const std::string& text, std::string& out);

// The whole file as it is written from Options and HiScoreTable.
std::string EncodeConfig();
// Reads the fields in file order into Options and HiScoreTable, as far as the bytes go; a field (or a
// table entry, name and score together) that is cut off keeps its current value. True when all was read.
bool DecodeConfig(const uint8_t* data, size_t size);
// The same, noting in `damage` each value the game could not have written (it was given its default).
class ConfigDamage;
bool DecodeConfig(const uint8_t* data, size_t size, ConfigDamage& damage);

// Start-up: removes the temporaries that saves killed midway left beside the file (never one that
// a running copy of the game is writing), then reads Options and HiScoreTable from the file,
// defaults for whatever cannot be read or holds a value the game never writes. A missing file is
// created from the defaults; a short, damaged or unreadable one is reported in one line on stderr and
// left alone until the next save. Never stops the program.
void LoadConfig(const std::string& path = ConfigPath);
// Writes the whole file atomically (temporary file, fsync, rename). On failure: one line on stderr,
// the old file untouched, false.
bool SaveConfig(const std::string& path = ConfigPath);
