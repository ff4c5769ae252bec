// The verifier's sandbox, tried with small programs that do what a hostile verifier build (or a
// replay that steers one into a fault) might: reach the network, write files, start processes, spin,
// grow, sleep, or print without end.
#include "VerifierSandbox.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <csignal>
#include <filesystem>
#include <netinet/in.h>
#include <string>
#include <sys/socket.h>
#include <unistd.h>

using scoreserver::RunSandboxed;
using scoreserver::SandboxLimits;
using scoreserver::SandboxRun;

namespace {

SandboxRun RunShell(const std::string& script, const SandboxLimits& limits = {},
                    const std::string& input = "") {
    return RunSandboxed({"/bin/bash", "-c", script},
                        std::span(reinterpret_cast<const std::uint8_t*>(input.data()), input.size()), limits);
}

} // namespace

TEST(VerifierSandbox, TheReplayGoesInAndTheAnswerComesOut) {
    const SandboxRun run =
        RunShell("read -r line; echo \"{\\\"got\\\":\\\"$line\\\"}\"", {}, "replay bytes\n");
    EXPECT_TRUE(run.Started);
    EXPECT_EQ(run.ExitCode, 0);
    EXPECT_EQ(run.Output, "{\"got\":\"replay bytes\"}\n");
}

TEST(VerifierSandbox, NoNetworkNoWrittenFileNoNewProcess) {
    // A real listener on loopback, so a refused connection is the sandbox's doing.
    const int listener = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    ASSERT_EQ(bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ASSERT_EQ(listen(listener, 4), 0);
    ASSERT_EQ(getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length), 0);
    const std::string port = std::to_string(ntohs(address.sin_port));
    const std::string file =
        (std::filesystem::temp_directory_path() / ("sandbox-made-" + std::to_string(::getpid()))).string();
    const std::pair<const char*, std::string> cases[] = {
        {"a connection", "exec 3<>/dev/tcp/127.0.0.1/" + port + " && echo done"},
        {"an empty new file", ": > " + file + " && echo done"},
        {"a file opened to append", ": >> /etc/hostname && echo done"},
        {"a new process", "/bin/echo done"},
    };
    for (const auto& [what, script] : cases) {
        SCOPED_TRACE(what);
        // "; true" keeps the shell from running the last command in its own process.
        const SandboxRun run = RunShell(script + "; true");
        EXPECT_EQ(run.Output.find("done"), std::string::npos) << run.Output;
    }
    EXPECT_FALSE(std::filesystem::exists(file));
    close(listener);
}

TEST(VerifierSandbox, CpuTimeMemoryAndWallTimeAreCapped) {
    SandboxLimits limits;
    limits.CpuSeconds = 1;
    limits.WallTime = std::chrono::seconds(30);
    const SandboxRun spinning = RunShell("while :; do :; done", limits);
    EXPECT_FALSE(spinning.TimedOut);
    EXPECT_TRUE(spinning.Signal == SIGXCPU || spinning.Signal == SIGKILL) << spinning.Signal;

    limits.AddressSpaceBytes = 64 * 1024 * 1024;
    const SandboxRun growing = RunShell("s=$(printf '%200000000s' x) && echo grew", limits);
    EXPECT_NE(growing.Output, "grew\n");
    EXPECT_NE(growing.ExitCode, 0);

    limits.WallTime = std::chrono::milliseconds(300);
    const SandboxRun sleeping = RunSandboxed({"/bin/sleep", "100"}, {}, limits);
    EXPECT_TRUE(sleeping.TimedOut);
    EXPECT_EQ(sleeping.Signal, SIGKILL);
}

TEST(VerifierSandbox, EndlessOutputIsCutAndAMissingProgramSaysSo) {
    SandboxLimits limits;
    limits.MaxOutputBytes = 100;
    const std::string megabyte(1 << 20, 'r');
    const SandboxRun echoing = RunSandboxed(
        {"/bin/cat"}, std::span(reinterpret_cast<const std::uint8_t*>(megabyte.data()), megabyte.size()),
        limits);
    EXPECT_EQ(echoing.ExitCode, 0);
    EXPECT_EQ(echoing.Output, std::string(100, 'r'));

    const SandboxRun missing = RunSandboxed({"/no/such/verifier"}, {}, {});
    EXPECT_EQ(missing.ExitCode, 127);
    EXPECT_TRUE(missing.Output.empty());
}
