// The server's log, sized so that no client can fill a disk with it: requests
// are counted, not written one by one, and a summary line goes out at most once
// a second, only when something happened. Every refusal is counted by reason.
#pragma once

#include <chrono>
#include <cstddef>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <string_view>

namespace scoreserver {

class ServerLog {
  public:
    using Clock = std::chrono::steady_clock;
    using Sink = std::function<void(std::string_view line)>;

    // Lines go to sink; the default writes them to stderr.
    explicit ServerLog(Sink sink = {});

    // Counts one answered request of a kind ("version", "result", "table", "home").
    void Answered(std::string_view kind);

    // Counts one refused request or dropped connection. Reasons that carry
    // details after a ":" are counted by what comes before it.
    void Refused(std::string_view reason);

    // A server fault (a database error): counted, and its latest text is shown.
    void Fault(std::string_view text);

    // Writes a line now (start, stop).
    void Say(std::string_view text);

    // Writes the summary of what was counted since the last one, if anything was
    // and a second has passed since the last summary (or force is set).
    void Flush(Clock::time_point now, std::size_t openConnections, bool force = false);

  private:
    void Write(const std::string& line);

    Sink sink_;
    std::mutex mutex_;
    std::map<std::string, std::size_t, std::less<>> answered_;
    std::map<std::string, std::size_t, std::less<>> refused_;
    std::size_t faults_ = 0;
    std::string lastFault_;
    Clock::time_point lastSummary_{};
};

} // namespace scoreserver
