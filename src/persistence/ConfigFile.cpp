#include "persistence/ConfigFile.h"

#include "persistence/HiScores.h"
#include "persistence/Options.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <string_view>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The longest file the layout can describe is 4 + 256 + 10 * (256 + 4) bytes; anything after the
// last table entry is never read, so this much is always enough.
constexpr size_t ConfigReadLimit = 4096;
constexpr uint8_t StoredTrue = 1;

// Closes the descriptor on every path out, errors included.
class FileDescriptor {
  public:
    explicit FileDescriptor(int fd) : fd(fd) {}
    ~FileDescriptor() { Close(); }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int Get() const { return fd; }
    bool Valid() const { return fd >= 0; }
    bool Close() {
        if (fd < 0) return true;
        const bool closed = ::close(fd) == 0;
        fd = -1;
        return closed;
    }

  private:
    int fd;
};

void WriteByte(uint8_t value, std::string& out) {
    out.push_back(static_cast<char>(value));
}

void WriteInt32(int32_t value, std::string& out) {
    const auto bits = static_cast<uint32_t>(value);
    for (int shift = 0; shift < 32; shift += 8)
        WriteByte(static_cast<uint8_t>(bits >> shift), out);
}

enum class ReadOutcome { Read, Missing, Unreadable };

ReadOutcome ReadConfigBytes(const std::string& path, std::array<uint8_t, ConfigReadLimit>& buffer,
                            size_t& size, int& error) {
    FileDescriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (!file.Valid()) {
        error = errno;
        return error == ENOENT ? ReadOutcome::Missing : ReadOutcome::Unreadable;
    }
    size = 0;
    while (size < buffer.size()) {
        const ssize_t got = ::read(file.Get(), buffer.data() + size, buffer.size() - size);
        if (got == 0) break;
        if (got < 0) {
            if (errno == EINTR) continue;
            error = errno;
            return ReadOutcome::Unreadable;
        }
        size += static_cast<size_t>(got);
    }
    return ReadOutcome::Read;
}

bool WriteAll(int fd, const std::string& bytes) {
    size_t written = 0;
    while (written < bytes.size()) {
        const ssize_t put = ::write(fd, bytes.data() + written, bytes.size() - written);
        if (put < 0 && errno == EINTR) continue;
        if (put <= 0) return false;
        written += static_cast<size_t>(put);
    }
    return true;
}

// "<path>.<pid>.tmp": the temporary a save of process <pid> writes beside the file.
std::string TemporaryName(const std::string& path, pid_t pid) {
    return path + "." + std::to_string(pid) + ".tmp";
}

// The process id inside a temporary's name, or 0 when `name` is not one of `fileName`'s temporaries.
pid_t TemporaryOwner(std::string_view name, std::string_view fileName) {
    constexpr std::string_view Suffix = ".tmp";
    if (!name.starts_with(fileName) || !name.ends_with(Suffix) ||
        name.size() <= fileName.size() + 1 + Suffix.size() || name[fileName.size()] != '.')
        return 0;
    const std::string_view digits =
        name.substr(fileName.size() + 1, name.size() - fileName.size() - 1 - Suffix.size());
    pid_t pid = 0;
    for (const char c : digits) {
        if (c < '0' || c > '9' || pid > 100000000) return 0;
        pid = pid * 10 + (c - '0');
    }
    return pid;
}

// The new contents go to a temporary file beside the old one, reach the disk, and only then replace
// it by a rename, so a crash or a full disk never leaves a torn or half-written Config.cfg. The
// temporary stays locked until it has been renamed, which tells a starting copy of the game that
// it is not a leftover.
bool ReplaceFileAtomically(const std::string& path, const std::string& bytes, std::string& reason) {
    const std::string temporary = TemporaryName(path, ::getpid());
    FileDescriptor file(::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666));
    if (!file.Valid()) {
        reason = std::strerror(errno);
        return false;
    }
    const bool stored = ::flock(file.Get(), LOCK_EX) == 0 && WriteAll(file.Get(), bytes) &&
                        ::fsync(file.Get()) == 0 && ::rename(temporary.c_str(), path.c_str()) == 0;
    if (!stored) {
        reason = std::strerror(errno);
        ::unlink(temporary.c_str());
        return false;
    }
    file.Close();
    // Make the rename itself durable; the file is already complete either way.
    std::filesystem::path folder = std::filesystem::path(path).parent_path();
    FileDescriptor directory(
        ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (directory.Valid()) ::fsync(directory.Get());
    return true;
}

// A temporary is a leftover when the process named in it is gone and no process holds its lock
// (the name covers the instant between a save creating its temporary and locking it). It is
// removed while this start holds the lock.
void RemoveIfLeftover(const std::filesystem::path& temporary, pid_t owner) {
    if (owner == ::getpid() || ::kill(owner, 0) == 0 || errno != ESRCH) return;
    FileDescriptor file(::open(temporary.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    struct stat status {};
    if (file.Valid() && ::fstat(file.Get(), &status) == 0 && S_ISREG(status.st_mode) &&
        ::flock(file.Get(), LOCK_EX | LOCK_NB) == 0)
        ::unlink(temporary.c_str());
}

// Saves killed midway leave their temporaries behind; each start removes the game's own.
void RemoveLeftoverTemporaries(const std::string& path) {
    const std::filesystem::path file(path);
    const std::string fileName = file.filename().string();
    std::error_code error;
    std::filesystem::directory_iterator entry(file.has_parent_path() ? file.parent_path() : ".", error);
    for (; !error && entry != std::filesystem::directory_iterator(); entry.increment(error)) {
        const pid_t owner = TemporaryOwner(entry->path().filename().string(), fileName);
        if (owner > 0) RemoveIfLeftover(entry->path(), owner);
    }
}

bool ReadStoredBool(ConfigReader& in, bool& value) {
    uint8_t byte = 0;
    if (!in.ReadByte(byte)) return false;
    value = byte == StoredTrue;
    return true;
}

bool ReadHiScoreEntry(ConfigReader& in, THiScores& entry) {
    THiScores read;
    if (!ReadConfigString(in, read.Name) || !in.ReadInt32(read.Score)) return false;
    entry = std::move(read);
    return true;
}

bool DecodeOptions(ConfigReader& in) {
    if (!ReadStoredBool(in, Options.Windowed) || !ReadStoredBool(in, Options.MusicEnabled) ||
        !ReadStoredBool(in, Options.SoundEnabled))
        return false;
    uint8_t minimizeKey = 0;
    if (!in.ReadByte(minimizeKey)) return false;
    Options.MinimizeKey = minimizeKey;
    return ReadConfigString(in, Options.Country);
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

bool DecodeConfig(const uint8_t* data, size_t size) {
    ConfigReader in(data, size);
    if (!DecodeOptions(in)) return false;
    for (THiScores& entry : HiScoreTable)
        if (!ReadHiScoreEntry(in, entry)) return false;
    return true;
}

void LoadConfig(const std::string& path) {
    RemoveLeftoverTemporaries(path);
    Options = TOptions{};
    ResetHighScores();
    std::array<uint8_t, ConfigReadLimit> buffer;
    size_t size = 0;
    int error = 0;
    switch (ReadConfigBytes(path, buffer, size, error)) {
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
    if (!DecodeConfig(buffer.data(), size))
        std::fprintf(stderr,
                     "%s ends early (after %zu bytes); the settings it does not hold keep their defaults.\n",
                     path.c_str(), size);
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
