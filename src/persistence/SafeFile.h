// Small files of the data folder (Config.cfg, Controls.cfg, replays) read whole and replaced whole: a
// save goes to a temporary beside the file, reaches the disk, and only then is renamed over it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <unistd.h>
#include <vector>

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

enum class ReadOutcome { Read, Missing, Unreadable };

// Reads at most `limit` bytes of the file; `error` holds errno when it is missing or unreadable.
ReadOutcome ReadSmallFile(const std::string& path, size_t limit, std::vector<uint8_t>& bytes, int& error);
// Writes `bytes` as the whole new file; on failure the old file is untouched, `reason` says why.
bool ReplaceFileAtomically(const std::string& path, const std::string& bytes, std::string& reason);
// Start-up: removes the temporaries that saves killed midway left beside `path` (never one that a
// running copy of the game is writing).
void RemoveLeftoverTemporaries(const std::string& path);
