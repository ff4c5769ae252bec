// A scratch folder that takes no new bytes while this object lives: read-only for an ordinary user,
// and, because permissions do not stop root, a zero file-size limit as on a full disk. The limit
// holds for every file of the process, so what is said on stderr meanwhile goes into a pipe.
#pragma once

#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <string>
#include <sys/resource.h>
#include <unistd.h>

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

// Stderr into a pipe while this object lives: a pipe is no file, so the size limit leaves it alone.
class StderrPipe {
  public:
    StderrPipe() {
        if (::pipe2(ends, O_NONBLOCK) != 0) return;
        std::fflush(stderr);
        saved = ::dup(STDERR_FILENO);
        ::dup2(ends[1], STDERR_FILENO);
    }
    ~StderrPipe() {
        Take();
        if (ends[0] >= 0) ::close(ends[0]);
    }
    StderrPipe(const StderrPipe&) = delete;
    StderrPipe& operator=(const StderrPipe&) = delete;

    // Puts stderr back and returns what was said meanwhile (a few lines fit the pipe).
    std::string Take() {
        if (saved >= 0) {
            std::fflush(stderr);
            ::dup2(saved, STDERR_FILENO);
            ::close(saved);
            ::close(ends[1]);
            saved = -1;
        }
        char buffer[256];
        ssize_t got = 0;
        while (ends[0] >= 0 && (got = ::read(ends[0], buffer, sizeof buffer)) > 0)
            said.append(buffer, static_cast<size_t>(got));
        return said;
    }

  private:
    int ends[2] = {-1, -1};
    int saved = -1;
    std::string said;
};
