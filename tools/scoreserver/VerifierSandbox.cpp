#include "VerifierSandbox.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstddef>
#include <fcntl.h>
#include <linux/audit.h>
#include <linux/filter.h>
#include <linux/seccomp.h>
#include <poll.h>
#include <sched.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

namespace scoreserver {
namespace {

constexpr unsigned int NoFiles = 0;
constexpr rlim_t OpenFileLimit = 32;

// The kernel's filter program: the system calls that would reach outside (sockets, new processes,
// files opened for writing) fail. It is a row of small blocks, each one call: a call that is not the
// block's skips the whole block with its number still loaded, so no jump reaches past its own block.
class SyscallFilter {
  public:
    SyscallFilter() {
        Add(BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, arch)));
        Add(BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, AUDIT_ARCH_X86_64, 1, 0));
        Add(BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_KILL_PROCESS));
        Add(BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, nr)));
    }

    void Refuse(unsigned int call, int error) {
        Add(BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, call, 0, 1));
        Add(BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ERRNO | static_cast<unsigned int>(error)));
    }
    // Refused when the argument has any of `bits` set (with EPERM), allowed otherwise.
    void RefuseWithBits(unsigned int call, int argument, unsigned int bits) {
        Guard(call, argument, bits, false);
    }
    // Allowed only when the argument has one of `bits` set.
    void AllowOnlyWithBits(unsigned int call, int argument, unsigned int bits) {
        Guard(call, argument, bits, true);
    }

    bool Install() {
        Add(BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ALLOW));
        sock_fprog program{static_cast<unsigned short>(count), steps};
        return prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) == 0 &&
               syscall(SYS_seccomp, SECCOMP_SET_MODE_FILTER, 0, &program) == 0;
    }

  private:
    void Guard(unsigned int call, int argument, unsigned int bits, bool bitsAllow) {
        const unsigned int refuse = SECCOMP_RET_ERRNO | EPERM;
        Add(BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, call, 0, 4));
        Add(BPF_STMT(BPF_LD | BPF_W | BPF_ABS,
                     static_cast<unsigned int>(offsetof(seccomp_data, args) + 8 * argument)));
        Add(BPF_JUMP(BPF_JMP | BPF_JSET | BPF_K, bits, 0, 1));
        Add(BPF_STMT(BPF_RET | BPF_K, bitsAllow ? SECCOMP_RET_ALLOW : refuse));
        Add(BPF_STMT(BPF_RET | BPF_K, bitsAllow ? refuse : SECCOMP_RET_ALLOW));
    }
    // Filled between fork and exec, so a fixed array rather than anything that allocates.
    void Add(sock_filter step) {
        if (count < MaxSteps) steps[count++] = step;
    }

    static constexpr std::size_t MaxSteps = 64;
    sock_filter steps[MaxSteps]{};
    std::size_t count = 0;
};

bool InstallSyscallFilter() {
    constexpr unsigned int WriteFlags = O_WRONLY | O_RDWR | O_CREAT | O_TRUNC | O_APPEND;
    SyscallFilter filter;
    for (const unsigned int call :
         {SYS_socket, SYS_socketpair, SYS_fork, SYS_vfork, SYS_creat, SYS_truncate, SYS_rename, SYS_renameat,
          SYS_renameat2, SYS_unlink, SYS_unlinkat, SYS_mkdir, SYS_mkdirat, SYS_link, SYS_linkat, SYS_symlink,
          SYS_symlinkat, SYS_execveat})
        filter.Refuse(call, EPERM);
    // clone3 keeps its flags in memory the filter cannot read; "not here" sends threads to clone.
    filter.Refuse(SYS_clone3, ENOSYS);
    filter.AllowOnlyWithBits(SYS_clone, 0, CLONE_THREAD);
    filter.RefuseWithBits(SYS_open, 1, WriteFlags);
    filter.RefuseWithBits(SYS_openat, 2, WriteFlags);
    return filter.Install();
}

bool SetLimit(int resource, rlim_t soft, rlim_t hard) {
    const rlimit limit{soft, hard};
    return setrlimit(resource, &limit) == 0;
}

