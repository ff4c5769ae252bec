#include "ServerLog.h"

#include <cstdio>
#include <ctime>

namespace scoreserver {
namespace {

// Reason texts are ours, but a few carry client details after a ":"; cutting
// there, and folding anything past a fixed number of kinds into "other",
// keeps the counters and the line bounded.
constexpr std::size_t MaxReasonKinds = 32;
constexpr std::size_t MaxShownText = 160;

std::string Printable(std::string_view text) {
    std::string shown;
    for (char c : text.substr(0, MaxShownText))
        shown += (c >= 0x20 && c < 0x7F) ? c : '?';
    return shown;
}

std::string UtcNow() {
    const std::time_t now = std::time(nullptr);
    std::tm parts{};
    char text[32] = "?";
    if (gmtime_r(&now, &parts)) std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &parts);
    return text;
}

void Bump(std::map<std::string, std::size_t, std::less<>>& counts, std::string_view key) {
    auto found = counts.find(key);
    if (found == counts.end())
        found = counts.emplace(counts.size() < MaxReasonKinds ? Printable(key) : "other", 0).first;
    ++found->second;
}

// "12 (version 6, result 6)"
std::string Describe(const std::map<std::string, std::size_t, std::less<>>& counts) {
    std::size_t total = 0;
    std::string parts;
    for (const auto& [kind, count] : counts) {
        total += count;
        parts += (parts.empty() ? "" : ", ") + kind + " " + std::to_string(count);
    }
    return std::to_string(total) + (parts.empty() ? "" : " (" + parts + ")");
}

} // namespace

ServerLog::ServerLog(Sink sink) : sink_(std::move(sink)) {
    if (!sink_) sink_ = [](std::string_view line) { std::fwrite(line.data(), 1, line.size(), stderr); };
}

void ServerLog::Answered(std::string_view kind) {
    std::lock_guard lock(mutex_);
    Bump(answered_, kind);
}

void ServerLog::Refused(std::string_view reason) {
    std::lock_guard lock(mutex_);
    Bump(refused_, reason.substr(0, reason.find(':')));
}

void ServerLog::Fault(std::string_view text) {
    std::lock_guard lock(mutex_);
    ++faults_;
    lastFault_ = Printable(text);
}

void ServerLog::Say(std::string_view text) {
    std::lock_guard lock(mutex_);
    Write(UtcNow() + " " + Printable(text) + "\n");
}

void ServerLog::Flush(Clock::time_point now, std::size_t openConnections, bool force) {
    std::lock_guard lock(mutex_);
    if (answered_.empty() && refused_.empty() && faults_ == 0) return;
    if (!force && now - lastSummary_ < std::chrono::seconds(1)) return;
    std::string line = UtcNow() + " answered " + Describe(answered_) + "; refused " + Describe(refused_) +
                       "; " + std::to_string(openConnections) + " connections open";
    if (faults_ > 0) line += "; " + std::to_string(faults_) + " server faults, last: " + lastFault_;
    Write(line + "\n");
    answered_.clear();
    refused_.clear();
    faults_ = 0;
    lastSummary_ = now;
}

void ServerLog::Write(const std::string& line) {
    sink_(line);
}

} // namespace scoreserver
