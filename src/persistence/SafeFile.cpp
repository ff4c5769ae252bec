#include "persistence/SafeFile.h"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <string_view>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

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

} // namespace

ReadOutcome ReadSmallFile(const std::string& path, size_t limit, std::vector<uint8_t>& bytes, int& error) {
    FileDescriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (!file.Valid()) {
        error = errno;
        return error == ENOENT ? ReadOutcome::Missing : ReadOutcome::Unreadable;
    }
    bytes.assign(limit, 0);
    size_t size = 0;
    while (size < limit) {
        const ssize_t got = ::read(file.Get(), bytes.data() + size, limit - size);
        if (got == 0) break;
        if (got < 0) {
            if (errno == EINTR) continue;
            error = errno;
            return ReadOutcome::Unreadable;
        }
        size += static_cast<size_t>(got);
    }
    bytes.resize(size);
    return ReadOutcome::Read;
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
