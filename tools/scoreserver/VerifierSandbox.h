// Runs the replay verifier (a program built from the game's sources) on untrusted bytes, as a child
// process that can only read and compute: its CPU seconds, address space and wall time are capped, it
// cannot open a network socket, write a file or start another process, and it is killed, with every
// process it could have made, when its time is up. The replay goes in on its standard input; its
// answer is the first line it prints.
#pragma once

#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace scoreserver {

struct SandboxLimits {
    int CpuSeconds = 10;
    // 0 leaves the address space alone (a sanitizer build reserves terabytes of it and cannot start).
    std::uint64_t AddressSpaceBytes = 1024ULL * 1024 * 1024;
    std::chrono::milliseconds WallTime{20000};
    std::size_t MaxOutputBytes = 4096;
    const std::atomic<bool>* Cancel = nullptr; // when it turns true the verifier is killed (the server stops)
};

struct SandboxRun {
    bool Started = false;   // false: the program could not be started at all
    bool TimedOut = false;  // killed when its wall time was up
    bool Cancelled = false; // killed when Cancel turned true
    int ExitCode = -1;      // when it exited
    int Signal = 0;         // when a signal ended it (SIGXCPU: out of CPU seconds)
    std::string Output;     // what it printed, cut at MaxOutputBytes
};

SandboxRun RunSandboxed(const std::vector<std::string>& command, std::span<const std::uint8_t> input,
                        const SandboxLimits& limits);

} // namespace scoreserver
