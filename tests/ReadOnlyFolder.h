// A scratch folder that takes no new bytes while this object lives: read-only for an ordinary user,
// and, because permissions do not stop root, a zero file-size limit as on a full disk.
#pragma once

#include <csignal>
#include <filesystem>
#include <sys/resource.h>

class ReadOnlyFolder {
  public:
    explicit ReadOnlyFolder(std::filesystem::path folder) : folder(std::move(folder)) {
        namespace fs = std::filesystem;
        fs::permissions(this->folder,
                        fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                        fs::perm_options::remove);
        previousSignal = std::signal(SIGXFSZ, SIG_IGN); // a refused write fails with EFBIG instead
        getrlimit(RLIMIT_FSIZE, &previousLimit);
        rlimit none = previousLimit;
        none.rlim_cur = 0;
        setrlimit(RLIMIT_FSIZE, &none);
    }
    ~ReadOnlyFolder() {
        setrlimit(RLIMIT_FSIZE, &previousLimit);
        std::signal(SIGXFSZ, previousSignal);
        std::filesystem::permissions(folder, std::filesystem::perms::owner_write,
                                     std::filesystem::perm_options::add);
    }
    ReadOnlyFolder(const ReadOnlyFolder&) = delete;
    ReadOnlyFolder& operator=(const ReadOnlyFolder&) = delete;

  private:
    std::filesystem::path folder;
    rlimit previousLimit{};
    void (*previousSignal)(int) = SIG_DFL;
};
