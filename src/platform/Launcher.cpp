#include "platform/Launcher.h"
#include "platform/PlatformState.h"

#include <spawn.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <system_error>
#include <thread>

extern char** environ;

std::atomic<int> OpenerFailures{0};

namespace {

constexpr const char* OpenerProgram = "xdg-open";

// posix_spawn_file_actions_t as a scoped resource.
class SpawnFileActions {
  public:
    SpawnFileActions() { ready = posix_spawn_file_actions_init(&actions) == 0; }
    ~SpawnFileActions() {
        if (ready) posix_spawn_file_actions_destroy(&actions);
    }
    SpawnFileActions(const SpawnFileActions&) = delete;
    SpawnFileActions& operator=(const SpawnFileActions&) = delete;

    // The opener reads nothing and its complaints (no browser found ...) go nowhere.
    bool SilenceStandardStreams() {
        return ready &&
               posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0) == 0 &&
               posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0) == 0 &&
               posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0) == 0;
    }
    const posix_spawn_file_actions_t* Get() const { return &actions; }

  private:
    posix_spawn_file_actions_t actions;
    bool ready = false;
};

bool EndedInFailure(int status) {
    return !WIFEXITED(status) || WEXITSTATUS(status) != 0;
}

// The opener may live as long as the browser it started, so it is waited for on a thread of its own.
void ReapInBackground(pid_t child) {
    try {
        const auto started = std::chrono::steady_clock::now();
        std::thread([child, started] {
            int status = 0;
            pid_t reaped = 0;
            while ((reaped = waitpid(child, &status, 0)) < 0 && errno == EINTR) {
            }
            const auto lived = std::chrono::steady_clock::now() - started;
            if (reaped == child && EndedInFailure(status) &&
                lived < std::chrono::milliseconds(OpenerVerdictMs))
                ++OpenerFailures;
        }).detach();
    } catch (const std::system_error&) {
        // No thread to be had: the opener stays unreaped until the program ends, which is harmless.
    }
}

} // namespace

bool LaunchOpener(const std::string& address) {
    SpawnFileActions actions;
    if (!actions.SilenceStandardStreams()) return false;
    std::string program = OpenerProgram;
    std::string argument = address;
    char* const argv[] = {program.data(), argument.data(), nullptr};
    pid_t child = 0;
    if (posix_spawnp(&child, OpenerProgram, actions.Get(), nullptr, argv, environ) != 0) return false;
    ReapInBackground(child);
    return true;
}

bool TakeOpenerFailure() {
    int failures = OpenerFailures.load();
    while (failures > 0 && !OpenerFailures.compare_exchange_weak(failures, failures - 1)) {
    }
    return failures > 0;
}
