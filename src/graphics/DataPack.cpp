#include "graphics/DataPack.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <new>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr size_t LengthBytes = 4;
// 102 records of the largest picture the header check lets through (8 MB of pixels each) stay
// well below this; a bigger file is not a pack of the game's pictures.
constexpr uint64_t MaxPackBytes = uint64_t{1} << 30;

// Closes the pack on every path out.
struct FileDescriptor {
    int fd;
    explicit FileDescriptor(int fd) : fd(fd) {}
    ~FileDescriptor() {
        if (fd >= 0) ::close(fd);
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
};

} // namespace

bool WalkPackRecords(const uint8_t* pack, size_t size, int count, std::vector<PackRecord>& records,
                     int& failedRecord, std::string& error) {
    records.clear();
    size_t position = 0;
    for (int k = 0; k < count; ++k) {
        failedRecord = k;
        if (size - position < LengthBytes) {
            error = k == 0 ? "is missing: the file is empty"
                           : "is missing: the file ends after record " + std::to_string(k - 1);
            return false;
        }
        const uint8_t* field = pack + position;
        const uint32_t length = field[0] | (field[1] << 8) | (field[2] << 16) | (uint32_t{field[3]} << 24);
        position += LengthBytes;
        const size_t left = size - position;
        if (length > left) {
            error = "says " + std::to_string(length) + " bytes but only " + std::to_string(left) +
                    " are left in the file";
            return false;
        }
        records.push_back(PackRecord{pack + position, length});
        position += length;
    }
    return true;
}

bool ReadPackFile(const std::string& path, std::vector<uint8_t>& bytes, std::string& error) {
    FileDescriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    struct stat status {};
    if (file.fd < 0 || ::fstat(file.fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        error = file.fd < 0 ? std::strerror(errno) : "it is not a regular file";
        return false;
    }
    if (static_cast<uint64_t>(status.st_size) > MaxPackBytes) {
        error = "it is " + std::to_string(status.st_size) + " bytes, more than any pack of pictures needs";
        return false;
    }
    try {
        bytes.resize(static_cast<size_t>(status.st_size));
    } catch (const std::bad_alloc&) {
        error = "there is not enough memory to read it";
        return false;
    }
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t got = ::read(file.fd, bytes.data() + done, bytes.size() - done);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) {
            error = std::strerror(errno);
            return false;
        }
        if (got == 0) break;
        done += static_cast<size_t>(got);
    }
    // A file that shrank while it was read is walked as far as it went.
    bytes.resize(done);
    return true;
}