// In the child, between fork and exec: only calls that are safe there.
[[noreturn]] void BecomeSandboxedVerifier(char* const argv[], int input, int output, int nothing,
                                          const SandboxLimits& limits) {
    setpgid(0, 0);
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    const bool ready = dup2(input, STDIN_FILENO) >= 0 && dup2(output, STDOUT_FILENO) >= 0 &&
                       dup2(nothing, STDERR_FILENO) >= 0 && syscall(SYS_close_range, 3U, ~0U, 0U) == 0 &&
                       SetLimit(RLIMIT_CPU, static_cast<rlim_t>(limits.CpuSeconds),
                                static_cast<rlim_t>(limits.CpuSeconds) + 1) &&
                       (limits.AddressSpaceBytes == 0 ||
                        SetLimit(RLIMIT_AS, limits.AddressSpaceBytes, limits.AddressSpaceBytes)) &&
                       SetLimit(RLIMIT_FSIZE, NoFiles, NoFiles) && SetLimit(RLIMIT_CORE, 0, 0) &&
                       SetLimit(RLIMIT_NOFILE, OpenFileLimit, OpenFileLimit) && InstallSyscallFilter();
    if (ready) execv(argv[0], argv);
    _exit(127);
}

// How often a wait looks at the cancel flag.
constexpr auto CancelCheck = std::chrono::milliseconds(100);

// Writes the input and reads the answer at once, so neither side waits on a full pipe, until the
// child closes its output (true), or the deadline passes or the run is cancelled (false).
bool ExchangeWithChild(int toChild, int fromChild, std::span<const std::uint8_t> input,
                       const SandboxLimits& limits, SandboxRun& run) {
    const auto deadline = std::chrono::steady_clock::now() + limits.WallTime;
    // The input's end stays open only as long as there is input to write, and never past this call.
    struct CloseOnReturn {
        int& Fd;
        ~CloseOnReturn() {
            if (Fd >= 0) close(Fd);
        }
    } closeInput{toChild};
    std::size_t sent = 0;
    if (input.empty()) close(toChild), toChild = -1;
    char buffer[4096];
    std::string& output = run.Output;
    while (true) {
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline -
                                                                          std::chrono::steady_clock::now());
        if (left.count() <= 0) return run.TimedOut = true, false;
        if (limits.Cancel) {
            if (limits.Cancel->load()) return run.Cancelled = true, false;
            left = std::min(left, std::chrono::duration_cast<std::chrono::milliseconds>(CancelCheck));
        }
        pollfd watched[2] = {{fromChild, POLLIN, 0}, {toChild, POLLOUT, 0}};
        if (poll(watched, toChild >= 0 ? 2 : 1, static_cast<int>(left.count())) < 0 && errno != EINTR)
            return run.TimedOut = true, false;
        if (toChild >= 0 && watched[1].revents) {
            const ssize_t put = write(toChild, input.data() + sent, input.size() - sent);
            if (put > 0) sent += static_cast<std::size_t>(put);
            const bool stopped = put < 0 && errno != EAGAIN && errno != EINTR;
            if (stopped || sent == input.size()) close(toChild), toChild = -1;
        }
        if (watched[0].revents) {
            const ssize_t got = read(fromChild, buffer, sizeof buffer);
            if (got <= 0) break;
            const std::size_t room = limits.MaxOutputBytes - std::min(output.size(), limits.MaxOutputBytes);
            output.append(buffer, std::min(static_cast<std::size_t>(got), room));
        }
    }
    return true;
}

} // namespace

SandboxRun RunSandboxed(const std::vector<std::string>& command, std::span<const std::uint8_t> input,
                        const SandboxLimits& limits) {
    SandboxRun run;
    if (command.empty()) return run;
    std::vector<char*> argv;
    for (const std::string& word : command)
        argv.push_back(const_cast<char*>(word.c_str()));
    argv.push_back(nullptr);
    int toChild[2], fromChild[2];
    if (pipe2(toChild, O_CLOEXEC) != 0) return run;
    if (pipe2(fromChild, O_CLOEXEC) != 0) {
        close(toChild[0]), close(toChild[1]);
        return run;
    }
    const int nothing = open("/dev/null", O_WRONLY | O_CLOEXEC);
    // A verifier that dies before reading its input must not take the server with it.
    signal(SIGPIPE, SIG_IGN);
    const pid_t child = fork();
    if (child == 0) BecomeSandboxedVerifier(argv.data(), toChild[0], fromChild[1], nothing, limits);
    close(toChild[0]), close(fromChild[1]), close(nothing);
    if (child < 0) {
        close(toChild[1]), close(fromChild[0]);
        return run;
    }
    run.Started = true;
    // A blocking write of a large replay would wait for a child that waits for its output to be read.
    fcntl(toChild[1], F_SETFL, O_NONBLOCK);
    const bool ended = ExchangeWithChild(toChild[1], fromChild[0], input, limits, run);
    close(fromChild[0]);
    if (!ended) kill(-child, SIGKILL), kill(child, SIGKILL);
    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    if (WIFEXITED(status)) run.ExitCode = WEXITSTATUS(status);
    if (WIFSIGNALED(status)) run.Signal = WTERMSIG(status);
    // Whatever the verifier started in its group goes with it.
    kill(-child, SIGKILL);
    return run;
}

} // namespace scoreserver
